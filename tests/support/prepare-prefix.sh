#!/bin/sh
# Creates the test prefix once and registers the module into it.
# usage: prepare-prefix.sh <prefix> <wine loader> <module path>
set -eu
prefix=$1
loader=$2
module=$3
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$prefix"
if [ ! -f "$prefix/system.reg" ]; then
    sh "$here/fresh-prefix.sh" "$prefix"
    # Wine draws caption buttons with Marlett and dialogs with Tahoma, and looks for them only in
    # the prefix's Fonts folder: without them the buttons show letters instead of symbols.
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    # A crashing test program ends at once instead of waiting in the debugger until its time-out.
    # Wine handles the windows itself instead of a window manager: with no window manager on the
    # virtual display, Wine otherwise waits up to two seconds for one each time a window hides.
    settings="$prefix/test-settings.reg"
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' '"winedbg.exe"=""' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' > "$settings"
    /usr/lib/wine/wine64 regedit /S "$(printf 'Z:%s' "$settings" | sed 's|/|\\|g')" >/dev/null 2>&1 || true
    wineserver -w || true
    grep -q '"Managed"="N"' "$prefix/user.reg" || { echo "prefix settings were not written" >&2; exit 1; }
fi
winpath=$(printf 'Z:%s' "$module" | sed 's|/|\\|g')
"$loader" regsvr32 /s "$winpath"
echo "registered $winpath in $prefix"
