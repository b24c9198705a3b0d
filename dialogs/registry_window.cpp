#include "dialogs/registry_window.h"

#include <memory>

#include "frame/per_thread.h"
#include "settings/registry.h"
#include "frame/errors.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

// The window's controls; their Win32 ids are these numbers.
enum Part : int {
    Label0 = 100, Roots, Label1, Key, Label2, ValueName, Label3, Value, Write, Exit,
};

// String table entries of the window.
enum Text : UINT {
    kTitle = 5000, kRootLabel, kKeyLabel, kValueNameLabel, kValueLabel, kWriteButton, kExitButton, kKeyDesign,
    kRootList = 6000,  // count, then "name|&Hnumber" entries
};

constexpr ControlDesign kControls[] = {
    {Label0, ControlKind::Label, 135, 135, 3000, 240, kRootLabel},
    {Roots, ControlKind::ComboBox, 180, 405, 3525, 300},
    {Label1, ControlKind::Label, 180, 810, 3000, 180, kKeyLabel},
    {Key, ControlKind::Edit, 180, 990, 9105, 330, kKeyDesign},
    {Label2, ControlKind::Label, 180, 1500, 3000, 165, kValueNameLabel},
    {ValueName, ControlKind::Edit, 180, 1665, 3795, 330},
    {Label3, ControlKind::Label, 4470, 1500, 3000, 165, kValueLabel},
    {Value, ControlKind::Edit, 4455, 1665, 4830, 330},
    {Write, ControlKind::Button, 6705, 180, 1095, 330, kWriteButton},
    {Exit, ControlKind::Button, 7920, 180, 1095, 330, kExitButton},
};

constexpr WindowDesign kDesign{
    L"frmRegistry", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 9420, 2220, false, kControls,
};

constexpr const wchar_t* kWritten = L"書き込みが終了しました";
constexpr const wchar_t* kNoRoot = L"ルートを一覧から選択してください。何も書き込んでいません。";

}  // namespace

bool parseRootEntry(std::wstring_view entry, std::wstring& name, LONG& number) {
    size_t bar = entry.find(L'|');
    if (bar == std::wstring_view::npos) return false;
    std::wstring_view literal = entry.substr(bar + 1);
    if (literal.size() < 3 || literal[0] != L'&' || (literal[1] != L'H' && literal[1] != L'h') || literal.size() > 10)
        return false;
    ULONG value = 0;
    for (wchar_t c : literal.substr(2)) {
        int digit = c >= L'0' && c <= L'9' ? c - L'0'
                    : c >= L'A' && c <= L'F' ? c - L'A' + 10
                    : c >= L'a' && c <= L'f' ? c - L'a' + 10
                                             : -1;
        if (digit < 0) return false;
        value = value << 4 | static_cast<ULONG>(digit);
    }
    name.assign(entry.substr(0, bar));
    number = static_cast<LONG>(value);  // "&H80000000" is the negative 32-bit value, as written
    return true;
}

RegistryWindow::RegistryWindow() : Window(kDesign) {}

RegistryWindow& RegistryWindow::instance() { return perThread<RegistryWindow>(); }

void RegistryWindow::onLoad() {
    Control& roots = control(Roots);
    for (const std::wstring& entry : toolkit::loadStringList(kRootList)) {
        std::wstring name;
        LONG number = 0;
        if (parseRootEntry(entry, name, number)) roots.addItem(name, number);
    }
}

void RegistryWindow::onCommand(Control& c, int notification) {
    if (notification != BN_CLICKED) return;
    if (c.part() == Write) write();
    else if (c.part() == Exit) unload();
}

void RegistryWindow::write() {
    Control& roots = control(Roots);
    int chosen = roots.selection();
    if (chosen < 0) {
        // A root name typed in full counts as chosen; anything else is no root at all.
        chosen = roots.text().empty() ? -1 : roots.findItem(roots.text());
        if (chosen < 0) {
            toolkit::messageBox(kNoRoot, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    HKEY root = registry::rootKey(static_cast<LONG>(roots.itemData(chosen)));
    // The status is the registry's own business; the user is told that the write has run.
    registry::writeText(root, control(Key).text(), control(ValueName).text(), control(Value).text());
    toolkit::messageBox(kWritten, MB_OK | MB_ICONINFORMATION);
}

}  // namespace kro::ui
