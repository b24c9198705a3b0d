#!/bin/sh
# Writes the registration data of one module for setup authors, from what its own
# DllRegisterServer writes (captured in a scratch prefix, nothing registered there):
# <out folder>/kroProgramDll-<arch>.reg and .wxs.
# usage: registration-data.sh <wine loader> <regcapture.exe> <module> <x64|x86> <work folder> <out folder>
set -eu
loader=$1
capture=$2
module=$3
arch=$4
work=$5
out=$6
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
mkdir -p "$work"
sh "$here/../tests/support/fresh-prefix.sh" "$work/wine"
export WINEPREFIX="$work/wine"
winmodule=$(printf 'Z:%s' "$module" | sed 's|/|\\|g')
"$loader" "$capture" "$winmodule" "$(printf 'Z:%s' "$work/capture.txt" | sed 's|/|\\|g')"
wineserver -k || true
rm -rf "$work/wine"
python3 "$here/regdata.py" "$work/capture.txt" "$arch" "$winmodule" "$out/kroProgramDll-$arch.reg" "$out/kroProgramDll-$arch.wxs"
echo "wrote $out/kroProgramDll-$arch.reg and .wxs"
