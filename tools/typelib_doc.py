#!/usr/bin/env python3
"""Reads the built type library (MSFT format) and writes what is derived from it.

  Either command may end with --imports <folder>: where the imported stdole2.tlb lies.

  typelib_doc.py reference <tlb> <out.md>
      The member reference: every class with its ProgID, every member in table order with its
      parameters, result and description, and the enumerations. Fails, writing nothing, when a
      class, member or enumeration has no description (helpstring) in the IDL.
  typelib_doc.py manifest <tlb> <out.manifest> <module file name> <assembly version> <arch>
      The side-by-side assembly manifest for use without registration (arch: x64 or x86).

Outputs are written only when their content changes, so that both architectures' builds may
write the same file.
"""
import os
import struct
import sys
import tempfile
import uuid
from xml.sax.saxutils import quoteattr

TKIND = {0: "enum", 1: "record", 2: "module", 3: "interface", 4: "dispatch", 5: "coclass", 6: "alias", 7: "union"}
INVOKE_FUNC, INVOKE_GET, INVOKE_PUT, INVOKE_PUTREF = 1, 2, 4, 8
PARAM_IN, PARAM_OUT, PARAM_RETVAL, PARAM_OPT, PARAM_HASDEFAULT = 1, 2, 8, 0x10, 0x20
VT_I2, VT_I4, VT_BSTR, VT_DISPATCH, VT_BOOL, VT_VARIANT, VT_UI1 = 2, 3, 8, 9, 11, 12, 17
VT_HRESULT, VT_PTR, VT_SAFEARRAY, VT_USERDEFINED = 25, 26, 27, 29
BASIC_WORDS = {VT_I2: "Integer", VT_I4: "Long", VT_BSTR: "String", VT_DISPATCH: "Object", VT_BOOL: "Boolean",
               VT_VARIANT: "Variant", VT_UI1: "Byte", 4: "Single", 5: "Double", 7: "Date", 13: "Unknown",
               VT_HRESULT: "HRESULT", 24: "void", 22: "Long", 23: "Long", 19: "Long"}
IMPORTED_WORDS = {"IDispatch": "Object", "IPictureDisp": "Picture", "Picture": "Picture"}
IMPINFO_OFFSET_IS_GUID = 0x10000
SEG_TYPEINFO, SEG_IMPINFO, SEG_IMPFILES, SEG_REFTAB, SEG_GUIDTAB, SEG_NAMETAB, SEG_STRINGTAB, SEG_TYPDESC, SEG_CUSTDATA = 0, 1, 2, 3, 5, 7, 8, 9, 11
TYPEINFO_SIZE = 0x64
PROXY_STUB_AUTOMATION = "{00020424-0000-0000-C000-000000000046}"
IID_IDISPATCH = "{00020400-0000-0000-C000-000000000046}"


def fail(msg):
    sys.exit("typelib_doc: " + msg)


def embedded_typelib(data):
    """The type library itself, also when it is embedded in a module (as Wine's stdole2.tlb is)."""
    start = data.find(b"MSFT\x02\x00\x01\x00")
    return data[start:] if start >= 0 else data


class TypeLib:
    def __init__(self, data, import_dir=None):
        self.import_dir = import_dir
        self.imports = {}
        if data[:4] != b"MSFT":
            fail("not an MSFT type library")
        self.d = data
        self.ntypes = self.i32(0x20)
        varflags = self.i32(0x14)
        self.typeinfo_offsets = 0x54 + (4 if varflags & 0x100 else 0)
        segdir = self.typeinfo_offsets + 4 * self.ntypes
        self.seg = [self.i32(segdir + 16 * k) for k in range(15)]
        version = self.i32(0x18)
        self.version = "%d.%d" % (version & 0xFFFF, version >> 16)
        self.guid = self.guid_at(self.i32(0x08))
        self.name = self.name_at(self.i32(0x38))
        self.types = [self.read_type(i) for i in range(self.ntypes)]

    def i32(self, off):
        return struct.unpack_from("<i", self.d, off)[0]

    def i16(self, off):
        return struct.unpack_from("<h", self.d, off)[0]

    def guid_at(self, off):
        if off < 0:
            return None
        return "{%s}" % str(uuid.UUID(bytes_le=bytes(self.d[self.seg[SEG_GUIDTAB] + off:][:16]))).upper()

    def name_at(self, off):
        base = self.seg[SEG_NAMETAB] + off
        length = self.d[base + 8]
        return bytes(self.d[base + 12:base + 12 + length]).decode("cp932")

    def string_at(self, off):
        if off < 0:
            return ""
        base = self.seg[SEG_STRINGTAB] + off
        length = struct.unpack_from("<H", self.d, base)[0]
        return bytes(self.d[base + 2:base + 2 + length]).decode("cp932")

    def value_at(self, off):
        """A constant: packed into the offset itself when negative, else a custom-data entry."""
        if off < 0:
            return (off & 0x7C000000) >> 26, off & 0x3FFFFFF
        base = self.seg[SEG_CUSTDATA] + off
        vt = struct.unpack_from("<H", self.d, base)[0]
        if vt == VT_BSTR:
            length = self.i32(base + 2)
            return vt, bytes(self.d[base + 6:base + 6 + length]).decode("cp932")
        if vt in (VT_I2, VT_BOOL):
            return vt, self.i16(base + 2)
        if vt == VT_UI1:
            return vt, self.d[base + 2]
        return vt, self.i32(base + 2)

    def type_name(self, ref):
        if ref & 3 == 0:
            return self.name_at(self.i32(self.seg[SEG_TYPEINFO] + ref + 0x34))
        # A type of another library (stdole2.tlb): named by GUID or by its index there.
        imp = self.seg[SEG_IMPINFO] + (ref & ~3)
        flags, impfile, target = self.i32(imp), self.i32(imp + 4), self.i32(imp + 8)
        base = self.seg[SEG_IMPFILES] + impfile
        file_name = bytes(self.d[base + 14:base + 14 + (struct.unpack_from("<H", self.d, base + 12)[0] >> 2)]).decode("ascii")
        if file_name not in self.imports:
            path = os.path.join(self.import_dir or "", file_name)
            self.imports[file_name] = TypeLib(embedded_typelib(open(path, "rb").read())) if self.import_dir and os.path.exists(path) else None
        other = self.imports[file_name]
        if other is None:
            fail("cannot read %s to name its types (give its folder with --imports)" % file_name)
        if flags & IMPINFO_OFFSET_IS_GUID:
            guid = self.guid_at(target)
            name = next(t["name"] for t in other.types if t["guid"] == guid)
        else:
            name = other.types[target]["name"]
        return IMPORTED_WORDS.get(name, name)

    def typedesc(self, datatype):
        """(vt, element vt or None, user type name or None) of a data type word."""
        if datatype < 0:
            return datatype & 0xFFF, None, None
        base = self.seg[SEG_TYPDESC] + datatype
        vt = struct.unpack_from("<H", self.d, base)[0] & 0xFFF
        if vt in (VT_PTR, VT_SAFEARRAY):
            return vt, self.typedesc(self.i32(base + 4)), None
        if vt == VT_USERDEFINED:
            return vt, None, self.type_name(self.i32(base + 4))
        return vt, None, None

    def read_type(self, index):
        base = self.seg[SEG_TYPEINFO] + self.i32(self.typeinfo_offsets + 4 * index)
        t = {"kind": TKIND.get(self.i32(base) & 0xF, "?"), "guid": self.guid_at(self.i32(base + 0x2C)),
             "flags": self.i32(base + 0x30), "name": self.name_at(self.i32(base + 0x34)),
             "version": "%d.%d" % (self.i32(base + 0x38) & 0xFFFF, self.i32(base + 0x38) >> 16),
             "doc": self.string_at(self.i32(base + 0x3C)), "funcs": [], "vars": [], "impl": []}
        counts = self.i32(base + 0x18)
        nfuncs, nvars = counts & 0xFFFF, counts >> 16
        memoffset = self.i32(base + 4)
        if nfuncs + nvars and memoffset >= 0:
            infolen = self.i32(memoffset)
            ids = memoffset + 4 + infolen
            names = ids + 4 * (nfuncs + nvars)
            rec = memoffset + 4
            for k in range(nfuncs + nvars):
                reclen = self.i32(rec) & 0xFFFF
                member = {"memid": self.i32(ids + 4 * k) & 0xFFFFFFFF, "name": self.name_at(self.i32(names + 4 * k))}
                if k < nfuncs:
                    member.update(self.read_func(rec, reclen))
                    t["funcs"].append(member)
                else:
                    member["value"] = self.value_at(self.i32(rec + 0x10))[1]
                    member["doc"] = self.string_at(self.i32(rec + 0x18)) if reclen >= 0x1C else ""
                    t["vars"].append(member)
                rec += reclen
        if t["kind"] == "coclass":
            ref = self.i32(base + 0x54)
            while ref >= 0:
                entry = self.seg[SEG_REFTAB] + ref
                t["impl"].append((self.type_name(self.i32(entry)), self.i32(entry + 4)))
                ref = self.i32(entry + 12)
        return t

    def read_func(self, rec, reclen):
        fkccic = self.i32(rec + 0x10)
        nargs = self.i16(rec + 0x14)
        params_at = rec + reclen - 12 * nargs
        defaults_at = params_at - 4 * nargs if fkccic & 0x1000 else None
        optional_len = (defaults_at or params_at) - (rec + 0x18)
        func = {"invkind": (fkccic >> 3) & 0xF, "result": self.typedesc(self.i32(rec + 4)),
                "doc": self.string_at(self.i32(rec + 0x1C)) if optional_len >= 8 else "", "params": []}
        for a in range(nargs):
            p = params_at + 12 * a
            flags = self.i32(p + 8)
            name_offset = self.i32(p + 4)
            # The type library keeps no name for a property's assigned value (the last parameter of a let).
            name = self.name_at(name_offset) if name_offset >= 0 else "value"
            param = {"type": self.typedesc(self.i32(p)), "name": name, "flags": flags, "default": None}
            if defaults_at is not None and flags & PARAM_HASDEFAULT:
                param["default"] = self.value_at(self.i32(defaults_at + 4 * a))[1]
            func["params"].append(param)
        return func


def word(td):
    """The type word a client of any language recognises: String, Long, Byte array, an enumeration..."""
    vt, inner, user = td
    if vt == VT_PTR:
        return word(inner)
    if vt == VT_SAFEARRAY:
        return word(inner) + " array"
    if vt == VT_USERDEFINED:
        return user
    return BASIC_WORDS.get(vt, "VT %d" % vt)


def is_by_ref(param):
    # Objects are pointers already (VT_DISPATCH, a user-defined interface): one more level is by ref.
    return param["type"][0] == VT_PTR


def default_text(param, enums):
    value = param["default"]
    kind = word(param["type"])
    if isinstance(value, str):
        if value == "\t":
            return "a TAB character (vbTab)"
        return '"%s"' % value
    if kind == "Boolean":
        return "True" if value else "False"
    names = [v["name"] for v in enums.get(kind, []) if v["value"] == value]
    return "%d (%s)" % (value, names[0]) if names else str(value)


def describe_params(func, enums):
    parts = []
    for p in func["params"]:
        if p["flags"] & PARAM_RETVAL:
            continue
        text = "`%s` %s, %s" % (p["name"], word(p["type"]), "by ref" if is_by_ref(p) else "by value")
        if p["flags"] & PARAM_OPT:
            text += ", optional"
            if p["default"] is not None:
                text += " = " + default_text(p, enums)
        parts.append(text)
    return "; ".join(parts) or "none"


def result_word(func):
    for p in func["params"]:
        if p["flags"] & PARAM_RETVAL:
            return word(p["type"])
    return "none"


def member_kind(func):
    return {INVOKE_GET: "get ", INVOKE_PUT: "let ", INVOKE_PUTREF: "set "}.get(func["invkind"], "")


def cell(text):
    return text.replace("|", "\\|")


def reference(lib):
    by_name = {t["name"]: t for t in lib.types}
    enums = {t["name"]: t["vars"] for t in lib.types if t["kind"] == "enum"}
    classes = [t for t in lib.types if t["kind"] == "coclass"]
    missing = []
    for t in lib.types:
        if t["kind"] in ("coclass", "enum") and not t["doc"]:
            missing.append(t["name"])
    out = ["# kroProgramDll reference", "",
           "Generated by the build from the type library `%s` %s, LIBID %s (tools/typelib_doc.py);"
           % (lib.name, lib.version, lib.guid),
           "do not edit by hand: the descriptions are the helpstrings of `idl/kroProgramDll.idl`.", "",
           "Parameters are passed by reference (ByRef) unless marked by value; an omitted optional parameter",
           "takes the default shown, or the type's zero value (empty String, 0, False, Nothing) when none is shown.",
           "Object parameters take any object with an `Add` method where a collection is expected.", "",
           "## Classes", "", "| Class | ProgID | Description |", "|---|---|---|"]
    for c in classes:
        out.append("| [`%s`](#%s) | `%s.%s` | %s |" % (c["name"], c["name"].lower(), lib.name, c["name"], cell(c["doc"])))
    for c in classes:
        iface_name, _ = c["impl"][0]
        iface = by_name[iface_name]
        out += ["", "## %s" % c["name"], "", c["doc"], "",
                "ProgID `%s.%s`, CLSID `%s`; default interface `%s` (dual, IID `%s`, version %s)."
                % (lib.name, c["name"], c["guid"], iface_name, iface["guid"], iface["version"]), "",
                "| # | DISPID | Member | Parameters | Result | Description |", "|---|---|---|---|---|---|"]
        for n, f in enumerate(iface["funcs"], 1):
            if not f["doc"]:
                missing.append("%s.%s" % (c["name"], f["name"]))
            out.append("| %d | 0x%08X | %s`%s` | %s | %s | %s |" % (
                n, f["memid"], member_kind(f), f["name"], cell(describe_params(f, enums)), result_word(f), cell(f["doc"])))
    out += ["", "## Enumerations"]
    for t in lib.types:
        if t["kind"] != "enum":
            continue
        out += ["", "### %s" % t["name"], "", t["doc"], "", "| Name | Value |", "|---|---|"]
        for v in t["vars"]:
            value = v["value"]
            shown = "0x%08X (%d)" % (value & 0xFFFFFFFF, value) if value < 0 else str(value)
            out.append("| `%s` | %s |" % (v["name"], shown))
    if missing:
        fail("no description (helpstring) in idl/kroProgramDll.idl for: " + ", ".join(missing))
    return "\n".join(out) + "\n"


def manifest(lib, module, version, arch):
    classes = [t for t in lib.types if t["kind"] == "coclass"]
    by_name = {t["name"]: t for t in lib.types}
    major, minor = lib.version.split(".")
    out = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
           '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
           '  <assemblyIdentity type="win32" name="%s" version="%s" processorArchitecture="%s"/>'
           % (lib.name, version, {"x64": "amd64", "x86": "x86"}[arch]),
           '  <file name=%s>' % quoteattr(module),
           '    <typelib tlbid="%s" version="%s.%s" helpdir=""/>' % (lib.guid, major, minor)]
    for c in classes:
        out.append('    <comClass clsid="%s" progid="%s.%s" threadingModel="Apartment" tlbid="%s" description=%s/>'
                   % (c["guid"], lib.name, c["name"], lib.guid, quoteattr(c["doc"])))
    out.append('  </file>')
    for c in classes:
        iface = by_name[c["impl"][0][0]]
        out.append('  <comInterfaceExternalProxyStub name="%s" iid="%s" proxyStubClsid32="%s" baseInterface="%s" tlbid="%s"/>'
                   % (iface["name"], iface["guid"], PROXY_STUB_AUTOMATION, IID_IDISPATCH, lib.guid))
    out.append('</assembly>')
    return "\r\n".join(out) + "\r\n"


def write_if_changed(path, text, newline):
    data = text.encode("utf-8")
    if os.path.exists(path) and open(path, "rb").read() == data:
        return
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    fd, tmp = tempfile.mkstemp(dir=os.path.dirname(os.path.abspath(path)), prefix=".typelib_doc.")
    with os.fdopen(fd, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    import_dir = None
    if len(argv) > 2 and argv[-2] == "--imports":
        import_dir, argv = argv[-1], argv[:-2]
    if len(argv) >= 3 and argv[0] == "reference" and len(argv) == 3:
        write_if_changed(argv[2], reference(TypeLib(open(argv[1], "rb").read(), import_dir)), "\n")
    elif len(argv) == 6 and argv[0] == "manifest":
        write_if_changed(argv[2], manifest(TypeLib(open(argv[1], "rb").read(), import_dir), argv[3], argv[4], argv[5]), "\r\n")
    else:
        fail(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
