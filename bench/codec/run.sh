#!/bin/sh
# Codec benchmark, for each module this machine can run (x64, and x86 where it runs 32-bit
# programs): ByteToCode, CodeToByte and XorCode on a 64 MiB array through the vtable beside
# their peer, a new 64 MiB array filled by memcpy; then FileToCodeFile, CodeFileToFile and
# XorCodeFile on a 256 MiB file beside `cat` of it. Needs the builds (make build-x64 build-x86);
# runs in each build's Wine prefix. KRO_BENCH_ARCHS="x64" (or "x86") runs one module only.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${TMPDIR:-/tmp}/kro_codec_bench.$$
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES=winedbg.exe=d

# 256 MiB source of varied bytes; every member writes over an existing destination.
head -c 268435456 /dev/urandom > "$work/src.bin"
win() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

for arch in ${KRO_BENCH_ARCHS:-x64 x86}; do
    echo "== $arch"
    if [ $arch = x64 ]; then
        cxx=x86_64-w64-mingw32-g++ loader=/usr/lib/wine/wine64
    else
        if ! sh "$root/tools/can-run-x86.sh"; then
            echo "x86 not measured here (this machine runs no 32-bit programs)"
            continue
        fi
        cxx=i686-w64-mingw32-g++ loader=/usr/lib/wine/wine
    fi
    build=$root/build/$arch
    dll="$root/dist/$arch/kro project program dll library.dll"
    [ -f "$dll" ] || { echo "$arch not built (make build-$arch)"; continue; }
    export WINEPREFIX="$build/wine"
    $cxx -std=c++20 -O2 -DUNICODE -D_UNICODE -I"$root" -I"$build/generated" \
        "$root/bench/codec/bench.cpp" "$root/coding/codec.cpp" "$root/frame/errors.cpp" \
        "$build/generated/kroProgramDll_i.c" -o "$work/bench-$arch.exe" \
        -static -lole32 -loleaut32 -luuid
    # The prefix's server and its services stay up between the timed calls (they start with
    # the first program and would otherwise compete with a timed call); the server ends by
    # itself a minute after the last program. A server already running stays as it is.
    [ ! -f "$WINEPREFIX/system.reg" ] || wineserver -p60 2>/dev/null || true
    sh "$root/tests/support/prepare-prefix.sh" "$WINEPREFIX" $loader "$dll" >/dev/null

    $loader "$work/bench-$arch.exe" arrays | tr -d '\r'

    # The three file members and cat, in turn, each keeping its best of three rounds.
    cp "$work/src.bin" "$work/dst.bin"
    cat "$work/src.bin" > /dev/null
    code= decode= xor= catbest=
    for i in 1 2 3; do
        set -- $($loader "$work/bench-$arch.exe" files "$(win "$work/src.bin")" "$(win "$work/dst.bin")" | tr -d '\r')
        code=$(best "$1" "$code"); decode=$(best "$2" "$decode"); xor=$(best "$3" "$xor")
        s=$(date +%s.%N)
        cat "$work/src.bin" > "$work/cat.bin"
        e=$(date +%s.%N)
        catbest=$(best "$(echo "$s $e" | awk '{ print $2 - $1 }')" "$catbest")
    done
    # Bytes 0 and 255 share one place on the coding ring, so only the length comes back exactly.
    [ "$(stat -c %s "$work/dst.bin.back")" = 268435456 ] || { echo "CodeFileToFile wrote a file of another length"; exit 1; }
    rm -f "$work/dst.bin" "$work/dst.bin.back" "$work/cat.bin"
    echo "256 MiB file, best of 3 rounds ($arch), peer: cat of the same file"
    for row in "FileToCodeFile $code" "CodeFileToFile $decode" "XorCodeFile $xor"; do
        echo "$row $catbest" | awk '{ printf "  %-16s %.3f s   cat %.3f s   ratio %.2f\n", $1, $2, $3, $2 / $3 }'
    done
done
