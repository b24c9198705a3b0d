#!/bin/sh
# Runs every benchmark (bench/*/run.sh); each prints its figures beside its peer's.
set -eu
for b in bench/*/run.sh; do
    echo "== $(dirname "$b")"
    sh "$b"
done
