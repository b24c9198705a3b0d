#!/bin/sh
# Exits 0 when this machine can run 32-bit programs (and so the 32-bit Wine loader).
/lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1
