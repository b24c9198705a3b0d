#!/bin/sh
# Creates an empty Wine prefix (nothing of the library registered) in place of any old one.
# usage: fresh-prefix.sh <prefix>
set -eu
rm -rf "$1"
mkdir -p "$1"
WINEPREFIX="$1" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
WINEPREFIX="$1" wineserver -w || true
