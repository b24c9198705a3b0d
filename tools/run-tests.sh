#!/bin/sh
# Runs every test under a virtual display: x86 first when this machine can run 32-bit
# programs, then x64, so that CTest's summary is the last thing printed.
set -u
build=$1
status=0
if sh tools/can-run-x86.sh; then
    xvfb-run -a ctest --test-dir "$build/x86" --output-on-failure || status=1
else
    echo "x86: built; its tests cannot run here (this kernel runs no 32-bit programs: ia32 emulation is off)"
fi
xvfb-run -a ctest --test-dir "$build/x64" --output-on-failure || status=1
exit $status
