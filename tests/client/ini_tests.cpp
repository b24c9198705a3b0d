// IniFileCls as a client sees it, on files in a scratch folder (one of them in a folder with a
// Japanese name): through the vtable and through IDispatch.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/support/test_files.h"

using kro::test::TempDir;

namespace {

struct Text {  // an owned BSTR usable as an [in, out] argument
    BSTR b;
    explicit Text(const std::wstring& s) : b(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    Text() : b(nullptr) {}
    ~Text() { ::SysFreeString(b); }
    Text(const Text&) = delete;
};

long errorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr; }

std::string fileText(const std::wstring& path) {
    auto bytes = kro::test::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

SAFEARRAY* variantArray(std::vector<VARIANT> items) {  // takes over the items
    SAFEARRAY* a = ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) static_cast<VARIANT*>(a->pvData)[i] = items[i];
    return a;
}

SAFEARRAY* bstrArray(const std::vector<std::wstring>& items) {
    SAFEARRAY* a = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) static_cast<BSTR*>(a->pvData)[i] = ::SysAllocString(items[i].c_str());
    return a;
}

VARIANT vText(const wchar_t* s) { VARIANT v; ::VariantInit(&v); v.vt = VT_BSTR; v.bstrVal = ::SysAllocString(s); return v; }
VARIANT vI4(LONG n) { VARIANT v; ::VariantInit(&v); v.vt = VT_I4; v.lVal = n; return v; }
VARIANT vBool(bool b) { VARIANT v; ::VariantInit(&v); v.vt = VT_BOOL; v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE; return v; }
VARIANT vNull() { VARIANT v; ::VariantInit(&v); v.vt = VT_NULL; return v; }

// Calls a member by name through IDispatch; arguments in reading order, borrowed.
HRESULT invoke(IDispatch* d, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result) {
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO ei{};
    UINT argErr = 0;
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, &ei, &argErr);
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION) return ei.scode;
    return hr;
}

class IniClient : public ::testing::Test {
protected:
    void SetUp() override {
        CLSID clsid;
        ASSERT_EQ(::CLSIDFromProgID(L"kroProgramDll.IniFileCls", &clsid), S_OK);
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_IniFileCls),
                                     reinterpret_cast<void**>(&ini)), S_OK);
        file = dir / L"test.ini";
    }
    void TearDown() override {
        if (ini) ini->Release();
    }
    // GetIniValue through the vtable: the value's text, or "<Empty>".
    std::wstring get(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                     const std::wstring* dflt = nullptr) {
        Text f(path), s(section), k(key), d(dflt ? *dflt : L"");
        VARIANT r;
        ::VariantInit(&r);
        EXPECT_EQ(ini->GetIniValue(&f.b, &s.b, &k.b, &d.b, &r), S_OK);
        std::wstring out = r.vt == VT_EMPTY ? L"<Empty>" : r.vt == VT_BSTR ? std::wstring(r.bstrVal, ::SysStringLen(r.bstrVal)) : L"<other>";
        ::VariantClear(&r);
        return out;
    }
    LONG set(const std::wstring& path, const std::wstring& section, BSTR key, BSTR value) {
        Text f(path), s(section);
        VARIANT r;
        ::VariantInit(&r);
        EXPECT_EQ(ini->SetIniValue(&f.b, &s.b, &key, &value, &r), S_OK);
        EXPECT_EQ(r.vt, VT_I4);
        return r.lVal;
    }
    LONG set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
        Text k(key), v(value);
        return set(file, section, k.b, v.b);
    }
    HRESULT setSection(const std::wstring& section, SAFEARRAY* lines, LONG* written = nullptr) {
        Text f(file), s(section);
        VARIANT r;
        ::VariantInit(&r);
        HRESULT hr = ini->SetIniKeyAndValue(&f.b, &s.b, &lines, &r);
        if (SUCCEEDED(hr) && written) *written = r.vt == VT_I4 ? r.lVal : -1;
        ::VariantClear(&r);
        return hr;
    }

    _IniFileCls* ini = nullptr;
    TempDir dir;
    std::wstring file;
};

}  // namespace

TEST_F(IniClient, ValuesAreWrittenAsCrLfLinesAndReadBack) {
    EXPECT_NE(set(L"app", L"a", L"1"), 0);
    EXPECT_NE(set(L"app", L"b", L"二"), 0);
    EXPECT_NE(set(L"other", L"c", L"3"), 0);
    EXPECT_EQ(fileText(file), "[app]\r\na=1\r\nb=\x93\xF1\r\n[other]\r\nc=3\r\n");
    EXPECT_EQ(get(file, L"app", L"a"), L"1");
    EXPECT_EQ(get(file, L"app", L"b"), L"二");
    EXPECT_EQ(get(file, L"other", L"c"), L"3");
}

TEST_F(IniClient, EmptyValueAndMissingKeyAreEmptyUnlessADefaultIsGiven) {
    kro::test::writeBytes(file, {'[', 's', ']', '\r', '\n', 'e', 'm', 'p', 't', 'y', '=', '\r', '\n', 'k', '=', 'v', '\r', '\n'});
    EXPECT_EQ(get(file, L"s", L"empty"), L"<Empty>");
    EXPECT_EQ(get(file, L"s", L"missing"), L"<Empty>");
    EXPECT_EQ(get(file, L"nosection", L"k"), L"<Empty>");
    std::wstring x = L"x";
    EXPECT_EQ(get(file, L"s", L"missing", &x), L"x");
    EXPECT_EQ(get(file, L"s", L"k", &x), L"v");
    EXPECT_EQ(get(dir / L"no such file.ini", L"s", L"k"), L"<Empty>");
    EXPECT_EQ(get(dir / L"no such file.ini", L"s", L"k", &x), L"x");
}

TEST_F(IniClient, FileInAFolderWithAJapaneseName) {
    std::wstring folder = dir / L"設定フォルダ";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring path = folder + L"\\設定.ini";
    Text k(L"名前"), v(L"値です");
    EXPECT_NE(set(path, L"日本", k.b, v.b), 0);
    EXPECT_EQ(get(path, L"日本", L"名前"), L"値です");
    std::string bytes = fileText(path);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
}

TEST_F(IniClient, EmptyKeyAndValueDeleteTheSection) {
    set(L"keep", L"a", L"1");
    set(L"gone", L"b", L"2");
    set(L"gone", L"c", L"3");
    Text emptyKey(L""), emptyValue(L"");
    EXPECT_NE(set(file, L"gone", emptyKey.b, emptyValue.b), 0);
    EXPECT_EQ(get(file, L"gone", L"b"), L"<Empty>");
    EXPECT_EQ(get(file, L"keep", L"a"), L"1");
    EXPECT_EQ(fileText(file).find("gone"), std::string::npos);
    // Null texts count as empty ones here.
    set(L"gone2", L"b", L"2");
    EXPECT_NE(set(file, L"gone2", nullptr, nullptr), 0);
    EXPECT_EQ(fileText(file).find("gone2"), std::string::npos);
}

TEST_F(IniClient, NullValueDeletesTheKeyAndEmptyValueWritesIt) {
    set(L"s", L"a", L"1");
    set(L"s", L"b", L"2");
    Text a(L"a"), b(L"b"), empty(L"");
    EXPECT_NE(set(file, L"s", a.b, nullptr), 0);
    EXPECT_EQ(get(file, L"s", L"a"), L"<Empty>");
    EXPECT_EQ(fileText(file).find("a="), std::string::npos);
    EXPECT_NE(set(file, L"s", b.b, empty.b), 0);
    EXPECT_NE(fileText(file).find("b=\r\n"), std::string::npos);
}

TEST_F(IniClient, ANullKeyWithAValueNeverDeletesTheSection) {
    set(L"s", L"a", L"1");
    Text v(L"value");
    EXPECT_NE(set(file, L"s", nullptr, v.b), 0);
    EXPECT_EQ(get(file, L"s", L"a"), L"1");
}

TEST_F(IniClient, SectionIsReplacedByTheArrayLines) {
    set(L"s", L"old", L"x");
    set(L"t", L"keep", L"y");
    LONG written = 0;
    SAFEARRAY* lines = variantArray({vText(L"a=1"), vText(L"b=2")});
    EXPECT_EQ(setSection(L"s", lines, &written), S_OK);
    EXPECT_NE(written, 0);
    ::SafeArrayDestroy(lines);
    EXPECT_EQ(fileText(file), "[s]\r\na=1\r\nb=2\r\n[t]\r\nkeep=y\r\n");
    // One element: one line. Strings from C++ work as they are.
    lines = bstrArray({L"only=一つ"});
    EXPECT_EQ(setSection(L"s", lines), S_OK);
    ::SafeArrayDestroy(lines);
    EXPECT_EQ(get(file, L"s", L"only"), L"一つ");
    EXPECT_EQ(get(file, L"s", L"a"), L"<Empty>");
    // Numbers and Booleans are accepted in their text form (the platform keeps only lines with
    // an equals sign); an empty element does not cut the block short.
    lines = variantArray({vI4(42), vText(L""), vBool(true), vText(L"z=9")});
    EXPECT_EQ(setSection(L"n", lines), S_OK);
    ::SafeArrayDestroy(lines);
    EXPECT_EQ(get(file, L"n", L"z"), L"9");
}

TEST_F(IniClient, SectionArraysOfTheWrongShapeFailAndWriteNothing) {
    set(L"s", L"a", L"1");
    std::string before = fileText(file);
    SAFEARRAY* none = nullptr;
    EXPECT_EQ(errorNumber(setSection(L"s", none)), 9);
    SAFEARRAY* withNull = variantArray({vText(L"b=2"), vNull()});
    EXPECT_EQ(errorNumber(setSection(L"s", withNull)), 13);
    ::SafeArrayDestroy(withNull);
    SAFEARRAY* nested = variantArray({vText(L"b=2")});
    VARIANT inner;
    ::VariantInit(&inner);
    inner.vt = VT_ARRAY | VT_VARIANT;
    inner.parray = variantArray({vText(L"c=3")});
    SAFEARRAY* outer = variantArray({inner});
    EXPECT_EQ(errorNumber(setSection(L"s", outer)), 13);
    ::SafeArrayDestroy(outer);
    ::SafeArrayDestroy(nested);
    SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
    SAFEARRAY* twoDims = ::SafeArrayCreate(VT_VARIANT, 2, square);
    EXPECT_EQ(errorNumber(setSection(L"s", twoDims)), 13);
    ::SafeArrayDestroy(twoDims);
    EXPECT_EQ(fileText(file), before);
    // An empty array empties the section.
    SAFEARRAY* empty = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
    EXPECT_EQ(setSection(L"s", empty), S_OK);
    ::SafeArrayDestroy(empty);
    EXPECT_EQ(get(file, L"s", L"a"), L"<Empty>");
}

TEST_F(IniClient, ValuesOver32KiBAreReadWhole) {
    std::wstring big(50000, L'値');
    big += L"end";
    EXPECT_NE(set(L"big", L"k", big), 0);
    EXPECT_EQ(get(file, L"big", L"k"), big);
}

TEST_F(IniClient, VeryLongPathsGiveEmptyOrZeroNotACrash) {
    // A full path beyond MAX_PATH would overrun the platform's buffer: 52, nothing written.
    Text path(dir / (std::wstring(5000, L'p') + L".ini")), s(L"s"), k(L"k"), v(L"v");
    VARIANT out;
    ::VariantInit(&out);
    EXPECT_EQ(ini->GetIniValue(&path.b, &s.b, &k.b, &k.b, &out), static_cast<HRESULT>(0x800A0034));
    EXPECT_EQ(ini->SetIniValue(&path.b, &s.b, &k.b, &v.b, &out), static_cast<HRESULT>(0x800A0034));
    EXPECT_EQ(out.vt, VT_EMPTY);
    // No file name at all (the platform would take WIN.INI): 52, nothing read or written.
    BSTR none = nullptr;
    VARIANT r;
    ::VariantInit(&r);
    EXPECT_EQ(ini->GetIniValue(&none, &none, &none, &none, &r), static_cast<HRESULT>(0x800A0034));
    ::VariantClear(&r);
    EXPECT_EQ(ini->SetIniValue(&none, &none, &k.b, &v.b, &r), static_cast<HRESULT>(0x800A0034));
    EXPECT_EQ(r.vt, VT_EMPTY);
    std::wstring longKey(40000, L'k');
    EXPECT_NE(set(L"s", longKey, L"v"), 0);
    EXPECT_EQ(get(file, L"s", longKey), L"v");
}

TEST_F(IniClient, DispatchCallersOmitTheDefaultAndPassStringArrays) {
    set(L"s", L"k", L"v");
    VARIANT f = vText(file.c_str()), s = vText(L"s"), k = vText(L"k"), missing = vText(L"missing"), d = vText(L"dflt");
    VARIANT r;
    ::VariantInit(&r);
    ASSERT_EQ(invoke(ini, L"GetIniValue", {f, s, k}, &r), S_OK);
    ASSERT_EQ(r.vt, VT_BSTR);
    EXPECT_STREQ(r.bstrVal, L"v");
    ::VariantClear(&r);
    ASSERT_EQ(invoke(ini, L"GetIniValue", {f, s, missing}, &r), S_OK);
    EXPECT_EQ(r.vt, VT_EMPTY);
    ASSERT_EQ(invoke(ini, L"GetIniValue", {f, s, missing, d}, &r), S_OK);
    EXPECT_EQ(r.vt, VT_BSTR);
    ::VariantClear(&r);
    // A String array is converted to the declared Variant array.
    VARIANT lines;
    ::VariantInit(&lines);
    lines.vt = VT_ARRAY | VT_BSTR;
    lines.parray = bstrArray({L"x=1", L"y=2"});
    ASSERT_EQ(invoke(ini, L"SetIniKeyAndValue", {f, s, lines}, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_NE(r.lVal, 0);
    EXPECT_EQ(get(file, L"s", L"y"), L"2");
    EXPECT_EQ(get(file, L"s", L"k"), L"<Empty>");
    // Null where a text is expected, and a text where the array is expected: type mismatch.
    VARIANT n = vNull();
    EXPECT_EQ(errorNumber(invoke(ini, L"GetIniValue", {n, s, k}, &r)), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(errorNumber(invoke(ini, L"SetIniKeyAndValue", {f, s, k}, &r)), DISP_E_TYPEMISMATCH);
    for (VARIANT* v : {&f, &s, &k, &missing, &d, &lines}) ::VariantClear(v);
}
