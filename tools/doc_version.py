#!/usr/bin/env python3
"""Keeps the assembly version in a guide's manifest snippets at the package's version.

  doc_version.py <version> <guide.md>

Rewrites every name="kroProgramDll" version="..." (either quote) to the given version, so that a
snippet copied from the guide names the assembly that ships beside it.
"""
import re
import sys

if len(sys.argv) != 3 or not re.fullmatch(r"\d+\.\d+\.\d+\.\d+", sys.argv[1]):
    sys.exit(__doc__)
version, path = sys.argv[1:]
text = open(path, encoding="utf-8").read()
updated = re.sub(r"""(name=(["'])kroProgramDll\2 version=(["']))[0-9.]+(\3)""",
                 lambda m: m.group(1) + version + m.group(4), text)
if updated != text:
    open(path, "w", encoding="utf-8").write(updated)
