#!/bin/sh
# The release package as a user meets it: unpacked into a fresh prefix, registered for the current
# user with its register.cmd /user, one example run from it (64-bit and, where this machine runs
# 32-bit programs, 32-bit cscript), then unregistered with unregister.cmd /user.
# usage: package-test.sh <package.zip> <work folder>
set -eu
# No debugger on a crash; no .NET or HTML engine prompts in a fresh prefix.
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
zip=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$zip" ]; then
    echo "no package $zip: run make dist first"
    exit 1
fi
sh "$here/fresh-prefix.sh" "$work/wine"
export WINEPREFIX="$work/wine"
wine64=/usr/lib/wine/wine64
python3 -m zipfile -e "$zip" "$work/unpacked"
package=$(ls -d "$work"/unpacked/*/)
cd "$package"
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
fails=0
check() {  # check <description> <command...>
    what=$1; shift
    if "$@" >/dev/null 2>&1; then echo "ok   $what"; else echo "FAIL $what"; fails=$((fails + 1)); fi
}
user_key='HKCU\Software\Classes\kroProgramDll.FileSystemCls\CLSID'
machine_key='HKLM\Software\Classes\kroProgramDll.FileSystemCls'

$wine64 cmd /c register.cmd /user | tr -d '\r'
check "register.cmd /user wrote the ProgIDs for the current user" $wine64 reg query "$user_key"
check "and nothing machine-wide" sh -c "! $wine64 reg query '$machine_key'"
loaders=$wine64
if sh "$here/../../tools/can-run-x86.sh"; then loaders="$loaders /usr/lib/wine/wine"; fi
for loader in $loaders; do
    "$loader" cscript //nologo "$(winpath "$package/examples/02_files.vbs")" | iconv -f CP932 -t UTF-8 | tr -d '\r' > "$work/example.out"
    sed 's/^/    /' "$work/example.out"
    check "examples/02_files.vbs from the package ran to its end under $(basename "$loader") cscript" grep -q 'All done.' "$work/example.out"
done
$wine64 cmd /c unregister.cmd /user | tr -d '\r'
check "unregister.cmd /user removed the ProgIDs" sh -c "! $wine64 reg query '$user_key'"
wineserver -k || true
echo "package: $fails failed"
[ $fails = 0 ]
