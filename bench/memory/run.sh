#!/bin/sh
# Memory benchmark: 1,000,000 calls each of GetPath, GetRegValue and ByteToCode (a 16-byte
# array), half through the vtable and half late-bound; private bytes may grow by < 4 MiB.
# ARCH=x64 (default) or x86; a first argument overrides the number of calls.
# Uses the build tree of that architecture (module built and registered by the tests' set-up).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
arch=${ARCH:-x64}
build=${BUILD:-$root/build/$arch}
out=$build/bench
mkdir -p "$out"
[ -d "$build/wine" ] || { echo "run the tests once first (the Wine prefix of $build is missing)"; exit 1; }
if [ "$arch" = x86 ]; then cxx=i686-w64-mingw32-g++; loader=${KRO_WINE32:-wine}; else cxx=x86_64-w64-mingw32-g++; loader=${KRO_WINE64:-/usr/lib/wine/wine64}; fi
$cxx -std=c++20 -O2 -municode -DUNICODE -D_UNICODE -I"$build/generated" \
    "$here/memory_bench.cpp" "$build/generated/kroProgramDll_i.c" \
    -o "$out/memory_bench.exe" -static -lole32 -loleaut32 -luuid -ladvapi32
export WINEPREFIX="$build/wine" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
"$loader" regsvr32 /s "$(printf 'Z:%s' "$root/dist/$arch/kro project program dll library.dll" | sed 's|/|\\|g')"
"$loader" "$out/memory_bench.exe" "$@"
