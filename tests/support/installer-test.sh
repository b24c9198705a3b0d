#!/bin/sh
# The Windows Installer package under Wine's msiexec, in a fresh prefix: an older version's
# package, then this one over it (one product left, this version's modules in place); every
# class created and called from the 64-bit and the 32-bit scripting host; then uninstalled,
# leaving no file and no registry key of the library.
# usage: installer-test.sh <source folder> <package .msi> <work folder>
set -u
root=$1
msi=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d'
sh "$here/fresh-prefix.sh" "$work/wine" || exit 1
export WINEPREFIX="$work/wine"
drive="$work/wine/drive_c"
module="kro project program dll library.dll"
libid='D4D47DDA-1CF5-45C4-AA0A-28CE421D6084'
python3 "$root/tools/make_dist.py" --msi 0.9.0.0 "$work/previous.msi" >/dev/null || exit 1
cp "$msi" "$drive/current.msi"
cp "$work/previous.msi" "$drive/previous.msi"
sed 's/$/\r/' "$root/tests/package/every_class.vbs" | iconv -f UTF-8 -t CP932 > "$drive/every_class.vbs"
x86=yes
sh "$root/tools/can-run-x86.sh" || x86=no

products() {  # the kroProgramDll products Windows Installer knows, as "name version" lines
    /usr/lib/wine/wine64 regedit /E 'C:\uninstall.reg' 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'
    iconv -f UTF-16 -t UTF-8 "$drive/uninstall.reg" | tr -d '\r' |
        awk -F'"' '/^\[/{name=""; version=""} /^"DisplayName"=/{name=$4} /^"DisplayVersion"=/{version=$4}
                   name=="kroProgramDll" && version!="" {print name, version; name=""}'
}

/usr/lib/wine/wine64 msiexec /i 'C:\previous.msi' /qn || fail "the older package does not install"
[ "$(products)" = "kroProgramDll 0.9.0.0" ] || fail "the older package is not the product installed: $(products)"
/usr/lib/wine/wine64 msiexec /i 'C:\current.msi' /qn || fail "the package does not install over the older one"
found=$(products)
[ "$(printf '%s\n' "$found" | grep -c kroProgramDll)" = 1 ] || fail "products after the upgrade: $found"
printf '%s\n' "$found" | grep -q '^kroProgramDll 1\.' || fail "not this version after the upgrade: $found"
cmp -s "$drive/Program Files/kroProgramDll/$module" "$root/dist/x64/$module" || fail "x64 module not in the 64-bit Program Files"
cmp -s "$drive/Program Files (x86)/kroProgramDll/$module" "$root/dist/x86/$module" || fail "x86 module not in the 32-bit Program Files"

every_class() {  # <loader>: the script's report
    rm -f "$drive/every_class.txt"
    "$1" cscript //nologo 'C:\every_class.vbs' 'C:\every_class.txt' >/dev/null 2>&1
    tr -d '\r' < "$drive/every_class.txt" 2>/dev/null
}
out=$(every_class /usr/lib/wine/wine64)
printf '%s\n' "$out" | grep -q '^17 passed, 0 failed' || fail "64-bit host: $out"
if [ $x86 = yes ]; then
    out=$(every_class /usr/lib/wine/wine)
    printf '%s\n' "$out" | grep -q '^17 passed, 0 failed' || fail "32-bit host: $out"
else
    echo "32-bit host not run: this machine runs no 32-bit programs"
fi

/usr/lib/wine/wine64 msiexec /x 'C:\current.msi' /qn || fail "the package does not uninstall"
[ -z "$(products)" ] || fail "a product is left after uninstalling"
[ ! -e "$drive/Program Files/kroProgramDll" ] || fail "the 64-bit folder is left"
[ ! -e "$drive/Program Files (x86)/kroProgramDll" ] || fail "the 32-bit folder is left"
/usr/lib/wine/wine64 regedit /E 'C:\classes64.reg' 'HKEY_LOCAL_MACHINE\Software\Classes'
left=$(iconv -f UTF-16 -t UTF-8 "$drive/classes64.reg" | grep -icE "$libid|kroProgramDll\.|$module")
[ "$left" = 0 ] || fail "$left registry lines of the library are left"
wineserver -k || true
echo "installer: $failed failed"
[ $failed = 0 ]
