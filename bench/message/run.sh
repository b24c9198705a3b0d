#!/bin/sh
# The message window against a late-bound call, per runnable architecture (needs a display),
# and the platform's floor for the same repaint: a bare Win32 program doing it with no library.
set -eu
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a sh "$0" "$@"; fi
root=$(pwd)
run_arch() {
    arch=$1 loader=$2
    cxx=x86_64-w64-mingw32-g++
    [ "$arch" = x86 ] && cxx=i686-w64-mingw32-g++
    mkdir -p "$root/build/$arch/bench"
    $cxx -O2 -municode "$root/bench/message/repaint_floor.cpp" -o "$root/build/$arch/bench/repaint_floor.exe" -static -lgdi32
    prefix="$root/build/$arch/wine"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
    sh tests/support/prepare-prefix.sh "$prefix" "$loader" "$root/dist/$arch/kro project program dll library.dll" >/dev/null
    echo "-- $arch"
    "$loader" cscript //nologo "$(printf 'Z:%s' "$root/bench/message/message.vbs" | sed 's|/|\\|g')"
    "$loader" "$root/build/$arch/bench/repaint_floor.exe"
}
run_arch x64 /usr/lib/wine/wine64
if sh tools/can-run-x86.sh; then
    run_arch x86 /usr/lib/wine/wine
else
    echo "-- x86: not run (this machine runs no 32-bit programs)"
fi
