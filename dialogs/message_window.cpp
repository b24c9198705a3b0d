#include "dialogs/message_window.h"

#include "frame/per_thread.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

enum Part : int { Picture = 100, Message };

constexpr UINT kTextDesign = 7200;  // the string table's design text of the message

constexpr ControlDesign kControls[] = {
    {Picture, ControlKind::Image, 270, 420, 480, 480},
    {Message, ControlKind::Label, 930, 450, 5505, 645, kTextDesign},
};

constexpr WindowDesign kDesign{
    L"frmMessage", 0, WS_POPUP | WS_DLGFRAME, WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, 6450, 1320, true, kControls,
};

}  // namespace

MessageWindow::MessageWindow() : Window(kDesign) {}

MessageWindow& MessageWindow::instance() { return perThread<MessageWindow>(); }

void MessageWindow::message(std::wstring_view text, HWND owner, IPictureDisp* icon) {
    // A notice: shown in front of its owner without taking the keyboard from the client.
    show(owner, false);
    control(Message).setText(text);
    if (icon)
        control(Picture).setPicture(icon);
    else
        control(Picture).setImage(toolkit::loadIcon(toolkit::kIconLibrary), false);
    paintNow();
    toolkit::pumpMessages();
}

}  // namespace kro::ui
