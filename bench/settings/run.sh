#!/bin/sh
# Settings benchmark: ManyDeleteRegKey against `reg delete /f` on the same 5,000-key tree, and
# 100,000 GetIniValue calls against 100,000 direct GetPrivateProfileStringW calls.
# Uses the x64 build tree (module built and registered in its Wine prefix by the tests' set-up).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD:-$root/build/x64}
out=$build/bench
mkdir -p "$out"
[ -d "$build/wine" ] || { echo "run the tests once first (the Wine prefix of $build is missing)"; exit 1; }
x86_64-w64-mingw32-g++ -std=c++20 -O2 -municode -DUNICODE -D_UNICODE -I"$build/generated" \
    "$here/settings_bench.cpp" "$build/generated/kroProgramDll_i.c" \
    -o "$out/settings_bench.exe" -static -lole32 -loleaut32 -luuid -ladvapi32
export WINEPREFIX="$build/wine" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
loader=${KRO_WINE64:-/usr/lib/wine/wine64}
# The module is registered afresh, as the tests' set-up does.
"$loader" regsvr32 /s "$(printf 'Z:%s' "$root/dist/x64/kro project program dll library.dll" | sed 's|/|\\|g')"
[ "${1:-all}" = ini ] || "$loader" "$out/settings_bench.exe" tree
[ "${1:-all}" = tree ] || "$loader" "$out/settings_bench.exe" ini "$(printf 'Z:%s' "$out" | sed 's|/|\\|g')"
