#!/bin/sh
# List editor calls from VBScript against late-bound GetFileName calls, per runnable architecture.
set -eu
# The editor is a real window: it needs a display.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a sh "$0" "$@"; fi
root=$(pwd)
run_arch() {
    arch=$1 loader=$2
    prefix="$root/build/$arch/wine"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
    sh tests/support/prepare-prefix.sh "$prefix" "$loader" "$root/dist/$arch/kro project program dll library.dll" >/dev/null
    echo "-- $arch"
    "$loader" cscript //nologo "$(printf 'Z:%s' "$root/bench/listeditor/listeditor.vbs" | sed 's|/|\\|g')"
}
run_arch x64 /usr/lib/wine/wine64
if sh tools/can-run-x86.sh; then
    run_arch x86 /usr/lib/wine/wine
else
    echo "-- x86: not run (this machine runs no 32-bit programs)"
fi
