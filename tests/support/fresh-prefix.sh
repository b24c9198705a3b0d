#!/bin/sh
# Creates an empty Wine prefix (nothing of the library registered) in place of any old one.
# With KRO_EMPTY_PREFIX set, the prefix is a copy of that one, which is booted once for all build
# trees (booting takes some 20 seconds, a copy about 3).
# usage: fresh-prefix.sh <prefix>
#        fresh-prefix.sh --template-only   (boots KRO_EMPTY_PREFIX if it is not booted yet)
set -eu
boot() {
    mkdir -p "$1"
    WINEPREFIX="$1" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$1" wineserver -w || true
}
template=${KRO_EMPTY_PREFIX:-}
[ "$1" = --template-only ] || rm -rf "$1"
if [ -z "$template" ]; then
    [ "$1" != --template-only ] || { echo "KRO_EMPTY_PREFIX is not set" >&2; exit 2; }
    boot "$1"
    exit 0
fi
mkdir -p "$(dirname "$template")"
# Tests that run at the same time wait for the one that boots the template.
(
    flock 9
    if [ ! -f "$template/.booted" ]; then
        rm -rf "$template"
        boot "$template"
        touch "$template/.booted"
    fi
) 9> "$template.lock"
[ "$1" = --template-only ] && exit 0
mkdir -p "$(dirname "$1")"
cp -a "$template" "$1"
