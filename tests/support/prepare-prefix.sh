#!/bin/sh
# Creates the test prefix once and registers the module into it.
# usage: prepare-prefix.sh <prefix> <wine loader> <module path>
set -eu
prefix=$1
loader=$2
module=$3
export WINEPREFIX="$prefix"
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    # A crashing test program ends at once instead of waiting in the debugger until its time-out.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\DllOverrides' /v winedbg.exe /d '' /f >/dev/null 2>&1 || true
    # Wine draws caption buttons with Marlett and dialogs with Tahoma, and looks for them only in
    # the prefix's Fonts folder: without them the buttons show letters instead of symbols.
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w || true
fi
# Wine's own window handling instead of a window manager's: with no window manager on the
# virtual display, Wine otherwise waits up to two seconds for one each time a window hides.
if ! grep -q '"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w || true
fi
winpath=$(printf 'Z:%s' "$module" | sed 's|/|\\|g')
"$loader" regsvr32 /s "$winpath"
echo "registered $winpath in $prefix"
