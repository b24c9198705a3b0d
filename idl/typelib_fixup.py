#!/usr/bin/env python3
"""Finishes the type library that widl writes from kroProgramDll.idl.

widl cannot give a by-reference BSTR parameter a text default, and its lexer takes only ASCII
identifiers. The IDL therefore marks each text default with a numeric placeholder
(defaultvalue(0x4B52nnnn)) and keeps the text itself as a custom entry of the library
(custom(4B524F44-4546-5458-0000-00000000nnnn, "text")); non-ASCII member names are written as ASCII stand-ins of
the same byte length in code page 932 (listed in NAME_STANDINS). This script points every
placeholder default at its text, re-encoded in code page 932 as the type library stores
multibyte text, and writes the real member names.

usage: typelib_fixup.py <idl> <tlb-in> <tlb-out>
"""
import re
import struct
import sys

NAME_STANDINS = {b"Info": "紹介"}
PLACEHOLDER_BASE = 0x4B520000
VT_BSTR = 8
SEG_NAMETAB, SEG_CUSTDATA = 7, 11


def fail(msg):
    sys.exit("typelib_fixup: " + msg)


def main(idl_path, tlb_in, tlb_out):
    idl = open(idl_path, encoding="utf-8").read()
    texts = {int(n, 16): t for n, t in
             re.findall(r'custom\(4B524F44-4546-5458-0000-00000000([0-9A-Fa-f]{4}),\s*"((?:[^"\\]|\\.)*)"\)', idl)}
    # widl stores a custom text as written in the IDL, escapes included; the default is the real text.
    written = {n: t.encode("utf-8") for n, t in texts.items()}
    texts = {n: t.replace("\\t", "\t") for n, t in texts.items()}
    data = bytearray(open(tlb_in, "rb").read())
    i32 = lambda off: struct.unpack_from("<i", data, off)[0]
    if data[:4] != b"MSFT":
        fail("not an MSFT type library")
    ntypeinfos = i32(0x20)
    varflags = i32(0x14)
    segdir = 0x54 + (4 if varflags & 0x100 else 0) + 4 * ntypeinfos
    seg = [(i32(segdir + 16 * k), i32(segdir + 16 * k + 4)) for k in range(15)]
    cd_start, cd_len = seg[SEG_CUSTDATA]

    # Custom-data entries: placeholder slots (VT_BSTR, 4-byte marker) and the texts.
    slot_of = {}  # custom-data offset of a placeholder slot -> its text number (one slot per use)
    text_entry = {}
    off = 0
    while off + 6 <= cd_len:
        vt, val = struct.unpack_from("<Hi", data, cd_start + off)
        if vt == VT_BSTR and (val & 0xFFFF0000) == PLACEHOLDER_BASE and data[cd_start + off + 6:cd_start + off + 8] == b"WW":
            slot_of[off] = val & 0xFFFF
            off += 8
            continue
        if vt == VT_BSTR and 0 <= val <= cd_len - off - 6:
            raw = bytes(data[cd_start + off + 6:cd_start + off + 6 + val])
            for n in texts:
                if raw == written[n]:
                    text_entry[n] = (off, val)
            off += (val + 6 + 3) & ~3
            continue
        off += 4

    # Re-encode each text in place (code page 932 never needs more bytes than UTF-8 here).
    for n, (off, length) in text_entry.items():
        enc = texts[n].encode("cp932")
        if len(enc) > length:
            fail("text %r grows in code page 932" % texts[n])
        struct.pack_into("<i", data, cd_start + off + 2, len(enc))
        data[cd_start + off + 6:cd_start + off + 6 + length] = enc + b"W" * (length - len(enc))

    # Walk every function record and repoint defaults that name a placeholder slot.
    patched = set()
    typeinfo_tab = seg[0][0]
    for t in range(ntypeinfos):
        base = typeinfo_tab + i32(0x54 + (4 if varflags & 0x100 else 0) + 4 * t)
        memoffset = i32(base + 4)
        nfuncs = i32(base + 0x18) & 0xFFFF
        if nfuncs == 0 or memoffset < 0:
            continue
        rec = memoffset + 4
        for _ in range(nfuncs):
            reclen = i32(rec) & 0xFFFF
            fkccic = i32(rec + 0x10)
            nargs = struct.unpack_from("<h", data, rec + 0x14)[0]
            if fkccic & 0x1000:
                defaults = rec + reclen - nargs * 12 - nargs * 4
                for a in range(nargs):
                    value = i32(defaults + 4 * a)
                    n = slot_of.get(value)
                    if n is not None:
                        if n not in text_entry:
                            fail("no text for placeholder %d" % n)
                        struct.pack_into("<i", data, defaults + 4 * a, text_entry[n][0])
                        patched.add(value)
            rec += reclen
    missing = set(slot_of) - patched
    if missing:
        fail("placeholder slots left unpatched at custom-data offsets %s" % sorted(missing))

    # Member names written as ASCII stand-ins.
    nt_start, nt_len = seg[SEG_NAMETAB]
    off = 0
    while off < nt_len:
        length = data[nt_start + off + 8]
        name = bytes(data[nt_start + off + 12:nt_start + off + 12 + length])
        if name in NAME_STANDINS:
            real = NAME_STANDINS[name].encode("cp932")
            if len(real) != length:
                fail("stand-in length differs for %r" % name)
            data[nt_start + off + 12:nt_start + off + 12 + length] = real
        off += 12 + ((length + 3) & ~3)

    open(tlb_out, "wb").write(data)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        fail(__doc__)
    main(*sys.argv[1:])
