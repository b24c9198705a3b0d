#!/bin/sh
# Every file-moving member beside the floor of a Win32 copy, in one run, for each module this
# machine can run (x64, and x86 where it runs 32-bit programs):
#   - the floor: bench/common/win32_copy, a bare ReadFile/WriteFile copy of the same bytes to a
#     new file (the source; for JoinFile and CnvSglVol the set's volumes in turn), at the chunk
#     size of $chunks that runs fastest here (median of 3 rounds);
#   - the members, each timed inside its process: SplitFile, JoinFile, CnvMltVol, CnvSglVol,
#     FileToCodeFile, CodeFileToFile, XorCodeFile, TakeOutJoinFileEx;
#   - coreutils as the native reference: cat (one file), split -b (volumes).
# One uncounted warm-up round, then the median of the rounds. Each member runs between two floor
# copies of its own (made with the same files on hand); its ratio is its median over the median
# of those copies. Each figure is the operation only (sync runs between operations, untimed).
# The wall time of the whole client process (Wine's start and end included) is shown beside the
# in-process time of JoinFile.
# usage: bench/filemoving/run.sh [sizes in MiB ("256 1024")] [rounds (5)] [volume MiB (10)]
# KRO_BENCH_ARCHS="x64" (or "x86") runs one module only.
set -eu
cd "$(dirname "$0")/../.."
root=$PWD
sizes=${1:-256 1024}
rounds=${2:-5}
vol=$((${3:-10} * 1024 * 1024))
chunks="16384 65536 262144 1048576"
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES=winedbg.exe=d

# The files live in memory (/dev/shm) unless KRO_BENCH_DIR names another place: on this
# machine's disk a gigabyte's copy took 0.3 to 3.3 s by what the file system and the virtual
# machine were doing meanwhile (ext4 writing back and discarding freed blocks, the host taking
# back freed memory), whoever copied; in memory each side pays for its own work only.
work=$(mktemp -d "${KRO_BENCH_DIR:-/dev/shm}/kro_bench_filemoving.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
secs() { date +%s.%N; }
keep() { echo "$1 $2" >> "$work/times"; }
median() { awk -v k="$1" '$1 == k { print $2 }' "$work/times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# A native command, timed from the shell.
native() {
    name=$1; shift
    sync; t0=$(secs); sh -c "$*"; t1=$(secs); sync
    keep "$name" "$(echo "$t1 - $t0" | bc)"
}
# One member call in the bench client: its in-process seconds, and the whole process's wall time.
ours() {
    sync; t0=$(secs); line=$($wine "$client" "$@" | tr -d '\r'); t1=$(secs); sync
    keep "$1" "${line#* }"
    keep "$1_process" "$(echo "$t1 - $t0" | bc)"
}
# The floor: the same bytes copied to a new file in chunks of $2 bytes, kept as $1: the source,
# or for the members that join a set, the set's volumes one after the other.
copy() {
    key=$1 chunk=$2
    case $key in
    floor_join) set -- "$work"/set.0*[1-9]* ;;
    floor_sglvol) set -- "$work"/mv.[0-9]* ;;
    floor_decode) set -- "$out/coded.bin" ;;
    *) set -- "$src" ;;
    esac
    sources=
    for f in "$@"; do sources="$sources $(win "$f")"; done
    # shellcheck disable=SC2086 (the Wine paths hold no blanks)
    sync; line=$($wine "$floor" "$chunk" "$(win "$out/floor.bin")" $sources | tr -d '\r'); sync
    keep "$key" "${line% *}"
    rm -f "$out/floor.bin"
}
# The member between two floor copies, each made with the same files on hand: the member's
# output is checked and removed (after_<op>) before the second copy.
paired() {
    copy "floor_$1" "$chunk_used"
    ours "$@"
    "after_$1"
    copy "floor_$1" "$chunk_used"
}
# The content of the source, by its checksum (the rounds remove the source while a copy of its
# bytes stands in for it, so that no step holds more than two copies of the data).
same_as_source() { [ "$(md5sum < "$1")" = "$source_sum" ] || { echo "$2 wrote other bytes"; exit 1; }; }
after_split() { rm -f "$work"/set.*; }
after_join() { same_as_source "$out/source.bin" JoinFile; rm -f "$out/source.bin"; }
after_mltvol() { rm -f "$work"/mv.*; }
after_sglvol() { same_as_source "$out/joined.bin" CnvSglVol; rm -f "$out/joined.bin"; }
after_code() { rm -f "$out/coded.bin"; }
after_decode() { same_as_source "$out/decoded.bin" CodeFileToFile; rm -f "$out/decoded.bin"; }
after_xor() { rm -f "$out/xored.bin"; }
after_takeout() { same_as_source "$out/taken.bin" TakeOutJoinFileEx; rm -f "$out/taken.bin"; }
# A member call that only makes the input of the next one (not timed).
untimed() { $wine "$client" "$@" > /dev/null; }

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
    client=$work/bench_client_$arch.exe floor=$work/win32_copy_$arch.exe
    $cxx -O2 -std=c++20 -municode -DUNICODE -D_UNICODE -I"$build/generated" bench/filemoving/bench_client.cpp \
        "$build/generated/kroProgramDll_i.c" -lole32 -loleaut32 -luuid -static -o "$client"
    $cxx -O2 -municode -DUNICODE -D_UNICODE bench/common/win32_copy.cpp -static -o "$floor"
    # The prefix's server stays up between the timed calls (it would otherwise start with each
    # program and compete with the timed call); it ends by itself a minute after the last one.
    [ ! -f "$WINEPREFIX/system.reg" ] || wineserver -p60 2>/dev/null || true
    sh tests/support/prepare-prefix.sh "$WINEPREFIX" $wine "$dll" >/dev/null

    for mib in $sizes; do
        bytes=$((mib * 1024 * 1024))
        src=$work/source.bin out=$work/out
        # Random bytes that are no executable (TakeOutJoinFileEx writes out the whole file) and
        # hold no byte 255 (which coding and decoding would give back as 0).
        { printf 'X'; head -c $((bytes - 1)) /dev/urandom | LC_ALL=C tr '\377' '\376'; } > "$src"
        source_sum=$(md5sum < "$src")
        mkdir -p "$out"

        # The floor's chunk size: the fastest median of three rounds after one uncounted one.
        : > "$work/times"
        for round in 0 1 2 3; do
            for chunk in $chunks; do copy "floor_$chunk" "$chunk"; done
            [ "$round" != 0 ] || : > "$work/times"
        done
        best=
        for chunk in $chunks; do
            m=$(median "floor_$chunk")
            printf '  floor, %8d-byte chunks: %8.3f s\n' "$chunk" "$m"
            if [ -z "$best" ] || [ "$(echo "$m < $best" | bc)" = 1 ]; then best=$m chunk_used=$chunk; fi
        done

        # Each round: the native commands, then each member between two floor copies of its own,
        # so that a member and its floor meet the machine in the same state. A member that reads
        # a set or a coded file runs with the source removed (it is made again from them after):
        # more than two copies of a gigabyte in memory here made every write several times slower,
        # whoever wrote.
        : > "$work/times"
        for round in $(seq 0 "$rounds"); do
            native cat_peer "cat '$src' > '$out/cat.bin'"
            native split_peer "split -b $vol -a 5 -d '$src' '$work/peer.'"
            rm -f "$out/cat.bin" "$work"/peer.*
            paired split "$(win "$src")" "$(win "$work/set")" "$vol"
            untimed split "$(win "$src")" "$(win "$work/set")" "$vol"
            rm -f "$src"
            paired join "$(win "$work/set.00000")" "$(win "$out")"
            cat "$work"/set.0*[1-9]* > "$src"
            rm -f "$work"/set.*
            paired mltvol "$(win "$src")" "$(win "$work/mv.dat")" "$vol"
            untimed mltvol "$(win "$src")" "$(win "$work/mv.dat")" "$vol"
            rm -f "$src"
            paired sglvol "$(win "$work/mv.dat")" "$(win "$out/joined.bin")"
            cat "$work"/mv.[0-9]* > "$src"
            rm -f "$work"/mv.*
            paired code "$(win "$src")" "$(win "$out/coded.bin")"
            untimed code "$(win "$src")" "$(win "$out/coded.bin")"
            rm -f "$src"
            paired decode "$(win "$out/coded.bin")" "$(win "$out/decoded.bin")"
            untimed decode "$(win "$out/coded.bin")" "$(win "$src")"
            rm -f "$out/coded.bin"
            same_as_source "$src" "the rounds"
            paired xor "$(win "$src")" "$(win "$out/xored.bin")"
            paired takeout "$(win "$src")" "$(win "$out/taken.bin")"
            [ "$round" != 0 ] || : > "$work/times"
        done

        echo "  $arch, $mib MiB, medians of $rounds rounds after a warm-up round; floor: $chunk_used-byte chunks"
        printf '  %-18s %9s %9s %9s %9s %9s\n' member "ours (s)" "floor (s)" "÷ floor" "native" "÷ native"
        for m in split:SplitFile:split_peer join:JoinFile:cat_peer mltvol:CnvMltVol:split_peer sglvol:CnvSglVol:cat_peer \
                 code:FileToCodeFile:cat_peer decode:CodeFileToFile:cat_peer xor:XorCodeFile:cat_peer takeout:TakeOutJoinFileEx:cat_peer; do
            key=${m%%:*} rest=${m#*:}; name=${rest%%:*} peer=${rest#*:}
            o=$(median "$key") f=$(median "floor_$key") p=$(median "$peer")
            printf '  %-18s %9.3f %9.3f %9.2f %9.3f %9.2f  (%s)\n' "$name" "$o" "$f" "$(echo "$o / $f" | bc -l)" \
                "$p" "$(echo "$o / $p" | bc -l)" "${peer%_peer}"
        done
        printf '  JoinFile as a whole client process (Wine start included): %.3f s = %.2f × cat\n' \
            "$(median join_process)" "$(echo "$(median join_process) / $(median cat_peer)" | bc -l)"
        rm -f "$src"
    done
done
