#!/usr/bin/env python3
"""Compares generated registration data (a .reg file with the module placeholders) with what
regsvr32 wrote (a regedit export of HKEY_LOCAL_MACHINE\\Software\\Classes), key by key and value
by value, within the keys the generated data names (each class, ProgID, interface and the type
library); the module's path and folder are filled in first.

usage: compare_registration.py <generated.reg> <export.reg> <module path> <module folder>
Prints "registration data: 0 differences" when they match.
"""
import re
import sys


def parse(path):
    """{key (lower case): (key, {value name (lower case): value text})}"""
    raw = open(path, "rb").read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8")
    text = re.sub(r"\\\r?\n\s*", "", text)  # continued hex lines
    keys = {}
    current = None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1]
            current = keys.setdefault(name.lower(), (name, {}))[1]
        elif current is not None and "=" in line and not line.startswith(";"):
            m = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
            if not m:
                continue
            name = "" if m.group(1) == "@" else re.sub(r"\\(.)", r"\1", m.group(1)[1:-1])
            value = m.group(2)
            if value.startswith('"') and value.endswith('"'):
                value = "str:" + re.sub(r"\\(.)", r"\1", value[1:-1])
            current[name.lower()] = value
    return keys


def subtree_roots(keys):
    """The keys the data owns: two levels below Software\\Classes (CLSID\\{..}, Interface\\{..},
    Typelib\\{..}) or one for a ProgID."""
    roots = set()
    for k in keys:
        parts = k.split("\\")
        if len(parts) < 4:
            continue
        below = parts[3:]
        roots.add("\\".join(parts[:3] + below[:2 if below[0] in ("clsid", "interface", "typelib") else 1]))
    return roots


def main(generated_path, export_path, module, folder):
    generated = parse(generated_path)
    for key, (name, values) in generated.items():
        for v in values:
            values[v] = values[v].replace("@MODULE_PATH@", module).replace("@MODULE_FOLDER@", folder)
    exported = parse(export_path)
    roots = subtree_roots(generated)
    inside = {k: v for k, v in exported.items() if any(k == r or k.startswith(r + "\\") for r in roots)}
    differences = []
    for key, (name, values) in generated.items():
        if key not in inside:
            differences.append("missing key " + name)
            continue
        if values != inside[key][1]:
            differences.append("values of %s: %r written, %r generated" % (name, inside[key][1], values))
    for key, (name, values) in inside.items():
        if key not in generated and (values or not any(o.startswith(key + "\\") for o in inside)):
            differences.append("not in the data: " + name)
    for d in differences:
        print(d)
    print("registration data: %d differences (%d keys)" % (len(differences), len(generated)))
    return 1 if differences else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
