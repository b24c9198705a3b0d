#!/bin/sh
# DirectSoundCls.LoadingFile of a 64 MiB 16-bit stereo PCM wave file against reading the same
# file whole with FileSystemCls.ReadBinaryFile, in the same run: three rounds, alternating, each
# call in a fresh process. Prints each call's seconds and peak working set (before -> after), the
# best times' ratio, and the load's peak above its baseline against the file size. The time of an
# empty DirectSound buffer of the same size (the platform alone, no library) is measured too, so
# that the library's own share of a load can be told from the platform's.
# Wine gets ALSA's null output as its audio device through a private HOME.
# usage: bench/sound/run.sh [size MiB (64)] [x64|x86]
set -eu
cd "$(dirname "$0")/../.."
root=$PWD
mib=${1:-64}
arch=${2:-x64}
build=$root/build/$arch
dll="$root/dist/$arch/kro project program dll library.dll"
[ -f "$dll" ] || { echo "build first: make build-$arch"; exit 1; }
if [ "$arch" = x64 ]; then wine=/usr/lib/wine/wine64; cxx=x86_64-w64-mingw32-g++; else wine=wine; cxx=i686-w64-mingw32-g++; fi

work=$(mktemp -d /tmp/kro_bench_sound.XXXXXX)
trap 'WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/wine WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 HOME=$work/home
sh tests/support/audio-device.sh "$HOME" >/dev/null
client=$work/bench_client.exe
$cxx -O2 -std=c++20 -municode -DUNICODE -D_UNICODE -I"$build/generated" \
    bench/sound/bench_client.cpp "$build/generated/kroProgramDll_i.c" \
    -ldsound -lole32 -loleaut32 -luuid -lpsapi -static -o "$client"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
$wine regsvr32 /s "$(printf 'Z:%s' "$dll" | sed 's|/|\\|g')"

# 16-bit stereo at 44.1 kHz: a 44-byte header, then the samples.
bytes=$((mib * 1024 * 1024))
python3 - "$work/sound.wav" "$bytes" <<'PY'
import os, struct, sys
path, size = sys.argv[1], int(sys.argv[2])
data = size - 44
with open(path, "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", size - 8) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 2, 44100, 44100 * 4, 4, 16))
    f.write(b"data" + struct.pack("<I", data))
    chunk = os.urandom(1 << 20)
    for _ in range(data // len(chunk)):
        f.write(chunk)
    f.write(chunk[: data % len(chunk)])
PY
file=$(printf 'Z:%s' "$work/sound.wav" | sed 's|/|\\|g')
echo "$arch: $mib MiB 16-bit stereo PCM wave file, three rounds"
best_load=999; best_read=999; best_create=999; worst_growth=0
for round in 1 2 3; do
    line=$($wine "$client" create "$((bytes - 44))" 2>/dev/null | tr -d '\r'); echo "  $line"
    t=$(echo "$line" | cut -d' ' -f2); best_create=$(echo "if ($t < $best_create) $t else $best_create" | bc)
    line=$($wine "$client" read "$file" 2>/dev/null | tr -d '\r'); echo "  $line"
    t=$(echo "$line" | cut -d' ' -f2); best_read=$(echo "if ($t < $best_read) $t else $best_read" | bc)
    line=$($wine "$client" load "$file" 2>/dev/null | tr -d '\r'); echo "  $line"
    echo "$line" | grep -q ' ok$' || { echo "LoadingFile failed"; exit 1; }
    t=$(echo "$line" | cut -d' ' -f2); best_load=$(echo "if ($t < $best_load) $t else $best_load" | bc)
    growth=$(echo "$line" | awk '{print $4 - $3}')
    worst_growth=$(echo "if ($growth > $worst_growth) $growth else $worst_growth" | bc)
done
printf '%-36s %10s %10s %8s\n' operation "ours (s)" "peer (s)" ratio
printf '%-36s %10.3f %10.3f %8.2f\n' "LoadingFile vs ReadBinaryFile" "$best_load" "$best_read" "$(echo "$best_load / $best_read" | bc -l)"
printf '%-36s %10.3f %10.3f %8.2f\n' "LoadingFile less the empty buffer" "$(echo "$best_load - $best_create" | bc)" "$best_read" "$(echo "($best_load - $best_create) / $best_read" | bc -l)"
printf 'the platform alone (empty CreateSoundBuffer of that size): %.3f s\n' "$best_create"
printf 'LoadingFile peak above baseline: %.1f MiB (file %d MiB; limit %d MiB)\n' "$worst_growth" "$mib" "$((mib + 8))"
