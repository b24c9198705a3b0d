#pragma once
// The DebugCls automation class: one adapter per member of _DebugCls.
// Where its members are:
//   debug_members.cpp: Enter, DebugPrint
#include "frame/com_object.h"

class DebugCls final : public kro::ComObject<DebugCls, _DebugCls> {
public:
    HRESULT STDMETHODCALLTYPE Enter(BSTR *strProcname) override;
    HRESULT STDMETHODCALLTYPE DebugPrint(LONG *lngError, BSTR *strProcname) override;
};
