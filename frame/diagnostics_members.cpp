// DebugCls, KeyCodeCls and MainCls: tracing that leaves no trace, the key state of the calling
// thread, and the library's introduction notice.
#include "frame/DebugCls.h"
#include "frame/KeyCodeCls.h"
#include "frame/MainCls.h"

#include "dialogs/message_window.h"
#include "frame/toolkit.h"

using namespace kro;

HRESULT DebugCls::Enter(BSTR*) { return S_OK; }

HRESULT DebugCls::DebugPrint(LONG*, BSTR*) { return S_OK; }

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

namespace {

// Waits `milliseconds` of elapsed time while the thread's messages keep being processed.
void waitPumping(DWORD milliseconds) {
    ULONGLONG end = ::GetTickCount64() + milliseconds;
    for (;;) {
        toolkit::pumpMessages();
        ULONGLONG now = ::GetTickCount64();
        if (now >= end) break;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace

HRESULT MainCls::Info() {
    return call([&] {
        ui::MessageWindow& window = ui::MessageWindow::instance();
        try {
            ComPtr<IPictureDisp> icon = ui::libraryIcon(toolkit::kIconIntroduction);
            window.message(L"開発者:kro\r\nソフト名:kro program dll", nullptr, icon.get());
        } catch (const AutomationError& e) {
            throw AutomationError(e.hr(), L"MainCls.紹介: " + e.description(), e.source());
        }
        waitPumping(1000);
        window.unload();
    });
}
