// The public face as a client sees it: every class creates by its ProgID, every member resolves
// by name to its DISPID, and the type information declares every member as the catalogue lists it.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"

using namespace kro;
using namespace kro::test;

namespace {

struct ExpectedParam {
    const wchar_t* name;
    const wchar_t* type;
    bool byRef;
    bool optional;
    const wchar_t* defaultText;
};

struct ExpectedMember {
    const wchar_t* cls;
    int position;
    DISPID dispid;
    INVOKEKIND kind;
    const wchar_t* name;
    const wchar_t* result;
    std::vector<ExpectedParam> params;
};

struct ExpectedClass {
    const wchar_t* name;
    const wchar_t* clsid;
    const wchar_t* iid;
    int major;
    int minor;
};

const ExpectedMember kMembers[] = {
#include "tests/client/catalogue_data.inc"
};

const ExpectedClass kClasses[] = {
#include "tests/client/catalogue_classes.inc"
};

std::string narrow(const std::wstring& w) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

GUID guid(const wchar_t* text) {
    GUID g{};
    ::CLSIDFromString(const_cast<LPOLESTR>(text), &g);
    return g;
}

ComPtr<ITypeLib> library() {
    ComPtr<ITypeLib> lib;
    EXPECT_EQ(::LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, lib.put()), S_OK);
    return lib;
}

// The vtable half of a class's dual interface.
ComPtr<ITypeInfo> interfaceInfo(ITypeLib* lib, const ExpectedClass& c) {
    ComPtr<ITypeInfo> ti, vt;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(guid(c.iid), ti.put()), S_OK);
    HREFTYPE ref;
    if (ti && SUCCEEDED(ti->GetRefTypeOfImplType(-1, &ref)) && SUCCEEDED(ti->GetRefTypeInfo(ref, vt.put()))) return vt;
    return ti;
}

std::wstring typeName(ITypeInfo* ti, const TYPEDESC& td) {
    switch (td.vt) {
    case VT_BSTR: return L"String";
    case VT_I4: return L"Long";
    case VT_I2: return L"Integer";
    case VT_BOOL: return L"Boolean";
    case VT_VARIANT: return L"Variant";
    case VT_DISPATCH: return L"Object";
    case VT_SAFEARRAY:
        switch (td.lptdesc->vt) {
        case VT_UI1: return L"Byte array";
        case VT_BSTR: return L"String array";
        case VT_VARIANT: return L"Variant array";
        default: return L"array?";
        }
    case VT_PTR: return typeName(ti, *td.lptdesc);
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> ref;
        Bstr name;
        if (SUCCEEDED(ti->GetRefTypeInfo(td.hreftype, ref.put()))) ref->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
        return std::wstring(name.view());
    }
    default: return L"?";
    }
}

// Catalogue type words that the type library carries as a plain 32-bit integer or an object.
std::wstring normalisedWord(const std::wstring& word) {
    if (word == L"FileAttributes" || word == L"MousePointer" || word == L"Color") return L"Long";
    if (word == L"Collection") return L"Object";
    if (word == L"Picture") return L"IPictureDisp";
    return word;
}

bool sameDefault(const VARIANT& actual, const std::wstring& expected) {
    Variant copy, asText;
    ::VariantCopy(&copy, const_cast<VARIANT*>(&actual));
    if (expected == L"a TAB character") return copy.vt == VT_BSTR && std::wstring(copy.bstrVal) == L"\t";
    if (expected.size() >= 2 && expected.front() == L'"') return copy.vt == VT_BSTR && std::wstring(copy.bstrVal) == expected.substr(1, expected.size() - 2);
    if (expected == L"True") return ::VariantChangeType(&asText, &copy, 0, VT_I4) == S_OK && asText.lVal == -1;
    if (expected == L"False") return ::VariantChangeType(&asText, &copy, 0, VT_I4) == S_OK && asText.lVal == 0;
    if (::VariantChangeType(&asText, &copy, 0, VT_I4) != S_OK) return false;
    return asText.lVal == std::stol(expected);
}

}  // namespace

TEST(Catalogue, LibraryIdentity) {
    auto lib = library();
    ASSERT_TRUE(lib);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, LIBID_kroProgramDll);
    EXPECT_EQ(attr->wMajorVerNum, 4);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(attr);
    Bstr name;
    lib->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), L"kroProgramDll");
}

TEST(Catalogue, EveryClassCreatesByProgIdWithItsIdentity) {
    auto lib = library();
    for (const auto& c : kClasses) {
        SCOPED_TRACE(narrow(c.name));
        CLSID clsid;
        ASSERT_EQ(::CLSIDFromProgID((std::wstring(L"kroProgramDll.") + c.name).c_str(), &clsid), S_OK);
        EXPECT_EQ(clsid, guid(c.clsid));
        auto object = create(c.name);
        ASSERT_TRUE(object);
        ComPtr<IUnknown> own;
        EXPECT_EQ(object->QueryInterface(guid(c.iid), own.putVoid()), S_OK);
        ComPtr<ISupportErrorInfo> sei;
        ASSERT_EQ(object->QueryInterface(IID_ISupportErrorInfo, sei.putVoid()), S_OK);
        EXPECT_EQ(sei->InterfaceSupportsErrorInfo(guid(c.iid)), S_OK);

        ComPtr<ITypeInfo> ti;
        ASSERT_EQ(object->GetTypeInfo(0, 0, ti.put()), S_OK);
        Bstr itfName;
        ti->GetDocumentation(MEMBERID_NIL, itfName.put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(itfName.view(), std::wstring(L"_") + c.name);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->wMajorVerNum, c.major);
        EXPECT_EQ(attr->wMinorVerNum, c.minor);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
        ti->ReleaseTypeAttr(attr);

        // The coclass is creatable and names this interface as its default.
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(guid(c.clsid), coclass.put()), S_OK);
        ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        EXPECT_EQ(attr->cImplTypes, 1);
        coclass->ReleaseTypeAttr(attr);
    }
}

TEST(Catalogue, EveryMemberNameResolvesToItsDispidInAnyLetterCase) {
    std::map<std::wstring, ComPtr<IDispatch>> objects;
    for (const auto& m : kMembers) {
        SCOPED_TRACE(narrow(std::wstring(m.cls) + L"." + m.name));
        auto& object = objects[m.cls];
        if (!object) object = create(m.cls);
        ASSERT_TRUE(object);
        std::wstring variants[] = {m.name, m.name, m.name};
        for (auto& ch : variants[1]) ch = static_cast<wchar_t>(::towupper(ch));
        for (auto& ch : variants[2]) ch = static_cast<wchar_t>(::towlower(ch));
        for (auto& name : variants) {
            LPOLESTR p = name.data();
            DISPID id = 0;
            EXPECT_EQ(object->GetIDsOfNames(IID_NULL, &p, 1, LOCALE_USER_DEFAULT, &id), S_OK);
            EXPECT_EQ(id, m.dispid);
        }
    }
    auto fs = create(L"FileSystemCls");
    LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(fs->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST(Catalogue, EveryMemberIsDeclaredAsListed) {
    auto lib = library();
    for (const auto& c : kClasses) {
        auto ti = interfaceInfo(lib.get(), c);
        ASSERT_TRUE(ti);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
        std::vector<const ExpectedMember*> expected;
        for (const auto& m : kMembers)
            if (std::wstring(m.cls) == c.name) expected.push_back(&m);
        ASSERT_EQ(attr->cFuncs, expected.size()) << narrow(c.name);
        ti->ReleaseTypeAttr(attr);
        for (size_t k = 0; k < expected.size(); ++k) {
            const ExpectedMember& m = *expected[k];
            SCOPED_TRACE(narrow(std::wstring(m.cls) + L"." + m.name));
            FUNCDESC* fd = nullptr;
            ASSERT_EQ(ti->GetFuncDesc(static_cast<UINT>(k), &fd), S_OK);
            EXPECT_EQ(fd->memid, m.dispid);
            EXPECT_EQ(fd->invkind, m.kind);
            // The first own member is the eighth vtable entry, after IUnknown and IDispatch.
            EXPECT_EQ(fd->oVft, static_cast<SHORT>((6 + m.position) * sizeof(void*)));
            BSTR names[20] = {};
            UINT got = 0;
            ti->GetNames(fd->memid, names, 20, &got);
            EXPECT_EQ(std::wstring(names[0]), m.name);
            bool hasRetval = fd->cParams > 0 && (fd->lprgelemdescParam[fd->cParams - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
            EXPECT_EQ(hasRetval, std::wstring(m.result) != L"none");
            if (hasRetval) {
                EXPECT_EQ(typeName(ti.get(), fd->lprgelemdescParam[fd->cParams - 1].tdesc), normalisedWord(m.result));
            }
            size_t declared = static_cast<size_t>(fd->cParams) - (hasRetval ? 1 : 0);
            ASSERT_EQ(declared, m.params.size());
            for (size_t i = 0; i < declared; ++i) {
                const ExpectedParam& p = m.params[i];
                const ELEMDESC& ed = fd->lprgelemdescParam[i];
                SCOPED_TRACE(narrow(p.name));
                // Property accessors share the getter's names, so only methods and getters are named here.
                if (m.kind != INVOKE_PROPERTYPUT && i + 1 < got) {
                    EXPECT_EQ(std::wstring(names[i + 1]), p.name);
                }
                bool byRef = ed.tdesc.vt == VT_PTR &&
                             !(ed.tdesc.lptdesc->vt == VT_USERDEFINED && std::wstring(p.type) == L"Picture");
                if (std::wstring(p.type) == L"Picture") byRef = ed.tdesc.vt == VT_PTR && ed.tdesc.lptdesc->vt == VT_PTR;
                EXPECT_EQ(byRef, p.byRef);
                EXPECT_EQ(typeName(ti.get(), ed.tdesc), normalisedWord(p.type));
                USHORT flags = ed.paramdesc.wParamFlags;
                EXPECT_EQ((flags & PARAMFLAG_FOPT) != 0, p.optional);
                EXPECT_EQ((flags & PARAMFLAG_FHASDEFAULT) != 0, p.defaultText != nullptr);
                if (p.defaultText && (flags & PARAMFLAG_FHASDEFAULT)) {
                    EXPECT_TRUE(sameDefault(ed.paramdesc.pparamdescex->varDefaultValue, p.defaultText)) << narrow(p.defaultText);
                }
            }
            for (UINT n = 0; n < got; ++n) ::SysFreeString(names[n]);
            ti->ReleaseFuncDesc(fd);
        }
    }
}

TEST(Catalogue, EnumerationsCarryTheirValues) {
    auto lib = library();
    struct Expect { const wchar_t* guid; const wchar_t* name; UINT count; std::vector<std::pair<const wchar_t*, LONG>> samples; };
    const Expect enums[] = {
        {L"{36063ECF-48AB-46B5-9ED2-8427CC885BDE}", L"utd_ApiKeyCodes", 92,
         {{L"Mouse_LeftButton", 1}, {L"Mouse_Cancel", 3}, {L"Keyboard_Enter", 13}, {L"Keyboard_Return", 13},
          {L"Keyboard_PageUp", 33}, {L"Keyboard_Down", 40}, {L"Keyboard_0", 48}, {L"Keyboard_Z", 90},
          {L"Keyboard_Numpad1", 97}, {L"Keyboard_Divide", 111}, {L"Keyboard_F14", 125}, {L"Keyboard_ScrollLock", 145}}},
        {L"{C1D0B6C2-89DC-4112-839F-F55D6D7FC754}", L"ENUM_FLAGS_FOLDER", 7,
         {{L"BIF_RETURNONLYFSDIRS", 1}, {L"BIF_BROWSEFORCOMPUTER", 4096}, {L"BIF_BROWSEINCLUDEFILES", 16384}}},
        {L"{E6164B8B-8927-4587-972A-8CC11161E7A4}", L"FolderPathContents", 34,
         {{L"CSIDL_WINDOWS", 36}, {L"CSIDL_System", 37}, {L"CSIDL_FLAG_CREATE", 32768}, {L"CSIDL_DESKTOP", 0}, {L"CSIDL_HISTORY", 34}}},
        {L"{D244A3AE-9BF6-40A9-AFBB-D79584803B13}", L"utd_ShotdownType", 5, {{L"EWX_LOGOFF", 0}, {L"EWX_POWEROFF", 8}}},
        {L"{7AE4E0E0-DCF8-4BDE-9071-E8739169D81D}", L"utd_CallbackMessage", 7, {{L"WM_MOUSEMOVE", 512}, {L"WM_RBUTTONDBLCLK", 518}}},
        {L"{B56D08E4-E543-432A-8E3A-6714AA8B5C9F}", L"RegistryRoots", 7,
         {{L"HKEY_CLASSES_ROOT", -2147483647 - 1}, {L"HKEY_CURRENT_USER", -2147483647}, {L"HKEY_DYN_DATA", -2147483642}}},
    };
    for (const auto& e : enums) {
        SCOPED_TRACE(narrow(e.name));
        ComPtr<ITypeInfo> ti;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(guid(e.guid), ti.put()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_ENUM);
        EXPECT_EQ(attr->cVars, e.count);
        Bstr name;
        ti->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(name.view(), e.name);
        std::map<std::wstring, LONG> values;
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* vd = nullptr;
            ASSERT_EQ(ti->GetVarDesc(i, &vd), S_OK);
            Bstr varName;
            ti->GetDocumentation(vd->memid, varName.put(), nullptr, nullptr, nullptr);
            Variant value;
            ::VariantChangeType(&value, vd->lpvarValue, 0, VT_I4);
            values[std::wstring(varName.view())] = value.lVal;
            ti->ReleaseVarDesc(vd);
        }
        ti->ReleaseTypeAttr(attr);
        for (const auto& [n, v] : e.samples) {
            ASSERT_TRUE(values.count(n)) << narrow(n);
            EXPECT_EQ(values[n], v) << narrow(n);
        }
    }
}
