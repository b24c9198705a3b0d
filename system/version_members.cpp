// GetWindowsVersion and GetCommand: one implementation, exposed by GetDataCls, WindowsCls and
// ApplicationCls alike.
#include "system/ApplicationCls.h"
#include "system/GetDataCls.h"
#include "system/WindowsCls.h"

#include "frame/raii.h"
#include "frame/text.h"
#include "system/command_line.h"
#include "system/version.h"

using namespace kro;

namespace {

constexpr long kInvalidUseOfNull = 94;

void windowsVersion(BSTR* buildNumber, BSTR* result) {
    sysinfo::VersionRecord v = sysinfo::queryVersion();
    std::wstring text = sysinfo::versionText(v.major, v.minor);
    if (buildNumber) assign(buildNumber, sysinfo::buildText(v.build));
    *result = allocBstr(text);
}

// The command as text, the way the runtime converts a Variant to a String: Null cannot be
// converted, numbers and dates use the user's locale, Booleans read "True"/"False".
std::wstring commandText(const VARIANT* command) {
    if (!command) raise(err::InvalidCall);
    Variant value;
    HRESULT hr = ::VariantCopyInd(&value, const_cast<VARIANT*>(command));
    if (FAILED(hr)) raise(err::TypeMismatch);
    if (value.vt == VT_NULL) raise(kInvalidUseOfNull, L"Invalid use of Null");
    if (value.vt == VT_BSTR) return str(value.bstrVal);
    Variant text;
    hr = ::VariantChangeTypeEx(&text, &value, LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR);
    if (FAILED(hr)) raise(hr == DISP_E_OVERFLOW ? err::Overflow : hr == E_OUTOFMEMORY ? err::OutOfMemory : err::TypeMismatch);
    return str(text.bstrVal);
}

void commandItems(VARIANT* command, BSTR* delimiter, BSTR* result) {
    std::wstring text = commandText(command);
    std::wstring separator = delimiter ? str(*delimiter) : std::wstring(L";");
    *result = allocBstr(cmdline::parse(text, separator));
}

}  // namespace

HRESULT GetDataCls::GetWindowsVersion(BSTR* GetBuildNumber, BSTR* result) {
    return call([&] { windowsVersion(GetBuildNumber, result); });
}

HRESULT GetDataCls::GetCommand(VARIANT* Command, BSTR* Delimiter, BSTR* result) {
    return call([&] { commandItems(Command, Delimiter, result); });
}

HRESULT WindowsCls::GetWindowsVersion(BSTR* GetBuildNumber, BSTR* result) {
    return call([&] { windowsVersion(GetBuildNumber, result); });
}

HRESULT WindowsCls::GetCommand(VARIANT* Command, BSTR* Delimiter, BSTR* result) {
    return call([&] { commandItems(Command, Delimiter, result); });
}

HRESULT ApplicationCls::GetCommand(VARIANT* Command, BSTR* Delimiter, BSTR* result) {
    return call([&] { commandItems(Command, Delimiter, result); });
}
