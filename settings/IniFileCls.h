#pragma once
// The IniFileCls automation class: one adapter per member of _IniFileCls.
// Where its members are:
//   ini_members.cpp: GetIniValue, SetIniValue, SetIniKeyAndValue
#include "frame/com_object.h"

class IniFileCls final : public kro::ComObject<IniFileCls, _IniFileCls> {
public:
    HRESULT STDMETHODCALLTYPE GetIniValue(BSTR *FileName, BSTR *Section, BSTR *Key, BSTR *Default, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE SetIniValue(BSTR *FileName, BSTR *Section, BSTR *Key, BSTR *value, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE SetIniKeyAndValue(BSTR *FileName, BSTR *Section, SAFEARRAY **KeyAndValue, VARIANT *result) override;
};
