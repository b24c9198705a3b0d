// MainCls: the library's introduction notice, shown for a second in the message window.
#include "dialogs/MainCls.h"

#include "dialogs/message_window.h"
#include "frame/toolkit.h"

using namespace kro;

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
