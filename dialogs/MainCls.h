#pragma once
// The MainCls automation class: one adapter per member of _MainCls.
// Where its members are:
//   introduction_members.cpp: Info
#include "frame/com_object.h"

class MainCls final : public kro::ComObject<MainCls, _MainCls> {
public:
    HRESULT STDMETHODCALLTYPE Info() override;
};
