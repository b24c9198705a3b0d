#include "tests/client/client_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kro::test {

std::wstring modulePath() {
    std::wstring unix = KRO_DLL_PATH;
    std::replace(unix.begin(), unix.end(), L'/', L'\\');
    return L"Z:" + unix;
}

ComPtr<IDispatch> create(const std::wstring& className) {
    CLSID clsid;
    ComPtr<IDispatch> object;
    HRESULT hr = ::CLSIDFromProgID((L"kroProgramDll." + className).c_str(), &clsid);
    EXPECT_EQ(hr, S_OK) << "ProgID of " << std::string(className.begin(), className.end());
    if (SUCCEEDED(hr)) {
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid());
        EXPECT_EQ(hr, S_OK);
    }
    return object;
}

CallResult::~CallResult() {
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrHelpFile);
}

void callByName(IDispatch* object, const std::wstring& member, std::vector<VARIANT*> args, CallResult& out, WORD flags) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(member.c_str());
    out.hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(out.hr)) return;
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    out.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &out.value, &out.excep, &out.argErr);
    // by-value arguments were copied shallowly: write their (unchanged) bits back for cleanup
    for (size_t i = 0; i < args.size(); ++i) *args[i] = reversed[args.size() - 1 - i];
}

SIZE_T privateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (const char* p = nullptr; ::VirtualQuery(p, &mbi, sizeof(mbi)) == sizeof(mbi);
         p = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
        if (static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize < p) break;
    }
    return total;
}

VARIANT text(const std::wstring& s) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return v;
}

VARIANT i4(LONG x) { VARIANT v; ::VariantInit(&v); v.vt = VT_I4; v.lVal = x; return v; }
VARIANT i2(SHORT x) { VARIANT v; ::VariantInit(&v); v.vt = VT_I2; v.iVal = x; return v; }
VARIANT r8(double x) { VARIANT v; ::VariantInit(&v); v.vt = VT_R8; v.dblVal = x; return v; }
namespace {

VARIANT reference(VARTYPE vt, void* target) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = static_cast<VARTYPE>(VT_BYREF | vt);
    v.byref = target;
    return v;
}

}  // namespace

VARIANT byRef(BSTR* target) { return reference(VT_BSTR, target); }
VARIANT byRef(LONG* target) { return reference(VT_I4, target); }
VARIANT byRef(VARIANT_BOOL* target) { return reference(VT_BOOL, target); }
VARIANT byRef(VARIANT* target) { return reference(VT_VARIANT, target); }

DWORD runDisabledTestInOwnProcess(const std::wstring& testName) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + testName;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return ~0u;
    ::WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

}  // namespace kro::test
