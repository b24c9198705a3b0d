#pragma once
// Helpers for tests that use the library as a client: create by ProgID, call by name.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "frame/raii.h"

namespace kro::test {

// The module under test, as a Windows path.
std::wstring modulePath();

// Creates kroProgramDll.<className>; fails the calling test when it cannot.
ComPtr<IDispatch> create(const std::wstring& className);

// Calls a member by name with positional arguments (given in natural order).
struct CallResult {
    HRESULT hr = S_OK;
    Variant value;
    EXCEPINFO excep{};
    UINT argErr = 0;
    CallResult() = default;
    CallResult(const CallResult&) = delete;
    ~CallResult();
};
void callByName(IDispatch* object, const std::wstring& member, std::vector<VARIANT*> args, CallResult& out,
                WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

// Runs the disabled test `testName` of this program in a process of its own (for tests that load
// and unload the module, away from the other tests); returns its exit code (0: passed).
DWORD runDisabledTestInOwnProcess(const std::wstring& testName);

// The process's committed private memory, added up region by region (Wine reports the
// PrivateUsage counter of GetProcessMemoryInfo as 0).
SIZE_T privateBytes();

// Owned VARIANT builders.
VARIANT text(const std::wstring& s);
VARIANT i4(LONG v);
VARIANT i2(SHORT v);
VARIANT r8(double v);
// A by-reference argument pointing at the caller's variable.
VARIANT byRef(BSTR* target);
VARIANT byRef(LONG* target);
VARIANT byRef(VARIANT_BOOL* target);
VARIANT byRef(VARIANT* target);

}  // namespace kro::test
