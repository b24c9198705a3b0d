#pragma once
// The RegistryCls automation class: one adapter per member of _RegistryCls.
// Where its members are:
//   registry_members.cpp: CreateRegKey, ManyMkKey, DeleteRegKey, SetRegValue, SetRegBinary,
//       GetRegValue, GetRegBinary, DeleteRegValue, ManyDeleteRegKey, GetEnumRegistryKeys,
//       SetStartupFile, DeleteStartupFile, GetRegErrorText
#include "frame/com_object.h"

class RegistryCls final : public kro::ComObject<RegistryCls, _RegistryCls> {
public:
    HRESULT STDMETHODCALLTYPE CreateRegKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) override;
    HRESULT STDMETHODCALLTYPE ManyMkKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) override;
    HRESULT STDMETHODCALLTYPE DeleteRegKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) override;
    HRESULT STDMETHODCALLTYPE SetRegValue(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, BSTR strValue, LONG *result) override;
    HRESULT STDMETHODCALLTYPE SetRegBinary(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, SAFEARRAY **strValue, LONG *result) override;
    HRESULT STDMETHODCALLTYPE GetRegValue(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, BSTR *strValue, LONG *result) override;
    HRESULT STDMETHODCALLTYPE GetRegBinary(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, SAFEARRAY **strValue, LONG *result) override;
    HRESULT STDMETHODCALLTYPE DeleteRegValue(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, BSTR *strValueName, LONG *result) override;
    HRESULT STDMETHODCALLTYPE ManyDeleteRegKey(RegistryRoots *lngKeyRoot, BSTR *strRegistryKey, LONG *result) override;
    HRESULT STDMETHODCALLTYPE GetEnumRegistryKeys(RegistryRoots lngKeyRoot, BSTR strRegistryKey, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE SetStartupFile(BSTR *ValueName, BSTR *TargetFile, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE DeleteStartupFile(BSTR *ValueName, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE GetRegErrorText(LONG *lStatus, BSTR *result) override;
};
