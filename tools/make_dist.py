#!/usr/bin/env python3
"""Writes the release package dist/<package>-<version>.zip from the built modules, and beside it
the Windows Installer package dist/<package>-<version>.msi (built with wixl from
tools/package/kroProgramDll.wxs and the two modules' registration fragments).

Contents, under one folder <package>-<version>/: both modules with their side-by-side manifests
(x64/, x86/), the C and C++ declarations (include/), register.cmd and unregister.cmd, the README, the reference and usage guide (docs/)
and the examples. Scripts and command files get CR LF line ends; scripts are stored in code page
932, the ANSI code page the scripting host reads them in on Japanese Windows.

usage: make_dist.py [source folder]
"""
import os
import re
import subprocess
import sys
import zipfile

MODULE = "kro project program dll library.dll"


def fail(msg):
    sys.exit("make_dist: " + msg)


def version_settings(root):
    text = open(os.path.join(root, "cmake", "version.cmake"), encoding="utf-8").read()
    values = dict(re.findall(r"^set\((KRO_\w+) ([^\s)]+)\)", text, re.M))
    return values["KRO_PACKAGE_NAME"], values["KRO_VERSION"]


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(root):
    name, version = version_settings(root)
    top = "%s-%s" % (name, version)
    entries = []  # (name in the package, bytes)
    for arch in ("x64", "x86"):
        for file_name in (MODULE, name + ".manifest", "%s-%s.reg" % (name, arch), "%s-%s.wxs" % (name, arch)):
            path = os.path.join(root, "dist", arch, file_name)
            if not os.path.exists(path):
                fail("%s is missing: build both architectures first (make build-x64 build-x86)" % path)
            entries.append(("%s/%s" % (arch, file_name), open(path, "rb").read()))
    for generated in ("kroProgramDll.h", "kroProgramDll_i.c"):
        path = os.path.join(root, "build", "x64", "generated", generated)
        if not os.path.exists(path):
            fail("%s is missing: build the x64 module first" % path)
        entries.append(("include/" + generated, open(path, "rb").read()))
    for script in ("register.cmd", "unregister.cmd"):
        entries.append((script, crlf(open(os.path.join(root, "tools", "package", script), "rb").read())))
    for doc in ("README.md", "LICENSE", "CHANGELOG.md", "docs/reference.md", "docs/usage.md", "docs/errors.md"):
        entries.append((doc, open(os.path.join(root, doc), "rb").read()))
    # The pictures the README and the guide show, so that they work inside the package too.
    images = os.path.join(root, "docs", "images")
    for file_name in sorted(os.listdir(images)):
        if file_name.endswith(".png"):
            entries.append(("docs/images/" + file_name, open(os.path.join(images, file_name), "rb").read()))
    examples = os.path.join(root, "examples")
    for file_name in sorted(os.listdir(examples)):
        if file_name.endswith((".vbs", ".js")):
            text = open(os.path.join(examples, file_name), encoding="utf-8").read()
            entries.append(("examples/" + file_name, crlf(text.encode("cp932"))))
    out = os.path.join(root, "dist", top + ".zip")
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for entry, data in entries:
            info = zipfile.ZipInfo(top + "/" + entry, date_time=(2026, 1, 1, 0, 0, 0))
            info.external_attr = 0o644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
    os.replace(tmp, out)
    print("wrote %s (%d files)" % (os.path.relpath(out, root), len(entries)))
    write_msi(root, name, version, os.path.join(root, "dist", top + ".msi"))


def write_msi(root, name, version, out, msi_version=None):
    """The per-machine package of both modules; msi_version (default: the version) is what Windows
    Installer compares on upgrade (its first three parts)."""
    dist = os.path.join(root, "dist")
    tmp = out + ".tmp"
    command = ["wixl", "-a", "x64", "-D", "Version=" + (msi_version or version),
               "-D", "kroProgramDll_x64Folder=x64", "-D", "kroProgramDll_x86Folder=x86", "-o", tmp,
               os.path.join(root, "tools", "package", name + ".wxs"),
               os.path.join(dist, "x64", "%s-x64.wxs" % name), os.path.join(dist, "x86", "%s-x86.wxs" % name)]
    result = subprocess.run(command, cwd=dist, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0 or not os.path.exists(tmp):
        fail("wixl failed:\n" + result.stdout)
    os.replace(tmp, out)
    print("wrote %s" % os.path.relpath(out, root))


if __name__ == "__main__":
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if len(sys.argv) == 4 and sys.argv[1] == "--msi":
        # make_dist.py --msi <version> <out>: the package under another version (the upgrade test)
        package, current = version_settings(here)
        write_msi(here, package, current, sys.argv[3], sys.argv[2])
    else:
        main(sys.argv[1] if len(sys.argv) > 1 else here)
