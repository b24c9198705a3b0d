#!/bin/sh
# Split then join a file into fixed-size volumes, and convert it to and from a multi-volume
# set, with our members (FileSystemCls.SplitFile/JoinFile, ConvertCls.CnvMltVol/CnvSglVol) and
# with coreutils (split -b, cat) on the same file in the same run. Prints seconds for each side,
# the ratio ours/coreutils, and the client process's peak working set before -> after the call.
# usage: bench/splitjoin/run.sh [size MiB (1024)] [volume MiB (10)]
set -eu
cd "$(dirname "$0")/../.."
root=$PWD
mib=${1:-1024}
vol_mib=${2:-10}
vol=$((vol_mib * 1024 * 1024))
build=$root/build/x64
dll="$root/dist/x64/kro project program dll library.dll"
[ -f "$dll" ] || { echo "build first: make build-x64"; exit 1; }
export WINEPREFIX=$build/wine WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
wine=/usr/lib/wine/wine64

work=$(mktemp -d /tmp/kro_bench_splitjoin.XXXXXX)
trap 'rm -rf "$work"' EXIT
client=$work/bench_client.exe
x86_64-w64-mingw32-g++ -O2 -std=c++20 -municode -DUNICODE -D_UNICODE -I"$build/generated" \
    bench/splitjoin/bench_client.cpp "$build/generated/kroProgramDll_i.c" \
    -lole32 -loleaut32 -luuid -lpsapi -static -o "$client"
[ -d "$WINEPREFIX" ] || WINEPREFIX=$WINEPREFIX $wine wineboot -i >/dev/null 2>&1
$wine regsvr32 /s "$dll"

win() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
secs() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
ours() { $wine "$client" "$@" | tr -d '\r'; }

echo "source: $mib MiB of random bytes, volumes of $vol_mib MiB ($vol bytes), in $work"
head -c $((mib * 1024 * 1024)) /dev/urandom > "$work/source.bin"
mkdir "$work/out"

sync; t0=$(secs); split -b "$vol" -a 5 -d "$work/source.bin" "$work/peer."; sync; t1=$(secs)
cat "$work"/peer.* > "$work/out/peer.bin"; sync; t2=$(secs)
cmp -s "$work/source.bin" "$work/out/peer.bin"
peer_split=$(elapsed "$t0" "$t1"); peer_cat=$(elapsed "$t1" "$t2")
rm -f "$work"/peer.* "$work/out/peer.bin"

sync; line=$(ours split "$(win "$work/source.bin")" "$(win "$work/set")" "$vol"); sync
echo "  $line"
our_split=$(echo "$line" | cut -d' ' -f2); peak_split=$(echo "$line" | awk '{print $3 " -> " $4}')
line=$(ours join "$(win "$work/set.00000")" "$(win "$work/out")"); sync
echo "  $line"
our_join=$(echo "$line" | cut -d' ' -f2); peak_join=$(echo "$line" | awk '{print $3 " -> " $4}')
cmp "$work/source.bin" "$work/out/source.bin"
rm -f "$work"/set.* "$work/out/source.bin"

line=$(ours mltvol "$(win "$work/source.bin")" "$(win "$work/mv.dat")" "$vol"); sync
echo "  $line"
our_mlt=$(echo "$line" | cut -d' ' -f2); peak_mlt=$(echo "$line" | awk '{print $3 " -> " $4}')
line=$(ours sglvol "$(win "$work/mv.dat")" "$(win "$work/out/joined.bin")"); sync
echo "  $line"
our_sgl=$(echo "$line" | cut -d' ' -f2); peak_sgl=$(echo "$line" | awk '{print $3 " -> " $4}')
cmp "$work/source.bin" "$work/out/joined.bin"
rm -f "$work"/mv.* "$work/out/joined.bin"

printf "%-28s %10s %10s %8s %18s\n" operation "ours (s)" "peer (s)" ratio "memory (MiB)"
row() { printf '%-28s %10.3f %10.3f %8.2f %18s\n' "$1" "$2" "$3" "$(echo "$2 / $3" | bc -l)" "$4"; }
row "SplitFile vs split -b" "$our_split" "$peer_split" "$peak_split"
row "JoinFile vs cat" "$our_join" "$peer_cat" "$peak_join"
row "CnvMltVol vs split -b" "$our_mlt" "$peer_split" "$peak_mlt"
row "CnvSglVol vs cat" "$our_sgl" "$peer_cat" "$peak_sgl"
