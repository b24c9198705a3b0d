#pragma once
// The message window: a small notice with an icon and a word-wrapped text, without title bar or
// buttons, shown modeless in front of its owner. One instance per client thread.
#include "dialogs/window.h"

namespace kro::ui {

class MessageWindow final : public Window {
public:
    // This thread's instance, created on first use.
    static MessageWindow& instance();

    // Shows `text` and `icon` (null: the library's icon 100), owned by `owner` (null: none), and
    // paints them before returning.
    void message(std::wstring_view text, HWND owner, IPictureDisp* icon);

    MessageWindow();
};

}  // namespace kro::ui
