// The late-bound calling path: argument conversion, by-reference write-back, defaults, the
// standard dispatch errors, the error channel on both paths, and a bounded random-argument run.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"

using namespace kro;
using namespace kro::test;

namespace {

std::wstring textOf(const VARIANT& v) {
    Variant copy, t;
    ::VariantCopy(&copy, const_cast<VARIANT*>(&v));
    if (::VariantChangeType(&t, &copy, 0, VT_BSTR) != S_OK) return L"<no text>";
    return std::wstring(t.bstrVal, ::SysStringLen(t.bstrVal));
}

}  // namespace

TEST(Dispatcher, ByReferenceVariableIsReadAndKept) {
    auto fs = create(L"FileSystemCls");
    Variant path;
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(L"C:\\dir\\file.txt");
    VARIANT ref = byRef(&path);
    CallResult r;
    callByName(fs.get(), L"GetFileName", {&ref}, r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.value.vt, VT_BSTR);
    EXPECT_EQ(textOf(r.value), L"file.txt");
    EXPECT_EQ(path.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(path.bstrVal), L"C:\\dir\\file.txt");
}

TEST(Dispatcher, ByReferenceVariableOfAnotherTypeTakesTheDeclaredType) {
    auto fs = create(L"FileSystemCls");
    Variant number;
    number.vt = VT_I4;
    number.lVal = 123;
    VARIANT ref = byRef(&number);
    CallResult r;
    callByName(fs.get(), L"GetFileName", {&ref}, r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(textOf(r.value), L"123");
    // As in VB, a variable passed by reference to a String parameter comes back as a String.
    EXPECT_EQ(number.vt, VT_BSTR);
    EXPECT_EQ(textOf(number), L"123");
}

TEST(Dispatcher, TypedByReferenceArgumentsConvertBothWays) {
    auto fs = create(L"FileSystemCls");
    LONG owner = 0;
    VARIANT hwnd;
    hwnd.vt = VT_BYREF | VT_I4;
    hwnd.plVal = &owner;
    Variant path = {};
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(L"$WINDIR$\\x");
    CallResult r;
    callByName(fs.get(), L"FormatStringPath", {&path, &hwnd}, r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_NE(textOf(r.value).find(L"\\x"), std::wstring::npos);
    EXPECT_EQ(owner, 0);
}

TEST(Dispatcher, StandardErrorsCarryTheArgumentIndex) {
    auto fs = create(L"FileSystemCls");
    {
        CallResult r;
        callByName(fs.get(), L"GetFileName", {}, r);
        EXPECT_EQ(r.hr, DISP_E_PARAMNOTOPTIONAL);
    }
    {
        VARIANT a = text(L"a"), b = text(L"b");
        CallResult r;
        callByName(fs.get(), L"GetFileName", {&a, &b}, r);
        EXPECT_EQ(r.hr, DISP_E_BADPARAMCOUNT);
        ::VariantClear(&a);
        ::VariantClear(&b);
    }
    {
        VARIANT folder = text(L"not a number"), owner = i4(0);
        CallResult r;
        callByName(fs.get(), L"GetPrivatePath", {&folder, &owner}, r);
        EXPECT_EQ(r.hr, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(r.argErr, 1u);  // rgvarg holds the arguments last first
        ::VariantClear(&folder);
    }
    {
        VARIANT nul;
        ::VariantInit(&nul);
        nul.vt = VT_NULL;
        CallResult r;
        callByName(fs.get(), L"GetFileName", {&nul}, r);
        EXPECT_EQ(r.hr, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(r.argErr, 0u);
    }
    {
        VARIANT path = text(L"x"), owner = r8(1e20);
        CallResult r;
        callByName(fs.get(), L"FormatStringPath", {&path, &owner}, r);
        EXPECT_EQ(r.hr, DISP_E_OVERFLOW);
        EXPECT_EQ(r.argErr, 0u);
        ::VariantClear(&path);
    }
    {
        CallResult r;
        DISPPARAMS none{};
        Variant out;
        EXPECT_EQ(fs->Invoke(0x12345, IID_NULL, 0, DISPATCH_METHOD, &none, &out, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(fs->Invoke(0x6003000E, IID_IDispatch, 0, DISPATCH_METHOD, &none, &out, nullptr, nullptr), DISP_E_UNKNOWNINTERFACE);
    }
}

TEST(Dispatcher, NamedArgumentsFollowTheParameterNames) {
    auto fs = create(L"FileSystemCls");
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"GetFileName"), const_cast<LPOLESTR>(L"PATH")};
    DISPID ids[2] = {};
    ASSERT_EQ(fs->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 0x6003000E);
    EXPECT_EQ(ids[1], 0);
    VARIANT arg = text(L"a\\b.txt");
    DISPID named = 0;
    DISPPARAMS params{&arg, &named, 1, 1};
    Variant result;
    EXPECT_EQ(fs->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(textOf(result), L"b.txt");
    named = 5;  // no such parameter
    UINT argErr = 99;
    EXPECT_EQ(fs->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, &argErr), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argErr, 0u);
    ::VariantClear(&arg);
}

TEST(Dispatcher, ByteArrayParameterTakesAVariantArrayElementByElement) {
    auto fs = create(L"FileSystemCls");
    SAFEARRAY* values = ::SafeArrayCreateVector(VT_VARIANT, 0, 2);
    LONG i = 0;
    VARIANT element = i4(300);
    ::SafeArrayPutElement(values, &i, &element);
    VARIANT array;
    array.vt = VT_ARRAY | VT_VARIANT;
    array.parray = values;
    VARIANT name = text(L"x");
    CallResult r;
    callByName(fs.get(), L"WriteBinaryFile_New", {&array, &name}, r);
    EXPECT_EQ(r.hr, DISP_E_OVERFLOW);  // 300 is no byte
    EXPECT_EQ(r.argErr, 1u);
    ::VariantClear(&array);
    ::VariantClear(&name);
}

TEST(ErrorChannel, VtableCallerGetsTheNumberAndErrorInfo) {
    auto object = create(L"FileSystemCls");
    ComPtr<_FileSystemCls> fs = object.as<_FileSystemCls>(IID__FileSystemCls);
    ASSERT_TRUE(fs);
    FolderPathContents folder = static_cast<FolderPathContents>(36);
    VARIANT owner = text(L"abc");
    VARIANT result;
    ::VariantInit(&result);
    HRESULT hr = fs->GetPrivatePath(&folder, &owner, &result);
    EXPECT_EQ(hr, static_cast<HRESULT>(0x800A000D));  // FACILITY_CONTROL, runtime error 13
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    Bstr description, source;
    info->GetDescription(description.put());
    info->GetSource(source.put());
    EXPECT_EQ(description.view(), L"Type mismatch");
    EXPECT_EQ(source.view(), L"kroProgramDll");
    ::VariantClear(&owner);
}

TEST(ErrorChannel, DispatchCallerGetsAnException) {
    auto fs = create(L"FileSystemCls");
    VARIANT folder = i4(36), owner = text(L"abc");
    CallResult r;
    callByName(fs.get(), L"GetPrivatePath", {&folder, &owner}, r);
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.excep.scode, static_cast<SCODE>(0x800A000D));
    EXPECT_EQ(std::wstring(r.excep.bstrDescription), L"Type mismatch");
    EXPECT_EQ(std::wstring(r.excep.bstrSource), L"kroProgramDll");
    ::VariantClear(&owner);
}

// A deliberately hostile caller: random members, flags and argument lists. Only members
// without side effects outside this process take part. Nothing may crash, and memory use must
// settle (a second round of the same size may not grow the process).
TEST(DispatcherFuzz, RandomArgumentsNeverCrashOrLeak) {
    struct Target { const wchar_t* cls; std::vector<const wchar_t*> members; };
    const std::vector<Target> targets = {
        {L"FileSystemCls", {L"GetFileName", L"GetFileExtension", L"GetPath", L"GetPrivatePath", L"FormatStringPath"}},
        {L"DebugCls", {L"Enter", L"DebugPrint"}},
    };
    std::mt19937 rng(12345);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    std::vector<std::pair<ComPtr<IDispatch>, std::vector<DISPID>>> objects;
    for (const auto& t : targets) {
        auto object = create(t.cls);
        std::vector<DISPID> ids;
        for (const wchar_t* m : t.members) {
            LPOLESTR name = const_cast<LPOLESTR>(m);
            DISPID id = DISPID_UNKNOWN;
            object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
            ids.push_back(id);
        }
        ids.push_back(0x7FFF);  // unknown
        objects.push_back({object, ids});
    }
    auto randomVariant = [&](VARIANT& v, std::vector<VARIANT>& holders) {
        ::VariantInit(&v);
        switch (pick(12)) {
        case 0: break;
        case 1: v.vt = VT_NULL; break;
        case 2: v.vt = VT_I2; v.iVal = static_cast<SHORT>(rng()); break;
        case 3: v.vt = VT_I4; v.lVal = static_cast<LONG>(rng()); break;
        case 4: v.vt = VT_R8; v.dblVal = static_cast<double>(rng()) * 1e10; break;
        case 5: { std::wstring s(pick(300), L'x'); for (auto& c : s) c = static_cast<wchar_t>(L'!' + pick(90)); v = text(s); break; }
        case 6: v.vt = VT_BOOL; v.boolVal = VARIANT_TRUE; break;
        case 7: v.vt = VT_DISPATCH; v.pdispVal = nullptr; break;
        case 8: v.vt = VT_ERROR; v.scode = DISP_E_PARAMNOTFOUND; break;
        case 9: {
            SAFEARRAYBOUND b[2] = {{static_cast<ULONG>(pick(4)), static_cast<LONG>(pick(3))}, {2, 0}};
            v.vt = VT_ARRAY | (pick(2) ? VT_UI1 : VT_VARIANT);
            v.parray = ::SafeArrayCreate(v.vt & ~VT_ARRAY, pick(2) + 1, b);
            break;
        }
        case 10: {
            holders.emplace_back();
            VARIANT& inner = holders.back();
            ::VariantInit(&inner);
            if (pick(2)) inner = text(L"by ref"); else { inner.vt = VT_I4; inner.lVal = 7; }
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = nullptr;  // set after holders stop moving
            break;
        }
        default: v.vt = VT_UNKNOWN; v.punkVal = nullptr; break;
        }
    };
    auto round = [&](int calls) {
        for (int n = 0; n < calls; ++n) {
            auto& [object, ids] = objects[pick(objects.size())];
            std::vector<VARIANT> args(pick(6));
            std::vector<VARIANT> holders;
            holders.reserve(args.size());
            for (auto& a : args) randomVariant(a, holders);
            size_t h = 0;
            for (auto& a : args)
                if (a.vt == (VT_BYREF | VT_VARIANT)) a.pvarVal = &holders[h++];
            DISPID named[2] = {static_cast<DISPID>(pick(3)), DISPID_PROPERTYPUT};
            UINT cNamed = args.empty() ? 0 : static_cast<UINT>(pick(std::min<size_t>(args.size(), 2) + 1));
            DISPPARAMS params{args.empty() ? nullptr : args.data(), cNamed ? named : nullptr, static_cast<UINT>(args.size()), cNamed};
            WORD flags = static_cast<WORD>(1u << pick(4));
            Variant result;
            EXCEPINFO ei{};
            UINT argErr = 0;
            object->Invoke(ids[pick(ids.size())], IID_NULL, 0, flags, &params, pick(2) ? &result : nullptr, pick(2) ? &ei : nullptr, &argErr);
            ::SysFreeString(ei.bstrSource);
            ::SysFreeString(ei.bstrDescription);
            ::SysFreeString(ei.bstrHelpFile);
            for (auto& a : args) if (a.vt != (VT_BYREF | VT_VARIANT)) ::VariantClear(&a);
            for (auto& x : holders) ::VariantClear(&x);
        }
    };
    round(3000);  // warm-up: caches, type information, heap growth
    SIZE_T before = privateBytes();
    round(20000);
    SIZE_T after = privateBytes();
    EXPECT_LT(after, before + 4 * 1024 * 1024) << "private bytes grew from " << before << " to " << after;
}
