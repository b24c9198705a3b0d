#!/bin/sh
# Runs one example of examples/ in cscript, as a user would: converted to the ANSI code page
# that cscript reads. Every example ends by printing "All done."; a script error stops cscript
# silently under Wine, so the line's absence is the failure.
# usage: run-example.sh <wine loader> <example.vbs|.js> <work folder>
set -eu
# No debugger on a crash; no .NET or HTML engine prompts in a fresh prefix.
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
loader=$1
script=$2
work=$3
mkdir -p "$work"
name=$(basename "$script")
sed 's/$/\r/' "$script" | iconv -f UTF-8 -t CP932 > "$work/$name"
cd "$work"
"$loader" cscript //nologo "$(printf 'Z:%s' "$work/$name" | sed 's|/|\\|g')" | iconv -f CP932 -t UTF-8
