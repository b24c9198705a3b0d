#!/bin/sh
# The registration data that the build writes for setup authors matches what regsvr32 writes:
# the module registered in a fresh prefix, HKLM\Software\Classes exported as the module's own
# architecture sees it, and compared key by key and value by value.
# usage: registration-data-test.sh <wine loader> <module> <generated .reg> <work folder>
set -eu
loader=$1
module=$2
generated=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
sh "$here/fresh-prefix.sh" "$work/wine"
export WINEPREFIX="$work/wine"
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
"$loader" regsvr32 /s "$(winpath "$module")"
"$loader" regedit /E "$(winpath "$work/export.reg")" 'HKEY_LOCAL_MACHINE\Software\Classes'
wineserver -k || true
python3 "$here/compare_registration.py" "$generated" "$work/export.reg" "$(winpath "$module")" "$(winpath "$(dirname "$module")")"
