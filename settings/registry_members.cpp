// Members that are still to be built report "not implemented" to every caller.
#include "settings/RegistryCls.h"

HRESULT RegistryCls::CreateRegKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) { return notImplemented(L"CreateRegKey"); }
HRESULT RegistryCls::ManyMkKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) { return notImplemented(L"ManyMkKey"); }
HRESULT RegistryCls::DeleteRegKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) { return notImplemented(L"DeleteRegKey"); }
HRESULT RegistryCls::SetRegValue(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, BSTR strValue, LONG *result) { return notImplemented(L"SetRegValue"); }
HRESULT RegistryCls::SetRegBinary(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, SAFEARRAY **strValue, LONG *result) { return notImplemented(L"SetRegBinary"); }
HRESULT RegistryCls::GetRegValue(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, BSTR *strValue, LONG *result) { return notImplemented(L"GetRegValue"); }
HRESULT RegistryCls::GetRegBinary(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, SAFEARRAY **strValue, LONG *result) { return notImplemented(L"GetRegBinary"); }
HRESULT RegistryCls::DeleteRegValue(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, LONG *result) { return notImplemented(L"DeleteRegValue"); }
HRESULT RegistryCls::ManyDeleteRegKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) { return notImplemented(L"ManyDeleteRegKey"); }
HRESULT RegistryCls::GetEnumRegistryKeys(RegistryRoots lngKeyRoot, BSTR strRegistryKey, SAFEARRAY **result) { return notImplemented(L"GetEnumRegistryKeys"); }
HRESULT RegistryCls::SetStartupFile(BSTR *ValueName, BSTR *TargetFile, VARIANT *result) { return notImplemented(L"SetStartupFile"); }
HRESULT RegistryCls::DeleteStartupFile(BSTR *ValueName, VARIANT *result) { return notImplemented(L"DeleteStartupFile"); }
HRESULT RegistryCls::GetRegErrorText(LONG *lStatus, BSTR *result) { return notImplemented(L"GetRegErrorText"); }
