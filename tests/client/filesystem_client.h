#pragma once
// Client-side helpers for the file-system tests: creating a class by ProgID and calling a
// member by name through IDispatch, as a script host does.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"

namespace kro::client {

template <class I>
I* create(const wchar_t* progId) {
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(progId, &clsid))) return nullptr;
    I* p = nullptr;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), reinterpret_cast<void**>(&p));
    return p;
}

// A counted interface pointer for tests.
template <class I>
struct Object {
    explicit Object(const wchar_t* progId) : p(create<I>(progId)) {}
    ~Object() { if (p) p->Release(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    I* operator->() const { return p; }
    I* p;
};

// The runtime error number carried by a failed member's HRESULT.
inline long errorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : -1; }

// Calls `name` through IDispatch with the arguments in their written order; returns the HRESULT
// and fills `excep` on DISP_E_EXCEPTION.
inline HRESULT callByName(IDispatch* d, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result,
                          EXCEPINFO* excep = nullptr) {
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO local{};
    UINT argErr = 0;
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, excep ? excep : &local, &argErr);
    if (!excep) {
        ::SysFreeString(local.bstrSource);
        ::SysFreeString(local.bstrDescription);
        ::SysFreeString(local.bstrHelpFile);
    }
    return hr;
}

using kro::test::byRef;

// A BSTR owned by the test.
struct Text {
    explicit Text(const std::wstring& s = L"") : b(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    ~Text() { ::SysFreeString(b); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    std::wstring str() const { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); }
    BSTR b;
};

// The folder of this test program, where the test modules are built.
inline std::wstring programFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring s = self;
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

}  // namespace kro::client
