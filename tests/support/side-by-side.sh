#!/bin/sh
# Both modules registered on one machine: each one's unregistration leaves the other registered,
# and the two together leave nothing. Runs in a fresh prefix of its own.
# usage: side-by-side.sh <x64 client_tests> <x64 module> <x86 client_tests> <x86 module> <work folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
if ! sh "$here/../../tools/can-run-x86.sh"; then
    echo "side-by-side: skipped (this machine runs no 32-bit programs)"
    exit 77
fi
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
client64=$1; module64=$2; client32=$3; module32=$4; work=$5
sh "$here/fresh-prefix.sh" "$work/wine"
export WINEPREFIX="$work/wine"
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
fails=0
step() {  # step <description> <command...>
    what=$1; shift
    if "$@" >"$work/step.out" 2>&1; then echo "ok   $what"; else echo "FAIL $what"; sed 's/^/    /' "$work/step.out"; fails=$((fails + 1)); fi
}
expect() {  # expect <loader> <client> <registered|absent|nothing>: the check ran and passed
    KRO_EXPECT_REGISTRATION=$3 "$1" "$2" --gtest_filter=SideBySide.* > "$work/check.out" 2>&1
    status=$?
    cat "$work/check.out"
    [ $status = 0 ] && grep -q 'PASSED  \] 1 test' "$work/check.out"
}
step "x64 registered" $wine64 regsvr32 /s "$(winpath "$module64")"
step "x86 registered" $wine32 regsvr32 /s "$(winpath "$module32")"
step "both: x64 finds its entries" expect $wine64 "$client64" registered
step "both: x86 finds its entries" expect $wine32 "$client32" registered
step "x86 unregistered" $wine32 regsvr32 /s /u "$(winpath "$module32")"
step "x64 still registered" expect $wine64 "$client64" registered
step "x86 entries gone" expect $wine32 "$client32" absent
step "x86 registered again" $wine32 regsvr32 /s "$(winpath "$module32")"
step "x64 unregistered" $wine64 regsvr32 /s /u "$(winpath "$module64")"
step "x86 still registered" expect $wine32 "$client32" registered
step "x64 entries gone" expect $wine64 "$client64" absent
step "x86 unregistered too" $wine32 regsvr32 /s /u "$(winpath "$module32")"
step "nothing of the library left" expect $wine64 "$client64" nothing
wineserver -k || true
echo "side-by-side: $fails failed"
[ $fails = 0 ]
