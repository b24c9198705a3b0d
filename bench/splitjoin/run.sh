#!/bin/sh
# Split then join a file into fixed-size volumes, and convert it to and from a multi-volume
# set, with our members (FileSystemCls.SplitFile/JoinFile, ConvertCls.CnvMltVol/CnvSglVol) and
# with coreutils (split -b, cat) on the same file in the same run, for each module this machine
# can run (x64, and x86 where it runs 32-bit programs). Prints seconds for each side, the ratio
# ours/coreutils, and the client process's peak working set before -> after the call.
# usage: bench/splitjoin/run.sh [size MiB (1024)] [volume MiB (10)] [rounds (3)]
# KRO_BENCH_ARCHS="x64" (or "x86") runs one module only.
set -eu
cd "$(dirname "$0")/../.."
root=$PWD
mib=${1:-1024}
vol_mib=${2:-10}
vol=$((vol_mib * 1024 * 1024))
rounds=${3:-3}
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES=winedbg.exe=d

work=$(mktemp -d /tmp/kro_bench_splitjoin.XXXXXX)
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
secs() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
# One of our calls in the bench client; its line "<op> <seconds> <MiB before> <MiB peak> ..."
# is shown and kept.
ours() {
    line=$($wine "$client" "$@" | tr -d '\r')
    echo "  $line"
    echo "$line" >> "$work/times"
}
median() { awk -v k="$1" '$1 == k { print $2 }' "$work/times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
peaks() { awk -v k="$1" '$1 == k { if ($3 > b) b = $3; if ($4 > p) p = $4 } END { print b " -> " p }' "$work/times"; }
row() {
    o=$(median "$2"); p=$(median "$3")
    printf '%-28s %10.3f %10.3f %8.2f %18s\n' "$1" "$o" "$p" "$(echo "$o / $p" | bc -l)" "$(peaks "$2")"
}

echo "source: $mib MiB of random bytes, volumes of $vol_mib MiB ($vol bytes), in $work"
head -c $((mib * 1024 * 1024)) /dev/urandom > "$work/source.bin"
mkdir "$work/out"

for arch in ${KRO_BENCH_ARCHS:-x64 x86}; do
    echo "== $arch"
    if [ $arch = x64 ]; then
        cxx=x86_64-w64-mingw32-g++ wine=/usr/lib/wine/wine64
    else
        if ! sh tools/can-run-x86.sh; then
            echo "x86 not measured here (this machine runs no 32-bit programs)"
            continue
        fi
        cxx=i686-w64-mingw32-g++ wine=/usr/lib/wine/wine
    fi
    build=$root/build/$arch
    dll="$root/dist/$arch/kro project program dll library.dll"
    [ -f "$dll" ] || { echo "$arch not built (make build-$arch)"; continue; }
    export WINEPREFIX=$build/wine
    client=$work/bench_client_$arch.exe
    $cxx -O2 -std=c++20 -municode -DUNICODE -D_UNICODE -I"$build/generated" \
        bench/splitjoin/bench_client.cpp "$build/generated/kroProgramDll_i.c" \
        -lole32 -loleaut32 -luuid -lpsapi -static -o "$client"
    # The prefix's server and its services stay up between the timed calls (they start with
    # the first program and would otherwise compete with a timed call); the server ends by
    # itself a minute after the last program. A server already running stays as it is.
    [ ! -f "$WINEPREFIX/system.reg" ] || wineserver -p60 2>/dev/null || true
    sh tests/support/prepare-prefix.sh "$WINEPREFIX" $wine "$dll" >/dev/null

    # Each round: coreutils first, then ours, on the same file. Only the operations are timed
    # (sync runs between them, untimed, on both sides); each figure is the median of the rounds.
    # Round 0 is a warm-up and not counted: the first writes of a fresh run were several times
    # slower for whichever side met them first (most likely memory the virtual machine had not
    # touched yet).
    : > "$work/times"
    for round in $(seq 0 "$rounds"); do
        sync; t0=$(secs); split -b "$vol" -a 5 -d "$work/source.bin" "$work/peer."; t1=$(secs); sync
        t2=$(secs); cat "$work"/peer.* > "$work/out/peer.bin"; t3=$(secs); sync
        cmp -s "$work/source.bin" "$work/out/peer.bin"
        echo "split_peer $(elapsed "$t0" "$t1")" >> "$work/times"
        echo "cat_peer $(elapsed "$t2" "$t3")" >> "$work/times"
        rm -f "$work"/peer.* "$work/out/peer.bin"

        sync; ours split "$(win "$work/source.bin")" "$(win "$work/set")" "$vol"; sync
        ours join "$(win "$work/set.00000")" "$(win "$work/out")"; sync
        cmp "$work/source.bin" "$work/out/source.bin"
        rm -f "$work"/set.* "$work/out/source.bin"
        sync; ours mltvol "$(win "$work/source.bin")" "$(win "$work/mv.dat")" "$vol"; sync
        ours sglvol "$(win "$work/mv.dat")" "$(win "$work/out/joined.bin")"; sync
        cmp "$work/source.bin" "$work/out/joined.bin"
        rm -f "$work"/mv.* "$work/out/joined.bin"
        if [ "$round" = 0 ]; then : > "$work/times"; fi
    done

    printf "%-28s %10s %10s %8s %18s\n" "operation ($arch)" "ours (s)" "peer (s)" ratio "memory (MiB)"
    row "SplitFile vs split -b" split split_peer
    row "JoinFile vs cat" join cat_peer
    row "CnvMltVol vs split -b" mltvol split_peer
    row "CnvSglVol vs cat" sglvol cat_peer
done
