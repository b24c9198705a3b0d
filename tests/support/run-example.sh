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
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
cd "$work"
case "$name" in
*.vbs)
    # Wine's cscript overruns its heap when WScript.Echo writes double-byte text to a pipe or
    # file (the 32-bit one dies of it, with or without the library), so the test copy writes
    # its lines through a text file of its own instead; on a console, and on Windows, the
    # example prints them itself.
    out="$work/${name%.vbs}.out"
    rm -f "$out"
    # The helper goes after Option Explicit, which must come first; a script without it gets
    # the helper at its top.
    header=$(grep -n -m 1 '^Option Explicit' "$script" | cut -d: -f1 || true)
    header=${header:-0}
    {
        head -n "$header" "$script"
        echo "Dim kroExampleOut"
        printf 'Set kroExampleOut = CreateObject("Scripting.FileSystemObject").CreateTextFile("%s", True)\n' "$(winpath "$out")"
        echo "Sub KroExampleEcho(line)"
        echo "    kroExampleOut.WriteLine line"
        echo "End Sub"
        tail -n +"$((header + 1))" "$script" | sed 's/WScript\.Echo /KroExampleEcho /g'
        echo "kroExampleOut.Close"
    } | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$work/$name"
    "$loader" cscript //nologo "$(winpath "$work/$name")" || echo "cscript ended with status $?"
    iconv -f CP932 -t UTF-8 "$out" | tr -d '\r'
    ;;
*)
    sed 's/$/\r/' "$script" | iconv -f UTF-8 -t CP932 > "$work/$name"
    "$loader" cscript //nologo "$(winpath "$work/$name")" | iconv -f CP932 -t UTF-8
    ;;
esac
