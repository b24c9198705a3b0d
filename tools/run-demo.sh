#!/bin/sh
# Registers the x64 module in a demo prefix and runs every example (examples/*.vbs, *.js) in order.
set -eu
root=$(pwd)
prefix="$root/build/demo-wine"
# The demo prefix is a copy of the empty prefix that the test prefixes are copied from as well.
export KRO_EMPTY_PREFIX="$root/build/wine-empty"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
sh tests/support/prepare-prefix.sh "$prefix" /usr/lib/wine/wine64 "$root/dist/x64/kro project program dll library.dll" >/dev/null
mkdir -p build/demo
for script in examples/*.vbs examples/*.js; do
    name=$(basename "$script")
    sed 's/$/\r/' "$script" | iconv -f UTF-8 -t CP932 > "build/demo/$name"
    echo "== $name"
    xvfb-run -a /usr/lib/wine/wine64 cscript //nologo "$(printf 'Z:%s' "$root/build/demo/$name" | sed 's|/|\\|g')" | iconv -f CP932 -t UTF-8
done
