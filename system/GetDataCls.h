#pragma once
// The GetDataCls automation class: one adapter per member of _GetDataCls.
#include "frame/com_object.h"

class GetDataCls final : public kro::ComObject<GetDataCls, _GetDataCls> {
public:
    static constexpr const wchar_t* className = L"GetDataCls";

    HRESULT STDMETHODCALLTYPE GetWindowsVersion(BSTR *GetBuildNumber, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) override;
};
