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

// The window's controls in table order; their Win32 ids are these numbers.
enum Part : int {
    Label0 = 100, Target, ViewTarget, Label1, LinkFile, ViewLinkFile, Label2, IconFile, IconIndex, ViewIcon, Label3,
    WorkFolder, ViewWorkFolder, Options, Label4, CommandLine, ViewCommandLine, Label5, HotKey, Label6, WindowStyle,
    Label7, Description, Create, Exit,
};

// String table entries of the window.
enum Text : UINT {
    kAllFiles = 2001, kShortcutFiles, kIconFiles,
    kTitle = 3000, kTargetLabel, kLinkFileLabel, kIconLabel, kWorkFolderLabel, kCommandLineLabel, kHotKeyLabel,
    kWindowStyleLabel, kDescriptionLabel, kOptionsCaption, kCreateButton, kExitButton, kPickButton, kZero,
    kMacroList = 4000,  // count, then the macros the folder and command-line lists offer
};

constexpr ControlDesign kControls[] = {
    {Label0, ControlKind::Label, 120, 180, 6000, 180, kTargetLabel},
    {Target, ControlKind::Edit, 210, 360, 7035, 315},
    {ViewTarget, ControlKind::Button, 7650, 360, 735, 375, kPickButton},
    {Label1, ControlKind::Label, 150, 930, 6000, 180, kLinkFileLabel},
    {LinkFile, ControlKind::Edit, 240, 1110, 7005, 315},
    {ViewLinkFile, ControlKind::Button, 7650, 1110, 735, 375, kPickButton},
    {Label2, ControlKind::Label, 150, 1710, 6000, 180, kIconLabel},
    {IconFile, ControlKind::Edit, 240, 1890, 6525, 315},
    {IconIndex, ControlKind::Edit, 6750, 1890, 495, 315, kZero},
    {ViewIcon, ControlKind::Button, 7650, 1860, 735, 375, kPickButton},
    {Label3, ControlKind::Label, 150, 2400, 6000, 180, kWorkFolderLabel},
    {WorkFolder, ControlKind::ComboBox, 240, 2580, 7035, 300},
    {ViewWorkFolder, ControlKind::Button, 7650, 2520, 735, 375, kPickButton},
    {Options, ControlKind::Frame, 210, 3090, 8145, 2955, kOptionsCaption},
    {Label4, ControlKind::Label, 60, 300, 1800, 420, kCommandLineLabel, Options},
    {CommandLine, ControlKind::ComboBox, 1890, 240, 5385, 300, 0, Options},
    {ViewCommandLine, ControlKind::Button, 7530, 3270, 735, 375, kPickButton},
    {Label5, ControlKind::Label, 60, 790, 1800, 420, kHotKeyLabel, Options},
    {HotKey, ControlKind::Edit, 1890, 760, 5385, 345, 0, Options},
    {Label6, ControlKind::Label, 60, 1280, 1800, 420, kWindowStyleLabel, Options},
    {WindowStyle, ControlKind::Edit, 1890, 1325, 5385, 315, kZero, Options},
    {Label7, ControlKind::Label, 60, 1770, 1800, 420, kDescriptionLabel, Options},
    {Description, ControlKind::Edit, 1890, 1860, 5385, 1035, 0, Options},
    {Create, ControlKind::Button, 4110, 6240, 2925, 405, kCreateButton},
    {Exit, ControlKind::Button, 7290, 6240, 1305, 405, kExitButton},
};

constexpr WindowDesign kDesign{
    L"frmShortcut", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 8745, 6795, false, kControls,
};

constexpr const wchar_t* kAppPathMacro = L"$AppPath$";
constexpr const wchar_t* kFolderTitle = L"フォルダを選択してください";
constexpr const wchar_t* kFinished = L"終了しました";
constexpr const wchar_t* kBadWindowStyle =
    L"実行時の大きさには -32768 から 32767 までの数値を入力してください。ショートカットは作成していません。";


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
    Control& work = control(WorkFolder);
    Control& commandLine = control(CommandLine);
    for (const std::wstring& macro : toolkit::loadStringList(kMacroList)) {
        work.addItem(macro);
        commandLine.addItem(macro);
    }
    work.setText(kAppPathMacro);
}

void ShortcutWindow::onCommand(Control& c, int notification) {
    if (c.kind() != ControlKind::Button || notification != BN_CLICKED) return;
    switch (c.part()) {
    case ViewTarget: pickFile(Target, false); break;
    case ViewLinkFile: pickFile(LinkFile, true); break;
    case ViewIcon: pickFile(IconFile, false); break;
    case ViewCommandLine: pickFile(CommandLine, false); break;
    case ViewWorkFolder: pickFolder(); break;
    case Create: createShortcut(); break;
    case Exit: unload(); break;
    default: break;
    }
}

std::wstring ShortcutWindow::replacePath(std::wstring_view path, std::wstring_view sourceFile) {
    return path::expandFolderMacros(path::replaceAll(path, kAppPathMacro, path::folderOf(sourceFile)), hwnd());
}

void ShortcutWindow::pickFile(int field, bool save) {
    // A shortcut file is picked as itself, not as its target. The shortcut file to create need
    // not exist yet, so only the open dialog insists on an existing file.
    dialog_.flags = OFN_NODEREFERENCELINKS | OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
    dialog_.filter = toolkit::loadString(kAllFiles) + L"|*.*|" + toolkit::loadString(kShortcutFiles) + L"|*.lnk|" +
                     toolkit::loadString(kIconFiles) + L"|*.ico;*.cur;*.exe;*.dll;*.com|";
    // The filter each field starts with: all files, shortcut files, icon files, all files.
    dialog_.filterIndex = field == LinkFile ? 2 : field == IconFile ? 3 : field == CommandLine ? 4 : 1;
    bool chosen = save ? dialog_.showSave(hwnd()) : dialog_.showOpen(hwnd());
    if (!chosen || !loaded()) return;
    control(field).setText(dialog_.fileName);
}

void ShortcutWindow::pickFolder() {
    browse::FolderRequest request;
    request.title = kFolderTitle;
    request.owner = hwnd();
    request.flags = BIF_BROWSEINCLUDEFILES;
    std::wstring folder = browse::browseForFolder(request);
    if (!folder.empty() && loaded()) control(WorkFolder).setText(folder);
}

void ShortcutWindow::createShortcut() {
    short showCmd = 0;
    if (!readWindowStyle(control(WindowStyle).text(), showCmd)) {
        toolkit::messageBox(kBadWindowStyle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::wstring target = control(Target).text();
    Control& work = control(WorkFolder);
    work.setText(replacePath(work.text(), target));
    Control& commandLine = control(CommandLine);
    commandLine.setText(replacePath(commandLine.text(), target));
    Control& file = control(LinkFile);
    if (file.text().find(L".lnk") == std::wstring::npos) file.setText(file.text() + L".lnk");

    shortcut::ShortcutInfo info;
    info.targetPath = target;
    info.arguments = commandLine.text();
    info.workingDirectory = work.text();
    info.description = control(Description).text();
    info.iconFile = control(IconFile).text();
    info.iconIndex = control(IconIndex).text();
    info.hotKey = control(HotKey).text();
    info.windowStyle = showCmd;
    // A failed write tells the user itself; the closing message follows every attempt.
    shortcut::writeShortcutOrTell(file.text(), info);
    toolkit::messageBox(kFinished, MB_OK | MB_ICONINFORMATION);
}

}  // namespace kro::ui
