#pragma once
// The GetDataCls automation class: one adapter per member of _GetDataCls.
// Where its members are:
//   version_members.cpp: GetWindowsVersion, GetCommand
#include "frame/com_object.h"

class GetDataCls final : public kro::ComObject<GetDataCls, _GetDataCls> {
public:
    HRESULT STDMETHODCALLTYPE GetWindowsVersion(BSTR *GetBuildNumber, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) override;
};
