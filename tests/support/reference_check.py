#!/usr/bin/env python3
"""The reference refuses an IDL with a member or class that has no description: builds the type
library from a copy of the IDL without two helpstrings and expects tools/typelib_doc.py to fail,
naming both; the untouched IDL must pass.

usage: reference_check.py <source dir> <work dir> <widl> <widl args...>
"""
import os
import re
import subprocess
import sys


def build_reference(src, work, widl, widl_args, idl_text, tag):
    idl = os.path.join(work, tag + ".idl")
    open(idl, "w", encoding="utf-8").write(idl_text)
    raw, tlb, md = (os.path.join(work, tag + ext) for ext in (".raw.tlb", ".tlb", ".md"))
    subprocess.run([widl] + widl_args + ["-t", "-o", raw, idl], check=True, stderr=subprocess.DEVNULL)
    subprocess.run([sys.executable, os.path.join(src, "idl", "typelib_fixup.py"), idl, raw, tlb], check=True)
    imports = [a[2:] for a in widl_args if a.startswith("-L")][0]
    return subprocess.run([sys.executable, os.path.join(src, "tools", "typelib_doc.py"), "reference", tlb, md,
                           "--imports", imports], capture_output=True, text=True)


def main(src, work, widl, *widl_args):
    os.makedirs(work, exist_ok=True)
    text = open(os.path.join(src, "idl", "kroProgramDll.idl"), encoding="utf-8").read()
    failures = 0
    complete = build_reference(src, work, widl, list(widl_args), text, "complete")
    if complete.returncode != 0:
        print("FAIL the complete IDL was refused: " + complete.stderr.strip())
        failures += 1
    stripped, n1 = re.subn(r', helpstring\("[^"]*"\)(\] HRESULT GetFileName\()', r'\1', text)
    stripped, n2 = re.subn(r', helpstring\("[^"]*"\)(\] coclass MathClass )', r'\1', stripped)
    assert n1 == 1 and n2 == 1, "the IDL no longer has the lines this check edits"
    refused = build_reference(src, work, widl, list(widl_args), stripped, "stripped")
    named = "FileSystemCls.GetFileName" in refused.stderr and "MathClass" in refused.stderr
    if refused.returncode == 0 or not named or os.path.exists(os.path.join(work, "stripped.md")):
        print("FAIL a member and a class without description were not refused by name: " + refused.stderr.strip())
        failures += 1
    print("reference check: %d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
