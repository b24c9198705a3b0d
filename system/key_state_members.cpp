// KeyCodeCls: the key state of the calling thread.
#include "system/KeyCodeCls.h"

using namespace kro;

HRESULT KeyCodeCls::key_Down(utd_ApiKeyCodes* chk_Key, VARIANT_BOOL* result) {
    return call([&] {
        if (!chk_Key || !result) raise(err::InvalidCall);
        // The state as this thread's message queue last saw it; entry 256 is never set.
        BYTE state[257] = {};
        ::GetKeyboardState(state);
        long key = static_cast<long>(*chk_Key);
        if (key < 0 || key > 256) raise(err::SubscriptOutOfRange);
        *result = (state[key] & 0x80) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}
