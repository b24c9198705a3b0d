#!/usr/bin/env python3
"""Makes widl's C++ header usable beside the Windows headers.

The library's enumerations reuse Windows names (WM_MOUSEMOVE, HKEY_CURRENT_USER, CSIDL_...)
that the Windows headers define as macros, so their members are renamed with a "kro_" prefix in
C++ (the type library keeps the public names). Default arguments are dropped from the C++
declarations: widl writes the type library defaults there, which do not fit pointer parameters.

usage: header_fixup.py <header-in> <header-out>
"""
import re
import sys


def main(src, dst):
    text = open(src, encoding="utf-8").read()

    def rename(match):
        body = re.sub(r"^(\s+)(\w+)( = )", r"\1kro_\2\3", match.group(2), flags=re.M)
        return match.group(1) + body + match.group(3)

    text = re.sub(r"(typedef enum \w+ \{\n)(.*?)(\n\} \w+;)", rename, text, flags=re.S)
    text = re.sub(r"(\w+ \*+\w+) = [^,)\n]+", r"\1", text)
    open(dst, "w", encoding="utf-8").write(text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
