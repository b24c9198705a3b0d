#!/bin/sh
# Codec benchmark: ByteToCode, CodeToByte and XorCode on a 64 MiB array through the vtable
# beside memcpy of the same array, and FileToCodeFile on a 256 MiB file beside `cat` of it.
# Needs the x64 build (make build-x64); runs in that build's Wine prefix.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KRO_BUILD:-$root/build/x64}
dll="$root/dist/x64/kro project program dll library.dll"
work=${TMPDIR:-/tmp}/kro_codec_bench.$$
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

export WINEPREFIX="$build/wine" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
x86_64-w64-mingw32-g++ -std=c++20 -O2 -DUNICODE -D_UNICODE -I"$root" -I"$build/generated" \
    "$root/bench/codec/bench.cpp" "$root/coding/codec.cpp" "$root/frame/errors.cpp" \
    "$build/generated/kroProgramDll_i.c" -o "$work/bench.exe" \
    -static -lole32 -loleaut32 -luuid
sh "$root/tests/support/prepare-prefix.sh" "$WINEPREFIX" /usr/lib/wine/wine64 "$dll" >/dev/null

# 256 MiB source of varied bytes; both sides write over an existing destination.
head -c 268435456 /dev/urandom > "$work/src.bin"
cp "$work/src.bin" "$work/dst.bin"
cat "$work/src.bin" > /dev/null

winsrc=$(printf 'Z:%s' "$work/src.bin" | sed 's|/|\\|g')
windst=$(printf 'Z:%s' "$work/dst.bin" | sed 's|/|\\|g')
/usr/lib/wine/wine64 "$work/bench.exe" arrays | tr -d '\r'

# FileToCodeFile (over an existing destination) and cat (into a truncated one), in turn,
# each keeping its best of three rounds.
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
filebest=
catbest=
for i in 1 2 3; do
    t=$(/usr/lib/wine/wine64 "$work/bench.exe" file "$winsrc" "$windst" | tr -d '\r')
    filebest=$(best "$t" "$filebest")
    s=$(date +%s.%N)
    cat "$work/src.bin" > "$work/cat.bin"
    e=$(date +%s.%N)
    catbest=$(best "$(echo "$s $e" | awk '{ print $2 - $1 }')" "$catbest")
done
echo "256 MiB file, best of 3 rounds"
echo "$filebest $catbest" | awk '{ printf "  FileToCodeFile %.3f s   cat %.3f s   ratio %.2fx\n", $1, $2, $1 / $2 }'
