#!/bin/sh
# The copy window's cost in a copy loop: 1,000 small files copied by a script with
# Scripting.FileSystemObject.CopyFile, bare and with Copy_SetValue + Copy_CancelCheck per file,
# alternating in one run, per runnable architecture; then the library's own cost per step from a
# compiled client against the platform's floor for the same updates. Needs a display (xvfb-run is used if none).
# usage: bench/copywindow/run.sh [rounds]
set -eu
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a sh "$0" "$@"; fi
root=$(pwd)
rounds=${1:-3}
work=${KRO_BENCH_DIR:-/tmp/kro_copywindow}
mkdir -p "$work"
python3 "$root/bench/copywindow/make_clip.py" "$work/clip.avi"
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
run_arch() {
    arch=$1 loader=$2
    cxx=x86_64-w64-mingw32-g++
    [ "$arch" = x86 ] && cxx=i686-w64-mingw32-g++
    mkdir -p "$root/build/$arch/bench"
    $cxx -O2 -municode "$root/bench/copywindow/update_floor.cpp" -o "$root/build/$arch/bench/update_floor.exe" -static -lcomctl32
    $cxx -O2 -municode -I "$root/build/$arch/generated" "$root/bench/copywindow/step_probe.cpp" \
        "$root/build/$arch/generated/kroProgramDll_i.c" -o "$root/build/$arch/bench/step_probe.exe" -static -lole32 -loleaut32 -luuid
    prefix="$root/build/$arch/wine"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
    sh tests/support/prepare-prefix.sh "$prefix" "$loader" "$root/dist/$arch/kro project program dll library.dll" >/dev/null
    echo "-- $arch"
    # cscript reads scripts in the ANSI code page.
    iconv -f UTF-8 -t CP932 "$root/bench/copywindow/copy_loop.vbs" | sed 's/$/\r/' > "$work/copy_loop_$arch.vbs"
    # Inside a Wine desktop, as a person sees windows: on a bare X server without a window
    # manager, Wine waits up to two seconds for a window manager to withdraw every hidden window.
    desktop="explorer /desktop=kroBench,1024x768"
    "$loader" $desktop cscript //nologo "$(winpath "$work/copy_loop_$arch.vbs")" "$(winpath "$work/files_$arch")" \
        "$(winpath "$work/clip.avi")" "$rounds" | iconv -f CP932 -t UTF-8 | tr -d '\r' | tee "$work/loop_$arch.out"
    "$loader" $desktop "$(winpath "$root/build/$arch/bench/step_probe.exe")" "$(winpath "$work/clip.avi")" | tr -d '\r' | tee "$work/probe_$arch.out"
    "$loader" $desktop "$(winpath "$root/build/$arch/bench/update_floor.exe")" | tr -d '\r' | tee "$work/floor_$arch.out"
    # The library's cost per step (the compiled probe: no script engine in between) against the
    # platform's floor for the same updates, in the same run.
    step=$(sed -n 's/.*: \([0-9.]*\) us per step$/\1/p' "$work/probe_$arch.out")
    floor=$(sed -n 's/.*: \([0-9.]*\) us per update$/\1/p' "$work/floor_$arch.out")
    awk -v s="$step" -v f="$floor" 'BEGIN { printf "%s: library per step %.1f us, floor %.1f us, ratio %.2f (target <= 1.15)\n", ARGV[1], s, f, s / f }' "$arch"
}
run_arch x64 /usr/lib/wine/wine64
if sh tools/can-run-x86.sh; then
    run_arch x86 /usr/lib/wine/wine
else
    echo "-- x86: not run (this machine runs no 32-bit programs)"
fi
