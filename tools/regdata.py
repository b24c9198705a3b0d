#!/usr/bin/env python3
"""Turns what a module's DllRegisterServer writes (the capture of tools/regcapture) into data for
setup authors: a .reg file and a WiX fragment of one architecture.

usage: regdata.py <capture> <x64|x86> <module path as captured> <out.reg> <out.wxs>

The module's path and folder become placeholders: @MODULE_PATH@ and @MODULE_FOLDER@ in the .reg
file, the file's and the folder's formatted references in the fragment. Key names are kept as
written (registry keys are not case-sensitive).
"""
import ntpath
import sys
import uuid
from xml.sax.saxutils import quoteattr

MODULE_NAME = "kro project program dll library.dll"
# Stable component identities: a component's GUID must not change between versions.
COMPONENT_NAMESPACE = uuid.UUID("5b2f0c7e-4a61-4d3b-9d0e-6a1f3c9b8e21")

REG_SZ, REG_EXPAND_SZ, REG_DWORD = 1, 2, 4


def read_capture(path):
    """Keys in order, each with its values [(name, type, data)]."""
    keys = {}
    order = []
    with open(path, encoding="utf-8", newline="\n") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if parts[0] == "K":
                keys[parts[1]] = []
                order.append(parts[1])
            elif parts[0] == "V" and len(parts) == 5:
                keys[parts[1]].append((parts[2], int(parts[3]), parts[4]))
            else:
                sys.exit("regdata: unreadable capture line: %r" % line)
    return [(k, keys[k]) for k in order]


def leaf_keys(entries):
    """Keys that hold values or have no subkeys: the ones a setup has to write."""
    names = [k for k, _ in entries]
    lower = [k.lower() + "\\" for k in names]
    out = []
    for (key, values) in entries:
        has_child = any(other.startswith(key.lower() + "\\") for other in lower)
        if values or not has_child:
            out.append((key, values))
    return out


def reg_text(entries, arch, module, folder):
    def esc(s):
        return s.replace("\\", "\\\\").replace('"', '\\"')

    def placeholder(s):
        return s.replace(module, "@MODULE_PATH@").replace(folder, "@MODULE_FOLDER@")

    lines = ["Windows Registry Editor Version 5.00", "",
             "; kroProgramDll (%s): what its DllRegisterServer writes, machine-wide." % arch,
             "; Replace @MODULE_PATH@ with the module's full path and @MODULE_FOLDER@ with its folder,",
             "; each backslash written twice."]
    if arch == "x86":
        lines.append("; 32-bit registry view: on 64-bit Windows import it with reg import <file> /reg:32.")
    lines.append("")
    for key, values in entries:
        lines.append("[%s]" % key)
        for name, kind, data in values:
            shown = "@" if name == "" else '"%s"' % esc(name)
            if kind == REG_SZ:
                lines.append('%s="%s"' % (shown, esc(placeholder(data))))
            elif kind == REG_DWORD:
                lines.append("%s=dword:%s" % (shown, "".join(reversed([data[i:i + 2] for i in range(0, 8, 2)]))))
            else:
                lines.append("%s=hex(%x):%s" % (shown, kind, ",".join(data[i:i + 2] for i in range(0, len(data), 2))))
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


def wxs_text(entries, arch, module, folder):
    component = "kroProgramDll_" + arch
    file_id = component + "_module"
    folder_id = "KroFolder" + arch.upper()
    guid = str(uuid.uuid5(COMPONENT_NAMESPACE, component)).upper()
    win64 = "yes" if arch == "x64" else "no"
    prefix = "HKEY_LOCAL_MACHINE\\"

    def placeholder(s):
        return s.replace(module, "[#%s]" % file_id).replace(folder, "[%s]" % folder_id)

    out = ['<?xml version="1.0" encoding="utf-8"?>',
           "<!-- kroProgramDll (%s): the module and what its DllRegisterServer writes, as registry rows."
           % arch,
           "     Include it in a product with <ComponentGroupRef Id=\"%s\"/>, give it a directory" % component,
           "     %s (in ProgramFiles%sFolder) and define %sFolder, the module's folder. -->"
           % (folder_id, "64" if arch == "x64" else "", component),
           '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
           "  <Fragment>",
           '    <DirectoryRef Id="%s">' % folder_id,
           '      <Component Id="%s" Guid="{%s}" Win64="%s">' % (component, guid, win64),
           '        <File Id="%s" Name=%s Source=%s KeyPath="yes"/>'
           % (file_id, quoteattr(MODULE_NAME), quoteattr("$(var.%sFolder)/%s" % (component, MODULE_NAME)))]
    for key, values in entries:
        if not key.startswith(prefix):
            sys.exit("regdata: a key outside HKEY_LOCAL_MACHINE: " + key)
        path = quoteattr(key[len(prefix):])
        if not values:
            out.append('        <RegistryKey Root="HKLM" Key=%s ForceCreateOnInstall="yes"/>' % path)
            continue
        for name, kind, data in values:
            if kind != REG_SZ:
                sys.exit("regdata: only string values are written as rows: %s %s" % (key, name))
            attrs = 'Root="HKLM" Key=%s' % path
            if name:
                attrs += " Name=%s" % quoteattr(name)
            out.append('        <RegistryValue %s Type="string" Value=%s/>' % (attrs, quoteattr(placeholder(data))))
    out += ["      </Component>", "    </DirectoryRef>",
            '    <ComponentGroup Id="%s">' % component, '      <ComponentRef Id="%s"/>' % component,
            "    </ComponentGroup>", "  </Fragment>", "</Wix>", ""]
    return "\n".join(out)


def main(capture, arch, module, reg_out, wxs_out):
    entries = leaf_keys(read_capture(capture))
    folder = ntpath.dirname(module)
    if not entries or not any(module in d for _, vals in entries for _, _, d in vals):
        sys.exit("regdata: the capture holds no registration of %s" % module)
    with open(reg_out, "w", encoding="utf-16", newline="") as f:
        f.write(reg_text(entries, arch, module, folder))
    with open(wxs_out, "w", encoding="utf-8", newline="\n") as f:
        f.write(wxs_text(entries, arch, module, folder))


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
