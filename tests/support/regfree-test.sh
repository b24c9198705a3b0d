#!/bin/sh
# Use without registration: in a fresh prefix where the library was never registered, a program
# in the module's own folder activates the side-by-side manifest and creates every class.
# usage: regfree-test.sh <wine loader> <regfree_client.exe> <module folder> <work folder>
set -eu
# No debugger on a crash; no .NET or HTML engine prompts in a fresh prefix.
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
loader=$1
client=$2
modules=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
sh "$here/fresh-prefix.sh" "$work/wine"
export WINEPREFIX="$work/wine"
app="$work/app"
mkdir -p "$app"
cp "$client" "$modules/kro project program dll library.dll" "$modules/kroProgramDll.manifest" "$app/"
status=0
"$loader" "$app/$(basename "$client")" "$(printf 'Z:%s' "$app/kroProgramDll.manifest" | sed 's|/|\\|g')" || status=$?
wineserver -k || true
exit $status
