// GetWindowsVersion, GetCommand, IsWinNT as a client sees them: created by ProgID, called
// through the vtable and through IDispatch, on every class that carries them.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "frame/raii.h"
#include "kroProgramDll.h"

using kro::Bstr;
using kro::ComPtr;
using kro::Variant;

namespace {

template <class I>
ComPtr<I> create(const wchar_t* progId) {
    CLSID clsid;
    ComPtr<I> object;
    if (FAILED(::CLSIDFromProgID(progId, &clsid))) return object;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.putVoid());
    return object;
}

// The runtime error number a failed call left (FACILITY_CONTROL code).
long errorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr; }

std::wstring text(BSTR b) { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); }

// GetCommand through one of the three interfaces with a text command.
template <class I>
std::wstring command(I* object, const wchar_t* line, const wchar_t* delimiter = L";") {
    Variant arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = ::SysAllocString(line);
    BSTR delim = ::SysAllocString(delimiter);
    BSTR result = nullptr;
    HRESULT hr = object->GetCommand(&arg, &delim, &result);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(text(delim), std::wstring(delimiter));
    ::SysFreeString(delim);
    Bstr owned = Bstr::attach(result);
    // The command itself is never changed.
    EXPECT_EQ(text(arg.bstrVal), std::wstring(line));
    return text(result);
}

// A by-name call with arguments in script order; returns the HRESULT and fills `result`.
HRESULT invokeByName(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANT*> args, VARIANT* result,
                     EXCEPINFO* info = nullptr) {
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back(**it);
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO local{};
    HRESULT r = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, info ? info : &local, nullptr);
    if (!info) {
        ::SysFreeString(local.bstrSource);
        ::SysFreeString(local.bstrDescription);
        ::SysFreeString(local.bstrHelpFile);
    }
    return r;
}

}  // namespace

TEST(WindowsVersion, TextAndBuildNumberOnBothClasses) {
    OSVERSIONINFOW os{};
    os.dwOSVersionInfoSize = sizeof(os);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(::GetVersionExW(&os));
#pragma GCC diagnostic pop
    std::wstring minor = L"0" + std::to_wstring(os.dwMinorVersion);
    std::wstring expected = std::to_wstring(os.dwMajorVersion) + L"." + minor.substr(minor.size() - 2);
    std::wstring build = std::to_wstring(static_cast<LONG>(os.dwBuildNumber));

    auto data = create<_GetDataCls>(L"kroProgramDll.GetDataCls");
    auto windows = create<_WindowsCls>(L"kroProgramDll.WindowsCls");
    ASSERT_TRUE(data && windows);

    BSTR buildNumber = ::SysAllocString(L"old value");
    BSTR result = nullptr;
    ASSERT_EQ(data->GetWindowsVersion(&buildNumber, &result), S_OK);
    Bstr r1 = Bstr::attach(result), b1 = Bstr::attach(buildNumber);
    EXPECT_EQ(text(result), expected);
    EXPECT_EQ(text(buildNumber), build);

    // Omitted build number: a null pointer from the vtable is allowed.
    result = nullptr;
    ASSERT_EQ(windows->GetWindowsVersion(nullptr, &result), S_OK);
    Bstr r2 = Bstr::attach(result);
    EXPECT_EQ(text(result), expected);
}

TEST(WindowsVersion, WineReportsSixOneBuild7601) {
    auto windows = create<_WindowsCls>(L"kroProgramDll.WindowsCls");
    ASSERT_TRUE(windows);
    BSTR build = nullptr;
    BSTR result = nullptr;
    ASSERT_EQ(windows->GetWindowsVersion(&build, &result), S_OK);
    Bstr b = Bstr::attach(build), r = Bstr::attach(result);
    EXPECT_EQ(text(result), L"6.01");
    EXPECT_EQ(text(build), L"7601");
}

TEST(WindowsVersion, ByNameWritesTheBuildBackIntoTheCallersVariable) {
    auto data = create<_GetDataCls>(L"kroProgramDll.GetDataCls");
    ASSERT_TRUE(data);
    Variant callerVar;
    callerVar.vt = VT_I4;
    callerVar.lVal = 0;
    VARIANT ref;
    ::VariantInit(&ref);
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &callerVar;
    Variant result;
    ASSERT_EQ(invokeByName(data.get(), L"GetWindowsVersion", {&ref}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    ASSERT_EQ(callerVar.vt, VT_BSTR);
    EXPECT_EQ(text(callerVar.bstrVal), L"7601");
}

TEST(CommandLineMember, WorkedResultsOnEveryClass) {
    auto data = create<_GetDataCls>(L"kroProgramDll.GetDataCls");
    auto windows = create<_WindowsCls>(L"kroProgramDll.WindowsCls");
    auto app = create<_ApplicationCls>(L"kroProgramDll.ApplicationCls");
    ASSERT_TRUE(data && windows && app);
    struct Case { const wchar_t* line; const wchar_t* delimiter; const wchar_t* expected; };
    const Case cases[] = {
        {L"a b c", L";", L"a;b;c"},
        {L"a  b", L";", L"a;;b"},
        {L"abc \"def ghi\" jkl", L";", L"abc;def ghi;jkl"},
        {L"\"a b\" c d", L";", L"a b;c d"},
        {L"\"a\" \"b\"", L";", L"a;b"},
        {L"\"a\"  \"b\"", L";", L"a;;b"},
        {L"abc \"def\"", L";", L"abc;def"},
        {L"abc \"\"", L";", L"abc"},
        {L"", L";", L""},
        {L"a;b", L";", L"a;b"},
        {L"a b", L"|", L"a|b"},
        {L" ", L";", L""},
        {L"\"\"", L";", L""},
        {L"abc \"def", L";", L"abc;def"},
        {L"\"a;b\"", L";", L"a;b"},
        {L"  abc \"d e\"", L";", L"abc;d e"},
        {L"a \"b\"", L"--", L"a--b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(command(data.get(), c.line, c.delimiter), c.expected) << "GetDataCls [" << std::string(c.line, c.line + wcslen(c.line)) << "]";
        EXPECT_EQ(command(windows.get(), c.line, c.delimiter), c.expected);
        EXPECT_EQ(command(app.get(), c.line, c.delimiter), c.expected);
    }
}

TEST(CommandLineMember, CommandVariantsConvertToText) {
    auto data = create<_GetDataCls>(L"kroProgramDll.GetDataCls");
    ASSERT_TRUE(data);
    auto run = [&](VARIANT& arg, HRESULT* hr) {
        BSTR delim = ::SysAllocString(L";");
        BSTR result = nullptr;
        *hr = data->GetCommand(&arg, &delim, &result);
        std::wstring t = text(result);
        ::SysFreeString(result);
        ::SysFreeString(delim);
        return t;
    };
    HRESULT hr;
    Variant v;
    v.vt = VT_I4;
    v.lVal = 123;
    EXPECT_EQ(run(v, &hr), L"123");
    EXPECT_EQ(hr, S_OK);
    v.vt = VT_R8;
    v.dblVal = 1.5;
    EXPECT_EQ(run(v, &hr), L"1.5");
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    EXPECT_EQ(run(v, &hr), L"True");
    v.vt = VT_EMPTY;
    EXPECT_EQ(run(v, &hr), L"");
    EXPECT_EQ(hr, S_OK);

    // A by-reference text, as a late-bound caller hands its variable on.
    Variant inner;
    inner.vt = VT_BSTR;
    inner.bstrVal = ::SysAllocString(L"x \"y z\"");
    VARIANT ref;
    ::VariantInit(&ref);
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &inner;
    EXPECT_EQ(run(ref, &hr), L"x;y z");
    EXPECT_EQ(text(inner.bstrVal), L"x \"y z\"");

    v.vt = VT_NULL;
    run(v, &hr);
    EXPECT_EQ(errorNumber(hr), 94);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    Bstr description;
    info->GetDescription(description.put());
    EXPECT_EQ(text(description.get()), L"Invalid use of Null");

    // An array is no text.
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_VARIANT, 0, 2);
    Variant arr;
    arr.vt = VT_ARRAY | VT_VARIANT;
    arr.parray = array;
    run(arr, &hr);
    EXPECT_EQ(errorNumber(hr), 13);
}

TEST(CommandLineMember, OverflowLimitsReachTheCaller) {
    auto windows = create<_WindowsCls>(L"kroProgramDll.WindowsCls");
    ASSERT_TRUE(windows);
    auto run = [&](const std::wstring& line) {
        Variant arg;
        arg.vt = VT_BSTR;
        arg.bstrVal = ::SysAllocStringLen(line.data(), static_cast<UINT>(line.size()));
        BSTR result = nullptr;
        HRESULT hr = windows->GetCommand(&arg, nullptr, &result);
        ::SysFreeString(result);
        return hr;
    };
    EXPECT_EQ(run(std::wstring(32766, L'a') + L"\"b\""), S_OK);
    EXPECT_EQ(errorNumber(run(std::wstring(32767, L'a') + L"\"b\"")), 6);
    EXPECT_EQ(errorNumber(run(std::wstring(32767, L'"'))), 6);
    EXPECT_EQ(run(std::wstring(32766, L'"')), S_OK);
}

TEST(CommandLineMember, ByNameOmittedDelimiterIsSemicolonOnEveryClass) {
    for (const wchar_t* progId :
         {L"kroProgramDll.GetDataCls", L"kroProgramDll.WindowsCls", L"kroProgramDll.ApplicationCls"}) {
        auto object = create<IDispatch>(progId);
        ASSERT_TRUE(object);
        Variant line;
        line.vt = VT_BSTR;
        line.bstrVal = ::SysAllocString(L"a b \"c d\"");
        Variant result;
        ASSERT_EQ(invokeByName(object.get(), L"GetCommand", {&line}, &result), S_OK);
        ASSERT_EQ(result.vt, VT_BSTR);
        EXPECT_EQ(text(result.bstrVal), L"a;b;c d") << std::string(progId, progId + wcslen(progId));
    }
}

TEST(CommandLineMember, ByNameDefaultDelimiterAndLongDelimiter) {
    auto app = create<_ApplicationCls>(L"kroProgramDll.ApplicationCls");
    ASSERT_TRUE(app);
    Variant line;
    line.vt = VT_BSTR;
    line.bstrVal = ::SysAllocString(L"p q \"r s\"");
    Variant result;
    ASSERT_EQ(invokeByName(app.get(), L"GetCommand", {&line}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(text(result.bstrVal), L"p;q;r s");

    Variant delim;
    delim.vt = VT_BSTR;
    delim.bstrVal = ::SysAllocString(L" / ");
    Variant result2;
    ASSERT_EQ(invokeByName(app.get(), L"GetCommand", {&line, &delim}, &result2), S_OK);
    EXPECT_EQ(text(result2.bstrVal), L"p / q / r s");

    Variant nullLine;
    nullLine.vt = VT_NULL;
    Variant result3;
    EXCEPINFO info{};
    EXPECT_EQ(invokeByName(app.get(), L"GetCommand", {&nullLine}, &result3, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, static_cast<SCODE>(0x800A005E));
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
}

TEST(CommandLineMember, NullPointersFromTheVtable) {
    auto data = create<_GetDataCls>(L"kroProgramDll.GetDataCls");
    ASSERT_TRUE(data);
    BSTR result = nullptr;
    EXPECT_EQ(errorNumber(data->GetCommand(nullptr, nullptr, &result)), 5);
    // A null delimiter pointer is the omitted one: the semicolon.
    Variant line;
    line.vt = VT_BSTR;
    line.bstrVal = ::SysAllocString(L"x y");
    ASSERT_EQ(data->GetCommand(&line, nullptr, &result), S_OK);
    EXPECT_EQ(text(result), L"x;y");
    ::SysFreeString(result);
    // A null BSTR delimiter is the empty text.
    BSTR none = nullptr;
    result = nullptr;
    ASSERT_EQ(data->GetCommand(&line, &none, &result), S_OK);
    EXPECT_EQ(text(result), L"xy");
    ::SysFreeString(result);
}

TEST(NtFamilyMember, WineIsTheNtFamily) {
    auto windows = create<_WindowsCls>(L"kroProgramDll.WindowsCls");
    ASSERT_TRUE(windows);
    VARIANT_BOOL nt = 12345;
    ASSERT_EQ(windows->IsWinNT(&nt), S_OK);
    EXPECT_EQ(nt, VARIANT_TRUE);
}
