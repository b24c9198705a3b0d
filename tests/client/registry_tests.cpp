// RegistryCls as a client sees it: through the vtable and through IDispatch, under a test key
// HKEY_CURRENT_USER\Software\<test name> removed afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "kroProgramDll.h"

namespace {

constexpr RegistryRoots HKCU = kro_HKEY_CURRENT_USER;

struct B {  // an owned BSTR usable as an [in, out] argument
    BSTR b;
    explicit B(const std::wstring& s) : b(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    B() : b(nullptr) {}
    ~B() { ::SysFreeString(b); }
    B(const B&) = delete;
    std::wstring str() const { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); }
};

SAFEARRAY* byteArray(const std::vector<unsigned char>& bytes, LONG lower = 0) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lower};
    SAFEARRAY* a = ::SafeArrayCreate(VT_UI1, 1, &bound);
    if (!bytes.empty()) memcpy(a->pvData, bytes.data(), bytes.size());
    return a;
}

std::vector<unsigned char> bytesOf(SAFEARRAY* a) {
    if (!a) return {};
    auto* p = static_cast<unsigned char*>(a->pvData);
    return std::vector<unsigned char>(p, p + a->rgsabound[0].cElements);
}

std::vector<std::wstring> stringsOf(SAFEARRAY* a) {
    std::vector<std::wstring> out;
    if (!a) return out;
    LONG lo = 0, hi = -1;
    ::SafeArrayGetLBound(a, 1, &lo);
    ::SafeArrayGetUBound(a, 1, &hi);
    EXPECT_EQ(lo, 0);
    VARTYPE vt = 0;
    ::SafeArrayGetVartype(a, &vt);
    for (LONG i = lo; i <= hi; ++i) {
        if (vt == VT_BSTR) {
            BSTR b = static_cast<BSTR*>(a->pvData)[i - lo];
            out.emplace_back(b ? b : L"", b ? ::SysStringLen(b) : 0);
        } else {
            VARIANT& v = static_cast<VARIANT*>(a->pvData)[i - lo];
            EXPECT_EQ(v.vt, VT_BSTR);
            out.emplace_back(v.bstrVal, ::SysStringLen(v.bstrVal));
        }
    }
    return out;
}

// The automation error number a failed member reports (Err.Number in a script).
long errorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr; }

// Calls a member by name through IDispatch; arguments are given in reading order.
HRESULT invoke(IDispatch* d, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* ei = nullptr) {
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO local{};
    UINT argErr = 0;
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, ei ? ei : &local, &argErr);
    if (!ei) {
        ::SysFreeString(local.bstrSource);
        ::SysFreeString(local.bstrDescription);
        ::SysFreeString(local.bstrHelpFile);
    }
    return hr;
}

VARIANT vI4(LONG v) { VARIANT x; ::VariantInit(&x); x.vt = VT_I4; x.lVal = v; return x; }
VARIANT vStr(BSTR b) { VARIANT x; ::VariantInit(&x); x.vt = VT_BSTR; x.bstrVal = b; return x; }  // borrowed
VARIANT vRef(VARIANT* target) { VARIANT x; ::VariantInit(&x); x.vt = VT_BYREF | VT_VARIANT; x.pvarVal = target; return x; }

class RegistryClient : public ::testing::Test {
protected:
    void SetUp() override {
        CLSID clsid;
        ASSERT_EQ(::CLSIDFromProgID(L"kroProgramDll.RegistryCls", &clsid), S_OK);
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_RegistryCls),
                                     reinterpret_cast<void**>(&reg)), S_OK);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("kro_") + info->name();
        base = L"Software\\" + std::wstring(name.begin(), name.end());
        removeTree();
    }
    void TearDown() override {
        removeTree();
        if (reg) reg->Release();
    }
    void removeTree() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, base.c_str());
    }
    bool keyExists(const std::wstring& path) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        ::RegCloseKey(k);
        return true;
    }
    size_t subkeyCount(const std::wstring& path) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return 0;
        DWORD n = 0;
        ::RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(k);
        return n;
    }
    LONG setText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
        RegistryRoots root = HKCU;
        B k(key), n(name), t(text);
        LONG status = -1;
        EXPECT_EQ(reg->SetRegValue(&root, &k.b, &n.b, t.b, &status), S_OK);
        return status;
    }
    LONG getText(const std::wstring& key, const std::wstring& name, std::wstring& text) {
        RegistryRoots root = HKCU;
        B k(key), n(name), t(L"previous");
        LONG status = -1;
        EXPECT_EQ(reg->GetRegValue(&root, &k.b, &n.b, &t.b, &status), S_OK);
        text = t.str();
        return status;
    }
    LONG create(const std::wstring& key) {
        RegistryRoots root = HKCU;
        B k(key);
        LONG status = -1;
        EXPECT_EQ(reg->CreateRegKey(&root, &k.b, &status), S_OK);
        return status;
    }
    std::vector<std::wstring> list(const std::wstring& key) {
        B k(key);
        SAFEARRAY* a = nullptr;
        EXPECT_EQ(reg->GetEnumRegistryKeys(HKCU, k.b, &a), S_OK);
        auto names = stringsOf(a);
        if (a) ::SafeArrayDestroy(a);
        return names;
    }

    _RegistryCls* reg = nullptr;
    std::wstring base;
};

}  // namespace

TEST_F(RegistryClient, EveryKeyOperationGives1010ForAnEmptyPathAndChangesNothing) {
    RegistryRoots root = HKCU;
    B empty(L""), name(L"v"), text(L"x");
    B nullKey;  // a null BSTR is the empty text
    LONG status = 0;
    for (BSTR* key : {&empty.b, &nullKey.b}) {
        status = 0; EXPECT_EQ(reg->CreateRegKey(&root, key, &status), S_OK); EXPECT_EQ(status, 1010);
        status = 0; EXPECT_EQ(reg->ManyMkKey(&root, key, &status), S_OK); EXPECT_EQ(status, 1010);
        status = 0; EXPECT_EQ(reg->DeleteRegKey(&root, key, &status), S_OK); EXPECT_EQ(status, 1010);
        status = 0; EXPECT_EQ(reg->ManyDeleteRegKey(&root, key, &status), S_OK); EXPECT_EQ(status, 1010);
        status = 0; EXPECT_EQ(reg->SetRegValue(&root, key, &name.b, text.b, &status), S_OK); EXPECT_EQ(status, 1010);
        status = 0; EXPECT_EQ(reg->DeleteRegValue(&root, key, &name.b, &status), S_OK); EXPECT_EQ(status, 1010);
        SAFEARRAY* data = byteArray({1, 2});
        status = 0; EXPECT_EQ(reg->SetRegBinary(&root, key, &name.b, &data, &status), S_OK); EXPECT_EQ(status, 1010);
        EXPECT_EQ(bytesOf(data), (std::vector<unsigned char>{1, 2}));  // the caller's array is left alone
        B out(L"stale");
        status = 0; EXPECT_EQ(reg->GetRegValue(&root, key, &name.b, &out.b, &status), S_OK); EXPECT_EQ(status, 1010);
        EXPECT_NE(out.b, nullptr);
        EXPECT_EQ(out.str(), L"");  // reset before the path is looked at
        status = 0; EXPECT_EQ(reg->GetRegBinary(&root, key, &name.b, &data, &status), S_OK); EXPECT_EQ(status, 1010);
        EXPECT_EQ(bytesOf(data), (std::vector<unsigned char>{0}));
        ::SafeArrayDestroy(data);
    }
    // DeleteRegValue with an empty value name: 1010, and the key is not even created.
    B key(base), noName(L"");
    status = 0;
    EXPECT_EQ(reg->DeleteRegValue(&root, &key.b, &noName.b, &status), S_OK);
    EXPECT_EQ(status, 1010);
    EXPECT_FALSE(keyExists(base));
}

TEST_F(RegistryClient, TextsRoundTripIncludingJapaneseEmptyAndLong) {
    const std::wstring texts[] = {L"", L"abc", L"日本語のテキスト・ｶﾀｶﾅ", L"中文 한국어 Ελληνικά ☃", std::wstring(50000, L'語')};
    for (const auto& text : texts) {
        EXPECT_EQ(setText(base + L"\\値の鍵", L"名前", text), 0);
        std::wstring back;
        EXPECT_EQ(getText(base + L"\\値の鍵", L"名前", back), 0);
        EXPECT_EQ(back, text);
    }
    // The default value: an empty value name.
    EXPECT_EQ(setText(base, L"", L"既定"), 0);
    std::wstring back;
    EXPECT_EQ(getText(base, L"", back), 0);
    EXPECT_EQ(back, L"既定");
}

TEST_F(RegistryClient, ReadingAMissingValueCreatesTheKeyAndGivesAnEmptyText) {
    std::wstring back = L"x";
    EXPECT_EQ(getText(base + L"\\a\\b", L"none", back), 0);
    EXPECT_EQ(back, L"");
    EXPECT_TRUE(keyExists(base + L"\\a\\b"));
}

TEST_F(RegistryClient, BinaryValuesRoundTrip) {
    RegistryRoots root = HKCU;
    B key(base), name(L"bin");
    std::vector<unsigned char> big(1 << 20);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>((i * 31) ^ (i >> 9));
    for (const auto& data : {std::vector<unsigned char>{0x5A}, std::vector<unsigned char>{1, 0, 255}, big}) {
        SAFEARRAY* in = byteArray(data);
        LONG status = -1;
        EXPECT_EQ(reg->SetRegBinary(&root, &key.b, &name.b, &in, &status), S_OK);
        EXPECT_EQ(status, 0);
        ::SafeArrayDestroy(in);
        SAFEARRAY* out = byteArray({7, 7, 7, 7, 7});
        status = -1;
        EXPECT_EQ(reg->GetRegBinary(&root, &key.b, &name.b, &out, &status), S_OK);
        EXPECT_EQ(status, 0);
        LONG lower = -1;
        ::SafeArrayGetLBound(out, 1, &lower);
        EXPECT_EQ(lower, 0);
        EXPECT_EQ(bytesOf(out), data);
        ::SafeArrayDestroy(out);
    }
    // A value of no bytes (written by another program) and a missing one read as one zero byte.
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, base.c_str(), 0, KEY_SET_VALUE, &k), 0);
    ASSERT_EQ(::RegSetValueExW(k, L"zero", 0, REG_BINARY, nullptr, 0), 0);
    ::RegCloseKey(k);
    for (const wchar_t* n : {L"zero", L"missing"}) {
        B other(n);
        SAFEARRAY* out = nullptr;  // never dimensioned
        LONG status = -1;
        EXPECT_EQ(reg->GetRegBinary(&root, &key.b, &other.b, &out, &status), S_OK);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(bytesOf(out), (std::vector<unsigned char>{0}));
        ::SafeArrayDestroy(out);
    }
}

TEST_F(RegistryClient, BinaryWriteStartsAtIndexZeroAndNeedsIt) {
    RegistryRoots root = HKCU;
    B key(base + L"\\sub"), name(L"bin");
    LONG status = -1;
    // Bounds -1 to 2: elements 0 to 2 are written.
    SAFEARRAY* shifted = byteArray({9, 1, 2, 3}, -1);
    EXPECT_EQ(reg->SetRegBinary(&root, &key.b, &name.b, &shifted, &status), S_OK);
    EXPECT_EQ(status, 0);
    ::SafeArrayDestroy(shifted);
    SAFEARRAY* out = nullptr;
    EXPECT_EQ(reg->GetRegBinary(&root, &key.b, &name.b, &out, &status), S_OK);
    EXPECT_EQ(bytesOf(out), (std::vector<unsigned char>{1, 2, 3}));
    ::SafeArrayDestroy(out);
    // No element 0: never dimensioned, empty, starting above 0. The key is created first.
    SAFEARRAY* none = nullptr;
    SAFEARRAY* empty = byteArray({});
    SAFEARRAY* above = byteArray({1, 2}, 1);
    B fresh(base + L"\\fresh");
    for (SAFEARRAY** a : {&none, &empty, &above}) {
        EXPECT_EQ(errorNumber(reg->SetRegBinary(&root, &fresh.b, &name.b, a, &status)), 9);
    }
    EXPECT_TRUE(keyExists(base + L"\\fresh"));
    // Another element type or shape is a type mismatch.
    SAFEARRAYBOUND two[2] = {{2, 0}, {2, 0}};
    SAFEARRAY* square = ::SafeArrayCreate(VT_UI1, 2, two);
    EXPECT_EQ(errorNumber(reg->SetRegBinary(&root, &key.b, &name.b, &square, &status)), 13);
    SAFEARRAY* longs = ::SafeArrayCreateVector(VT_I4, 0, 2);
    EXPECT_EQ(errorNumber(reg->SetRegBinary(&root, &key.b, &name.b, &longs, &status)), 13);
    ::SafeArrayDestroy(empty);
    ::SafeArrayDestroy(above);
    ::SafeArrayDestroy(square);
    ::SafeArrayDestroy(longs);
}

TEST_F(RegistryClient, AFixedOrLockedOutputArrayIsNotReplaced) {
    RegistryRoots root = HKCU;
    B key(base), name(L"bin");
    SAFEARRAY* locked = byteArray({1, 2, 3});
    ::SafeArrayLock(locked);
    SAFEARRAY* before = locked;
    LONG status = -1;
    EXPECT_EQ(errorNumber(reg->GetRegBinary(&root, &key.b, &name.b, &locked, &status)), 10);
    EXPECT_EQ(locked, before);
    ::SafeArrayUnlock(locked);
    ::SafeArrayDestroy(locked);
}

TEST_F(RegistryClient, ValuesOfOtherTypesReadAsText) {
    ASSERT_EQ(create(base), 0);
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, base.c_str(), 0, KEY_SET_VALUE, &k), 0);
    const unsigned char ansi[] = {0x93, 0xFA, 0x96, 0x7B, 'x'};  // 日本x in code page 932, no terminator
    ::RegSetValueExW(k, L"bin", 0, REG_BINARY, ansi, sizeof(ansi));
    DWORD number = 0x41;
    ::RegSetValueExW(k, L"dword", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4);
    const wchar_t expand[] = L"%TEMP%\\x";
    ::RegSetValueExW(k, L"expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof(expand));
    const wchar_t multi[] = L"first\0second\0";
    ::RegSetValueExW(k, L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof(multi));
    ::RegCloseKey(k);
    std::wstring text;
    EXPECT_EQ(getText(base, L"bin", text), 0);
    EXPECT_EQ(text, L"日本x");
    EXPECT_EQ(getText(base, L"dword", text), 0);
    EXPECT_EQ(text, L"A");
    EXPECT_EQ(getText(base, L"expand", text), 0);
    EXPECT_EQ(text, L"%TEMP%\\x");
    EXPECT_EQ(getText(base, L"multi", text), 0);
    EXPECT_EQ(text, L"first");
}

TEST_F(RegistryClient, DeleteRegValueRemovesTheValueAndCreatesTheKey) {
    ASSERT_EQ(setText(base, L"v", L"1"), 0);
    RegistryRoots root = HKCU;
    B key(base), name(L"v");
    LONG status = -1;
    EXPECT_EQ(reg->DeleteRegValue(&root, &key.b, &name.b, &status), S_OK);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(reg->DeleteRegValue(&root, &key.b, &name.b, &status), S_OK);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    B other(base + L"\\made");
    EXPECT_EQ(reg->DeleteRegValue(&root, &other.b, &name.b, &status), S_OK);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(keyExists(base + L"\\made"));
}

TEST_F(RegistryClient, ManyMkKeyCreatesEveryLevelAndReportsTheLast) {
    RegistryRoots root = HKCU;
    B path(base + L"\\一\\二\\三");
    LONG status = -1;
    EXPECT_EQ(reg->ManyMkKey(&root, &path.b, &status), S_OK);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(keyExists(base + L"\\一\\二\\三"));
    EXPECT_EQ(subkeyCount(base + L"\\一\\二"), 1u);
    // A root that is no key: every level fails, the last status is reported.
    RegistryRoots bogus = static_cast<RegistryRoots>(12345);
    EXPECT_EQ(reg->ManyMkKey(&bogus, &path.b, &status), S_OK);
    EXPECT_NE(status, 0);
}

TEST_F(RegistryClient, EnumerationGivesAListingArrayWithEveryName) {
    auto names = list(base);  // a key that does not exist
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], L"");
    ASSERT_EQ(create(base + L"\\甲"), 0);
    ASSERT_EQ(create(base + L"\\乙"), 0);
    names = list(base);
    ASSERT_EQ(names.size(), 3u);  // upper bound 2
    EXPECT_EQ(names[0], L"");
    EXPECT_TRUE((names[1] == L"甲" && names[2] == L"乙") || (names[1] == L"乙" && names[2] == L"甲"));
    // Past the growth steps of the list: exactly the subkeys, no empty tail.
    for (int i = 0; i < 205; ++i) ASSERT_EQ(create(base + L"\\n" + std::to_wstring(i)), 0);
    names = list(base);
    EXPECT_EQ(names.size(), 208u);
    for (size_t i = 1; i < names.size(); ++i) EXPECT_FALSE(names[i].empty()) << i;
    EXPECT_EQ(list(base + L"\\甲").size(), 1u);  // no subkeys
}

TEST_F(RegistryClient, EnumerationThroughDispatchGivesAVariantArray) {
    ASSERT_EQ(create(base + L"\\x"), 0);
    IDispatch* d = reg;
    B key(base);
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(invoke(d, L"GetEnumRegistryKeys", {vI4(HKCU), vStr(key.b)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_ARRAY | VT_VARIANT);
    auto names = stringsOf(result.parray);
    ::VariantClear(&result);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"", L"x"}));
}

TEST_F(RegistryClient, ManyDeleteRegKeyRemovesANestedTree) {
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 3; ++b) {
            std::wstring leaf = base + L"\\t\\a" + std::to_wstring(a) + L"\\b" + std::to_wstring(b) + L"\\深い\\もっと深い";
            RegistryRoots root = HKCU;
            B p(leaf);
            LONG status = -1;
            ASSERT_EQ(reg->ManyMkKey(&root, &p.b, &status), S_OK);
            ASSERT_EQ(status, 0);
            ASSERT_EQ(setText(leaf, L"v", L"x"), 0);
        }
    ASSERT_EQ(create(base + L"\\keep"), 0);
    RegistryRoots root = HKCU;
    B tree(base + L"\\t");
    LONG status = -1;
    EXPECT_EQ(reg->ManyDeleteRegKey(&root, &tree.b, &status), S_OK);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(keyExists(base + L"\\t"));
    EXPECT_TRUE(keyExists(base + L"\\keep"));
    // A key that does not exist: nothing to delete, the platform's status.
    EXPECT_EQ(reg->ManyDeleteRegKey(&root, &tree.b, &status), S_OK);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    // A trailing backslash names the same key.
    ASSERT_EQ(create(base + L"\\u\\v"), 0);
    B trailing(base + L"\\u\\");
    EXPECT_EQ(reg->ManyDeleteRegKey(&root, &trailing.b, &status), S_OK);
    EXPECT_FALSE(keyExists(base + L"\\u\\v"));
}

TEST_F(RegistryClient, ManyDeleteRegKeyNeverDeletesAShorterKeyThanNamed) {
    ASSERT_EQ(create(base + L"\\child"), 0);
    RegistryRoots root = HKCU;
    B withNul(base + std::wstring(L"\0zzz", 4));
    LONG status = -1;
    EXPECT_EQ(reg->ManyDeleteRegKey(&root, &withNul.b, &status), S_OK);
    EXPECT_EQ(status, 1010);
    EXPECT_TRUE(keyExists(base + L"\\child"));
}

TEST_F(RegistryClient, LongPathsAndNamesGiveAStatusNotACrash) {
    RegistryRoots root = HKCU;
    LONG status = 0;
    B longLevel(base + L"\\" + std::wstring(300, L'x'));
    EXPECT_EQ(reg->CreateRegKey(&root, &longLevel.b, &status), S_OK);
    EXPECT_NE(status, 0);
    B huge(base + L"\\" + std::wstring(40000, L'y'));
    EXPECT_EQ(reg->CreateRegKey(&root, &huge.b, &status), S_OK);
    EXPECT_EQ(status, 1010);
    std::wstring deep = base;
    for (int i = 0; i < 20000; ++i) deep += L"\\d";  // beyond what the platform takes in one name
    B deepKey(deep);
    EXPECT_EQ(reg->ManyMkKey(&root, &deepKey.b, &status), S_OK);
    EXPECT_EQ(status, 1010);
    B key(base), longName(std::wstring(20000, L'n')), text(L"t");
    EXPECT_EQ(reg->SetRegValue(&root, &key.b, &longName.b, text.b, &status), S_OK);
    EXPECT_NE(status, 0);
    B out;
    EXPECT_EQ(reg->GetRegValue(&root, &key.b, &longName.b, &out.b, &status), S_OK);
    EXPECT_EQ(out.str(), L"");
}

TEST_F(RegistryClient, StartupEntryIsWrittenAsGivenAndRemoved) {
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::string nameA = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    B name(L"kro_" + std::wstring(nameA.begin(), nameA.end())), target(L"C:\\Program Files\\アプリ\\app.exe /min");
    VARIANT result;
    ::VariantInit(&result);
    result.vt = VT_I4;
    EXPECT_EQ(reg->SetStartupFile(&name.b, &target.b, &result), S_OK);
    EXPECT_EQ(result.vt, VT_EMPTY);
    std::wstring back;
    EXPECT_EQ(getText(run, name.str(), back), 0);
    EXPECT_EQ(back, target.str());
    EXPECT_EQ(reg->DeleteStartupFile(&name.b, &result), S_OK);
    EXPECT_EQ(result.vt, VT_EMPTY);
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, run.c_str(), 0, KEY_READ, &k), 0);
    EXPECT_EQ(::RegQueryValueExW(k, name.b, nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    ::RegCloseKey(k);
    // Deleting it again reports nothing either.
    EXPECT_EQ(reg->DeleteStartupFile(&name.b, &result), S_OK);
    EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST_F(RegistryClient, StatusTextsThroughBothPaths) {
    LONG code = 1010;
    BSTR text = nullptr;
    EXPECT_EQ(reg->GetRegErrorText(&code, &text), S_OK);
    EXPECT_STREQ(text, L"レジストリキーが無効です");
    ::SysFreeString(text);
    EXPECT_EQ(code, 1010);
    for (LONG other : {0L, 1008L, 1022L, 1368L}) {
        code = other;
        EXPECT_EQ(reg->GetRegErrorText(&code, &text), S_OK);
        EXPECT_EQ(::SysStringLen(text), 0u);
        ::SysFreeString(text);
    }
    VARIANT arg = vI4(1015), result;
    ::VariantInit(&result);
    ASSERT_EQ(invoke(reg, L"GetRegErrorText", {arg}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_STREQ(result.bstrVal,
                 L"レジストリが壊れています。レジストリデータを含むファイルの1つが壊れているか,メモリ内のファイルのイメージが"
                 L"壊れているか、ログや代替コピーがないか壊れているために復旧できなかった、などの原因が考えられます");
    ::VariantClear(&result);
}

TEST_F(RegistryClient, DispatchCallersSeeTheirByReferenceVariablesWrittenBack) {
    ASSERT_EQ(setText(base, L"v", L"日本"), 0);
    B key(base), name(L"v");
    VARIANT keyVar = vStr(key.b), nameVar = vStr(name.b), textVar, result;
    ::VariantInit(&textVar);
    textVar.vt = VT_I4;  // a script variable holding a number beforehand
    textVar.lVal = 5;
    ::VariantInit(&result);
    ASSERT_EQ(invoke(reg, L"GetRegValue", {vI4(HKCU), vRef(&keyVar), vRef(&nameVar), vRef(&textVar)}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    ASSERT_EQ(textVar.vt, VT_BSTR);
    EXPECT_STREQ(textVar.bstrVal, L"日本");
    ::VariantClear(&textVar);
    // Null where a text is expected is a type mismatch; the registry is not touched.
    VARIANT nullVar;
    ::VariantInit(&nullVar);
    nullVar.vt = VT_NULL;
    EXCEPINFO ei{};
    EXPECT_EQ(invoke(reg, L"CreateRegKey", {vI4(HKCU), nullVar}, &result, &ei), DISP_E_TYPEMISMATCH);
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);
}

// A symbolic link that leads back up the tree makes the tree endless to a walker that follows
// links: the deletion must still come back, within the registry's depth.
TEST_F(RegistryClient, ManyDeleteRegKeyComesBackFromALinkThatLeadsUpTheTree) {
    using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto ntQueryKey = reinterpret_cast<NtQueryKeyFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryKey")));
    auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtDeleteKey")));
    ASSERT_TRUE(ntQueryKey && ntDeleteKey);
    ASSERT_EQ(create(base + L"\\loop\\a"), 0);
    // The native name of ...\loop, which the link points to.
    HKEY loop = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (base + L"\\loop").c_str(), 0, KEY_READ, &loop), 0);
    std::vector<BYTE> info(4096);
    ULONG got = 0;
    ASSERT_EQ(ntQueryKey(loop, 3 /* KeyNameInformation */, info.data(), static_cast<ULONG>(info.size()), &got), 0);
    ::RegCloseKey(loop);
    ULONG nameBytes = *reinterpret_cast<ULONG*>(info.data());
    const BYTE* name = info.data() + sizeof(ULONG);
    HKEY link = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (base + L"\\loop\\a\\link").c_str(), 0, nullptr,
                                REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &link, nullptr), 0);
    ASSERT_EQ(::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, name, nameBytes), 0);
    ::RegCloseKey(link);
    ASSERT_EQ(list(base + L"\\loop\\a\\link"), (std::vector<std::wstring>{L"", L"a"}));  // the link is followed

    RegistryRoots root = HKCU;
    B path(base + L"\\loop");
    LONG status = -1;
    EXPECT_EQ(reg->ManyDeleteRegKey(&root, &path.b, &status), S_OK);

    // Remove whatever is left, the link itself first, without following it.
    HKEY linkItself = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, (base + L"\\loop\\a\\link").c_str(), REG_OPTION_OPEN_LINK, DELETE,
                        &linkItself) == 0) {
        ntDeleteKey(linkItself);
        ::RegCloseKey(linkItself);
    }
}
