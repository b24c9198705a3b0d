#include "dialogs/registry_window.h"

#include <memory>

#include "frame/per_thread.h"
#include "settings/registry.h"
#include "frame/errors.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

// String table entries of the window.
constexpr UINT kTitle = 5000;
constexpr UINT kFirstLabel = 5001;
constexpr UINT kFirstButton = 5005;
constexpr UINT kRootCount = 6000;

constexpr ControlDesign kControls[] = {
    {ControlKind::Label, L"lblCaption", 0, 135, 135, 3000, 240},
    {ControlKind::ComboBox, L"cmbRoots", 0, 180, 405, 3525, 300},
    {ControlKind::Label, L"lblCaption", 1, 180, 810, 3000, 180},
    {ControlKind::Edit, L"txtKey", 0, 180, 990, 9105, 330, L"Software\\"},
    {ControlKind::Label, L"lblCaption", 2, 180, 1500, 3000, 165},
    {ControlKind::Edit, L"txtValueName", 0, 180, 1665, 3795, 330},
    {ControlKind::Label, L"lblCaption", 3, 4470, 1500, 3000, 165},
    {ControlKind::Edit, L"txtValue", 0, 4455, 1665, 4830, 330},
    {ControlKind::Button, L"cmdAction", 0, 6705, 180, 1095, 330},
    {ControlKind::Button, L"cmdAction", 1, 7920, 180, 1095, 330},
};

constexpr WindowDesign kDesign{
    L"frmRegistry", L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 9420, 2220, false, kControls,
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
    setTitle(toolkit::loadString(kTitle));
    for (int i = 0; i < 4; ++i) control(L"lblCaption", i).setText(toolkit::loadString(kFirstLabel + i));
    for (int i = 0; i < 2; ++i) control(L"cmdAction", i).setText(toolkit::loadString(kFirstButton + i));
    Control& roots = control(L"cmbRoots");
    int count = _wtoi(toolkit::loadString(kRootCount).c_str());
    for (int k = 1; k <= count; ++k) {
        std::wstring name;
        LONG number = 0;
        if (parseRootEntry(toolkit::loadString(kRootCount + k), name, number)) roots.addItem(name, number);
    }
}

void RegistryWindow::onCommand(Control& c, int notification) {
    if (notification != BN_CLICKED || c.name() != L"cmdAction") return;
    if (c.index() == 0) write();
    else unload();
}

void RegistryWindow::write() {
    Control& roots = control(L"cmbRoots");
    int chosen = roots.selection();
    if (chosen < 0) {
        // A root name typed in full counts as chosen; anything else is no root at all.
        LRESULT typed = ::SendMessageW(roots.hwnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(roots.text().c_str()));
        if (typed == CB_ERR || roots.text().empty()) {
            toolkit::messageBox(kNoRoot, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        chosen = static_cast<int>(typed);
    }
    HKEY root = registry::rootKey(static_cast<LONG>(roots.itemData(chosen)));
    // The status is the registry's own business; the user is told that the write has run.
    registry::writeText(root, control(L"txtKey").text(), control(L"txtValueName").text(), control(L"txtValue").text());
    toolkit::messageBox(kWritten, MB_OK | MB_ICONINFORMATION);
}

}  // namespace kro::ui
