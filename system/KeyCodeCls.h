#pragma once
// The KeyCodeCls automation class: one adapter per member of _KeyCodeCls.
// Where its members are:
//   key_state_members.cpp: key_Down
#include "frame/com_object.h"

class KeyCodeCls final : public kro::ComObject<KeyCodeCls, _KeyCodeCls> {
public:
    HRESULT STDMETHODCALLTYPE key_Down(utd_ApiKeyCodes *chk_Key, VARIANT_BOOL *result) override;
};
