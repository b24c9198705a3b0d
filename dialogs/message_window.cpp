#include "dialogs/message_window.h"

#include "frame/per_thread.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

constexpr ControlDesign kControls[] = {
    {ControlKind::Image, L"Image1", 0, 270, 420, 480, 480},
    {ControlKind::Label, L"Label1", 0, 930, 450, 5505, 645, L"Label1"},
};

constexpr WindowDesign kDesign{
    L"frmMessage", L"", WS_POPUP | WS_DLGFRAME, WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, 6450, 1320, true, kControls,
};

}  // namespace

MessageWindow::MessageWindow() : Window(kDesign) {}

MessageWindow& MessageWindow::instance() { return perThread<MessageWindow>(); }

void MessageWindow::message(std::wstring_view text, HWND owner, IPictureDisp* icon) {
    // A notice: shown in front of its owner without taking the keyboard from the client.
    show(owner, false);
    control(L"Label1").setText(text);
    if (icon)
        control(L"Image1").setPicture(icon);
    else
        control(L"Image1").setImage(toolkit::loadIcon(toolkit::kIconLibrary), false);
    ::UpdateWindow(hwnd());
    toolkit::pumpMessages();
}

}  // namespace kro::ui
