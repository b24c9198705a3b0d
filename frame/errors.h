#pragma once
// Automation errors: the runtime error numbers that script and VB callers know, carried as
// MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number) so that they see Err.Number = number.
#include <windows.h>

#include <exception>
#include <string>

#include "frame/error_table.h"

namespace kro {

namespace err {
#define KRO_ERROR_NUMBER(name, number, description, when) constexpr long name = number;
KRO_ERROR_TABLE(KRO_ERROR_NUMBER)
#undef KRO_ERROR_NUMBER
}  // namespace err

// The source named in every error the library raises.
inline constexpr const wchar_t* kErrorSource = L"kroProgramDll";

class AutomationError : public std::exception {
public:
    AutomationError(HRESULT hr, std::wstring description, std::wstring source = kErrorSource)
        : hr_(hr), description_(std::move(description)), source_(std::move(source)) {}
    HRESULT hr() const { return hr_; }
    // The runtime error number (Err.Number) this error shows to a script.
    long number() const;
    const std::wstring& description() const { return description_; }
    const std::wstring& source() const { return source_; }
    const char* what() const noexcept override { return "automation error"; }
private:
    HRESULT hr_;
    std::wstring description_;
    std::wstring source_;
};

constexpr HRESULT errorHresult(long number) {
    return static_cast<HRESULT>(0x80000000u | (static_cast<unsigned>(FACILITY_CONTROL) << 16) | (static_cast<unsigned>(number) & 0xFFFFu));
}

// The runtime's own wording for a standard error number.
std::wstring standardDescription(long number);

// The runtime error number for a Win32 error code (53 file not found, 76 path not found, ...).
long runtimeErrorFromWin32(DWORD win32Error);

[[noreturn]] void raise(long number);
// Catches raise(53) with a plain int: without it C's raise(int) from <signal.h> would be chosen
// silently; with it such a call is ambiguous and must be written kro::raise or use err::.
[[noreturn]] void raise(int number);
[[noreturn]] void raise(long number, std::wstring description);
// Raises the runtime error matching a Win32 error code (GetLastError() when omitted).
[[noreturn]] void raiseWin32(DWORD win32Error = ::GetLastError());
// Raises a failed COM call's error again, with its number, source and description when the
// callee supplied them through IErrorInfo.
[[noreturn]] void raiseHresult(HRESULT hr);
inline void check(HRESULT hr) { if (FAILED(hr)) raiseHresult(hr); }

// Publishes an error through SetErrorInfo for the interface iid and returns its HRESULT.
HRESULT reportError(const AutomationError& e, REFIID iid);

}  // namespace kro
