#!/bin/sh
# Runs one script test in cscript: the shared assertion helpers and the test, converted to the
# ANSI code page that cscript reads.
# usage: run-vbs.sh <wine loader> <test.vbs> <work folder>
set -eu
loader=$1
script=$2
work=$3
mkdir -p "$work"
name=$(basename "$script")
here=$(dirname "$0")
cat "$here/../scripts/lib/assert.vbs" "$script" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$work/$name"
winpath=$(printf 'Z:%s' "$work/$name" | sed 's|/|\\|g')
cd "$work"
"$loader" cscript //nologo "$winpath" | iconv -f CP932 -t UTF-8
