#include "dialogs/shortcut_window.h"

#include <commdlg.h>
#include <shlobj.h>

#include <memory>

#include "filesystem/browse.h"
#include "filesystem/path.h"
#include "filesystem/shortcut.h"
#include "frame/per_thread.h"
#include "frame/errors.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

// String table entries of the window.
constexpr UINT kTitle = 3000;
constexpr UINT kFirstLabel = 3001;
constexpr UINT kFrameCaption = 3009;
constexpr UINT kFirstButton = 3010;
constexpr UINT kAllFiles = 2001;
constexpr UINT kShortcutFiles = 2002;
constexpr UINT kIconFiles = 2003;
constexpr UINT kMacroCount = 4000;

constexpr const wchar_t* kFrame = L"Frame1";

constexpr ControlDesign kControls[] = {
    {ControlKind::Label, L"lblCaption", 0, 120, 180, 6000, 180},
    {ControlKind::Edit, L"txtPath", 0, 210, 360, 7035, 315},
    {ControlKind::Button, L"cmdView", 0, 7650, 360, 735, 375, L"..."},
    {ControlKind::Label, L"lblCaption", 1, 150, 930, 6000, 180},
    {ControlKind::Edit, L"txtPath", 1, 240, 1110, 7005, 315},
    {ControlKind::Button, L"cmdView", 1, 7650, 1110, 735, 375, L"..."},
    {ControlKind::Label, L"lblCaption", 2, 150, 1710, 6000, 180},
    {ControlKind::Edit, L"txtPath", 2, 240, 1890, 6525, 315},
    {ControlKind::Edit, L"txtII", 0, 6750, 1890, 495, 315, L"0"},
    {ControlKind::Button, L"cmdView", 2, 7650, 1860, 735, 375, L"..."},
    {ControlKind::Label, L"lblCaption", 3, 150, 2400, 6000, 180},
    {ControlKind::ComboBox, L"cmbWork", 0, 240, 2580, 7035, 300},
    {ControlKind::Button, L"cmdViewDir", 0, 7650, 2520, 735, 375, L"..."},
    {ControlKind::Frame, kFrame, 0, 210, 3090, 8145, 2955},
    {ControlKind::Label, L"lblCaption", 4, 60, 300, 1800, 420, L"", kFrame},
    {ControlKind::ComboBox, L"cmbCL", 0, 1890, 240, 5385, 300, L"", kFrame},
    {ControlKind::Button, L"cmdView", 3, 7530, 3270, 735, 375, L"..."},
    {ControlKind::Label, L"lblCaption", 5, 60, 790, 1800, 420, L"", kFrame},
    {ControlKind::Edit, L"txtHotkey", 0, 1890, 760, 5385, 345, L"", kFrame},
    {ControlKind::Label, L"lblCaption", 6, 60, 1280, 1800, 420, L"", kFrame},
    {ControlKind::Edit, L"txtSize", 0, 1890, 1325, 5385, 315, L"0", kFrame},
    {ControlKind::Label, L"lblCaption", 7, 60, 1770, 1800, 420, L"", kFrame},
    {ControlKind::Edit, L"txtText", 0, 1890, 1860, 5385, 1035, L"", kFrame},
    {ControlKind::Button, L"cmdAction", 0, 4110, 6240, 2925, 405},
    {ControlKind::Button, L"cmdAction", 1, 7290, 6240, 1305, 405},
};

constexpr WindowDesign kDesign{
    L"frmShortcut", L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 8745, 6795, false, kControls,
};

constexpr const wchar_t* kAppPathMacro = L"$AppPath$";
constexpr const wchar_t* kFolderTitle = L"フォルダを選択してください";
constexpr const wchar_t* kFinished = L"終了しました";
constexpr const wchar_t* kBadWindowStyle =
    L"実行時の大きさには -32768 から 32767 までの数値を入力してください。ショートカットは作成していません。";

constexpr int kShortcutFileButton = 1;
constexpr int kCommandLineButton = 3;

}  // namespace

bool readWindowStyle(std::wstring_view text, short& value) {
    std::wstring s(text);
    if (s.find(L'\0') != std::wstring::npos) return false;
    SHORT number = 0;
    if (FAILED(::VarI2FromStr(s.data(), LOCALE_USER_DEFAULT, 0, &number))) return false;
    value = number;
    return true;
}

ShortcutWindow::ShortcutWindow() : Window(kDesign) {}

ShortcutWindow& ShortcutWindow::instance() { return perThread<ShortcutWindow>(); }

void ShortcutWindow::onLoad() {
    setTitle(toolkit::loadString(kTitle));
    for (int i = 0; i < 8; ++i) control(L"lblCaption", i).setText(toolkit::loadString(kFirstLabel + i));
    for (int i = 0; i < 2; ++i) control(L"cmdAction", i).setText(toolkit::loadString(kFirstButton + i));
    control(kFrame).setText(toolkit::loadString(kFrameCaption));
    Control& work = control(L"cmbWork");
    Control& commandLine = control(L"cmbCL");
    int count = _wtoi(toolkit::loadString(kMacroCount).c_str());
    for (int k = 1; k <= count; ++k) {
        std::wstring macro = toolkit::loadString(kMacroCount + k);
        work.addItem(macro);
        commandLine.addItem(macro);
    }
    work.setText(kAppPathMacro);
}

void ShortcutWindow::onCommand(Control& c, int notification) {
    if (c.kind() != ControlKind::Button || notification != BN_CLICKED) return;
    if (c.name() == L"cmdView") pickFile(c.index());
    else if (c.name() == L"cmdViewDir") pickFolder();
    else if (c.name() == L"cmdAction" && c.index() == 0) createShortcut();
    else if (c.name() == L"cmdAction") unload();
}

std::wstring ShortcutWindow::replacePath(std::wstring_view path, std::wstring_view sourceFile) {
    return path::expandFolderMacros(path::replaceAll(path, kAppPathMacro, path::folderOf(sourceFile)), hwnd());
}

void ShortcutWindow::pickFile(int index) {
    bool save = index == kShortcutFileButton;
    // A shortcut file is picked as itself, not as its target. The shortcut file to create need
    // not exist yet, so only the open dialog insists on an existing file.
    dialog_.flags = OFN_NODEREFERENCELINKS | OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
    dialog_.filter = toolkit::loadString(kAllFiles) + L"|*.*|" + toolkit::loadString(kShortcutFiles) + L"|*.lnk|" +
                     toolkit::loadString(kIconFiles) + L"|*.ico;*.cur;*.exe;*.dll;*.com|";
    dialog_.filterIndex = index + 1;
    bool chosen = save ? dialog_.showSave(hwnd()) : dialog_.showOpen(hwnd());
    if (!chosen || !loaded()) return;
    Control& field = index == kCommandLineButton ? control(L"cmbCL") : control(L"txtPath", index);
    field.setText(dialog_.fileName);
}

void ShortcutWindow::pickFolder() {
    browse::FolderRequest request;
    request.title = kFolderTitle;
    request.owner = hwnd();
    request.flags = BIF_BROWSEINCLUDEFILES;
    std::wstring folder = browse::browseForFolder(request);
    if (!folder.empty() && loaded()) control(L"cmbWork").setText(folder);
}

void ShortcutWindow::createShortcut() {
    short showCmd = 0;
    if (!readWindowStyle(control(L"txtSize").text(), showCmd)) {
        toolkit::messageBox(kBadWindowStyle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::wstring target = control(L"txtPath", 0).text();
    Control& work = control(L"cmbWork");
    work.setText(replacePath(work.text(), target));
    Control& commandLine = control(L"cmbCL");
    commandLine.setText(replacePath(commandLine.text(), target));
    Control& file = control(L"txtPath", 1);
    if (file.text().find(L".lnk") == std::wstring::npos) file.setText(file.text() + L".lnk");

    shortcut::ShortcutInfo info;
    info.targetPath = target;
    info.arguments = commandLine.text();
    info.workingDirectory = work.text();
    info.description = control(L"txtText").text();
    info.iconFile = control(L"txtPath", 2).text();
    info.iconIndex = control(L"txtII").text();
    info.hotKey = control(L"txtHotkey").text();
    info.windowStyle = showCmd;
    // A failed write tells the user itself; the closing message follows every attempt.
    shortcut::writeShortcutOrTell(file.text(), info);
    toolkit::messageBox(kFinished, MB_OK | MB_ICONINFORMATION);
}

}  // namespace kro::ui
