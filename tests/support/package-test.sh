#!/bin/sh
# The release package as a user meets it: unpacked into a fresh prefix, registered for the current
# user with its register.cmd /user, one example run from it, then unregistered with unregister.cmd /user.
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
# Every picture the README shows is inside the package, beside the licence and the changelog.
pictures=$(grep -o 'docs/images/[A-Za-z0-9_]*\.png' README.md | sort -u | tr '\n' ' ')
check "the package holds the README's pictures ($(echo $pictures | wc -w))" sh -c "[ -n '$pictures' ] && for p in $pictures; do [ -s \$p ] || exit 1; done"
check "the package holds LICENSE and CHANGELOG.md" sh -c '[ -s LICENSE ] && [ -s CHANGELOG.md ]'
user_key='HKCU\Software\Classes\kroProgramDll.FileSystemCls\CLSID'
machine_key='HKLM\Software\Classes\kroProgramDll.FileSystemCls'

$wine64 cmd /c register.cmd /user | tr -d '\r'
check "register.cmd /user wrote the ProgIDs for the current user" $wine64 reg query "$user_key"
check "and nothing machine-wide" sh -c "! $wine64 reg query '$machine_key'"
# Windows shows a user's classes (HKCU\Software\Classes) merged into HKEY_CLASSES_ROOT, and keeps
# the 32-bit module's class keys apart from the 64-bit one's (it redirects HKCU\...\CLSID for 32-bit
# programs). Wine does neither: it looks for classes in the machine's keys only, and both modules
# registered into one per-user CLSID key, the last one (x86 where this machine runs 32-bit programs)
# winning. So that an example runs on what the per-user registration wrote, copy those keys to the
# machine's classes in the view of the architecture they name, and run the example in that
# architecture's cscript.
inproc='HKCU\Software\Classes\CLSID\{C66F4D24-00D8-4FF4-AF7D-1894F2687243}\InprocServer32'
if $wine64 reg query "$inproc" | grep -q 'x86\\kro project program dll library.dll'; then
    arch=x86; loader=/usr/lib/wine/wine
else
    arch=x64; loader=$wine64
fi
check "the per-user class keys name the $arch module of the package" sh -c "$wine64 reg query '$inproc' | grep -qF '$(winpath "$package$arch/kro project program dll library.dll")'"
$wine64 reg export 'HKCU\Software\Classes' "$(winpath "$work/user.reg")" /y >/dev/null
iconv -f UTF-16LE -t UTF-8 "$work/user.reg" | sed 's/^\[HKEY_CURRENT_USER\\Software\\Classes/[HKEY_LOCAL_MACHINE\\Software\\Classes/' |
    iconv -f UTF-8 -t UTF-16LE > "$work/merged.reg"
$loader reg import "$(winpath "$work/merged.reg")" >/dev/null
"$loader" cscript //nologo "$(winpath "$package/examples/02_files.vbs")" | iconv -f CP932 -t UTF-8 | tr -d '\r' > "$work/example.out"
sed 's/^/    /' "$work/example.out"
check "examples/02_files.vbs from the package ran to its end with the $arch module" grep -q 'All done.' "$work/example.out"
$wine64 cmd /c unregister.cmd /user | tr -d '\r'
check "unregister.cmd /user removed the ProgIDs" sh -c "! $wine64 reg query '$user_key'"
wineserver -k || true
echo "package: $fails failed"
[ $fails = 0 ]
