// Members that are still to be built report "not implemented" to every caller.
#include "system/GetDataCls.h"
#include "system/WindowsCls.h"
#include "system/ApplicationCls.h"

HRESULT GetDataCls::GetWindowsVersion(BSTR *GetBuildNumber, BSTR *result) { return notImplemented(L"GetWindowsVersion"); }
HRESULT GetDataCls::GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) { return notImplemented(L"GetCommand"); }
HRESULT WindowsCls::GetWindowsVersion(BSTR *GetBuildNumber, BSTR *result) { return notImplemented(L"GetWindowsVersion"); }
HRESULT WindowsCls::GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) { return notImplemented(L"GetCommand"); }
HRESULT ApplicationCls::GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) { return notImplemented(L"GetCommand"); }
