#!/bin/sh
# The message window against a late-bound call, per runnable architecture (needs a display).
set -eu
root=$(pwd)
run_arch() {
    arch=$1 loader=$2
    prefix="$root/build/$arch/wine"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
    sh tests/support/prepare-prefix.sh "$prefix" "$loader" "$root/dist/$arch/kro project program dll library.dll" >/dev/null
    echo "-- $arch"
    "$loader" cscript //nologo "$(printf 'Z:%s' "$root/bench/message/message.vbs" | sed 's|/|\\|g')"
}
run_arch x64 /usr/lib/wine/wine64
if sh tools/can-run-x86.sh; then
    run_arch x86 /usr/lib/wine/wine
else
    echo "-- x86: not run (this machine runs no 32-bit programs)"
fi
