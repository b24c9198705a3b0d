// Members that are still to be built report "not implemented" to every caller.
#include "settings/IniFileCls.h"

HRESULT IniFileCls::GetIniValue(BSTR *FileName, BSTR *Section, BSTR *Key, BSTR *Default, VARIANT *result) { return notImplemented(L"GetIniValue"); }
HRESULT IniFileCls::SetIniValue(BSTR *FileName, BSTR *Section, BSTR *Key, BSTR *value, VARIANT *result) { return notImplemented(L"SetIniValue"); }
HRESULT IniFileCls::SetIniKeyAndValue(BSTR *FileName, BSTR *Section, SAFEARRAY **KeyAndValue, VARIANT *result) { return notImplemented(L"SetIniKeyAndValue"); }
