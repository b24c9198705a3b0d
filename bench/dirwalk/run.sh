#!/bin/sh
# GetDirectryTree against a recursive Scripting.FileSystemObject walk written in VBScript (same
# run, same tree, same kind of collection) and against `find`, at 2k, 20k and 200k files with
# ten files per folder. Prints seconds per walk and the ratios.
# usage: bench/dirwalk/run.sh [build dir]   (needs `make build-x64` and a test run for the prefix)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/x64}
build=$(cd "$build" && pwd)
export WINEPREFIX=$build/wine WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES=mscoree,mshtml=
wine=/usr/lib/wine/wine64
dll=$(ls "$build"/../../dist/x64/*.dll | head -n 1)
[ -f "$WINEPREFIX/system.reg" ] || sh "$here/../../tests/support/prepare-prefix.sh" "$WINEPREFIX" "$wine" "$dll" >/dev/null
"$wine" regsvr32 /s "$(printf 'Z:%s' "$dll" | sed 's|/|\\|g')"
work=${KRO_BENCH_DIR:-/tmp/kro_dirwalk}
mkdir -p "$work"
script=$(printf 'Z:%s' "$here/walk.vbs" | sed 's|/|\\|g')

make_tree() {  # <folder> <files>: files/10 folders of ten files, fifty folders to a group
    python3 - "$1" "$2" <<'PY'
import os, sys
root, files = sys.argv[1], int(sys.argv[2])
if os.path.isdir(root):
    sys.exit(0)
for i in range(files // 10):
    d = os.path.join(root, "g%03d" % (i // 50), "f%03d" % (i % 50))
    os.makedirs(d)
    for k in range(10):
        open(os.path.join(d, "file%02d.dat" % k), "w").close()
PY
}

now() { date +%s.%N; }

printf '%8s %8s %10s %10s %8s %10s %9s %12s\n' files folders ours_s fso_s fso/ours find_s ours/find us_per_file
for n in ${KRO_BENCH_SIZES:-2000 20000 200000}; do
    tree=$work/t$n
    make_tree "$tree" "$n"
    folders=$(find "$tree" -type d | wc -l)
    find "$tree" -type f >/dev/null  # warm the cache for all three walks
    t0=$(now); find "$tree" -type f >/dev/null; t1=$(now)
    findT=$(echo "$t1 - $t0" | bc -l)
    set -- $("$wine" cscript //nologo "$script" "$(printf 'Z:%s' "$tree" | sed 's|/|\\|g')" | tr -d '\r')
    [ "$1" = "$n" ] && [ "$2" = "$n" ] || { echo "walks found $1 and $2 files, expected $n"; exit 1; }
    awk -v n="$n" -v d="$folders" -v o="$3" -v p="$4" -v f="$findT" 'BEGIN {
        if (o <= 0) o = 0.001;
        printf "%8d %8d %10.3f %10.3f %7.1fx %10.3f %8.1fx %12.1f\n", n, d, o, p, p / o, f, o / f, o * 1e6 / n }'
done
