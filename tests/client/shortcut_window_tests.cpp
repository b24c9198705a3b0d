// The shortcut maker window as a person uses it: shown through FormCls, filled in, files and
// folders picked with the pickers, the shortcut created and read back with the shell's link
// object.
#include <gtest/gtest.h>
#include <windows.h>

#include "frame/raii.h"
#include "tests/client/client_support.h"
#include "tests/client/filesystem_client.h"
#include "tests/client/window_test_support.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/test_files.h"

using namespace kro;
using namespace kro::test;

namespace {

// Controls in the window's table order (the layer numbers them from 100).
enum ShortcutControl {
    Label0, Target, ViewTarget, Label1, LinkFile, ViewLinkFile, Label2, IconFile, IconIndex, ViewIcon, Label3,
    Work, ViewWork, Options, Label4, CommandLine, ViewCommandLine, Label5, HotKey, Label6, Size, Label7, Text,
    Create, Exit
};
HWND part(HWND window, ShortcutControl c) { return ::GetDlgItem(window, 100 + c); }

HWND showShortcutWindow() {
    client::Object<_FormCls> form(L"kroProgramDll.FormCls");
    EXPECT_EQ(form->Shortcut_Show(), S_OK);
    return windowOfThisThread(L"frmShortcut");
}

std::wstring windowsFolder() {
    wchar_t buf[MAX_PATH] = {};
    ::GetWindowsDirectoryW(buf, MAX_PATH);
    return buf;
}

RECT rectIn(HWND window, HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST(ShortcutWindow, ShowsItsCaptionsMacrosAndLayout) {
    HWND w = showShortcutWindow();
    ASSERT_NE(w, nullptr);
    SeenWindow seen = inspect(w);
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.caption, L"ショートカットの作成");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.client.cx, px(8745));
    EXPECT_EQ(seen.client.cy, px(6795));

    const wchar_t* labels[] = {L"リンク元のファイル(&S):", L"リンク先のファイル(&D):",
                               L"ショートカットのアイコンファイル(&I):", L"ショートカットの作業フォルダ(&W):",
                               L"コマンドライン(&C):", L"ホットキー(&H):", L"実行時の大きさ(&S)",
                               L"ショートカットの説明(&D):"};
    ShortcutControl labelParts[] = {Label0, Label1, Label2, Label3, Label4, Label5, Label6, Label7};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(textOf(part(w, labelParts[i])), labels[i]) << i;
    EXPECT_EQ(textOf(part(w, Options)), L"ショートカットオプション");
    EXPECT_EQ(textOf(part(w, Create)), L"ショートカットファイルの作成(&M)");
    EXPECT_EQ(textOf(part(w, Exit)), L"終了(&X)");
    for (ShortcutControl view : {ViewTarget, ViewLinkFile, ViewIcon, ViewWork, ViewCommandLine})
        EXPECT_EQ(textOf(part(w, view)), L"...");
    EXPECT_EQ(textOf(part(w, Work)), L"$AppPath$");
    EXPECT_EQ(textOf(part(w, CommandLine)), L"");
    EXPECT_EQ(textOf(part(w, IconIndex)), L"0");
    EXPECT_EQ(textOf(part(w, Size)), L"0");

    const wchar_t* macros[] = {L"$AppPath$", L"$WinDir$", L"$System$", L"$ProgramFiles$",
                               L"$Start_Menu$", L"$Programs$", L"$DeskTop$"};
    for (ShortcutControl combo : {Work, CommandLine}) {
        ASSERT_EQ(::SendMessageW(part(w, combo), CB_GETCOUNT, 0, 0), 7);
        for (int i = 0; i < 7; ++i) {
            wchar_t item[64] = {};
            ::SendMessageW(part(w, combo), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            EXPECT_STREQ(item, macros[i]);
        }
    }

    // Controls of the options frame sit relative to it.
    RECT frame = rectIn(w, part(w, Options));
    RECT size = rectIn(w, part(w, Size));
    EXPECT_EQ(frame.left, px(210));
    EXPECT_EQ(frame.top, px(3090));
    EXPECT_NEAR(size.left, px(210 + 1890), 1);
    EXPECT_NEAR(size.top, px(3090 + 1325), 1);
    EXPECT_EQ(size.right - size.left, px(5385));
    // Nothing visible overlaps: the command-line button stays right of its combo box.
    EXPECT_LE(rectIn(w, part(w, CommandLine)).right, rectIn(w, part(w, ViewCommandLine)).left);
    click(part(w, Exit));
    EXPECT_EQ(windowOfThisThread(L"frmShortcut"), nullptr);
}

TEST(ShortcutWindow, CreatesAShortcutWithMacrosExpandedAndRefusesABadWindowStyle) {
    TempDir temp;
    std::wstring tools = temp / L"ツール";
    ASSERT_TRUE(::CreateDirectoryW(tools.c_str(), nullptr));
    std::wstring target = tools + L"\\app.exe";
    writeBytes(target, {'M', 'Z'});
    std::wstring linkFile = temp / L"アプリ";

    HWND w = showShortcutWindow();
    ASSERT_NE(w, nullptr);
    ::SetWindowTextW(part(w, Target), target.c_str());
    ::SetWindowTextW(part(w, LinkFile), linkFile.c_str());
    ::SetWindowTextW(part(w, CommandLine), L"$AppPath$readme.txt $apppath$ $windir$");
    ::SetWindowTextW(part(w, Text), L"説明_한");

    // A window style that is no number: a warning, no file, and the fields as they were.
    ::SetWindowTextW(part(w, Size), L"最大");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Create));
        ASSERT_TRUE(watcher.waitFor(1));
        auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].icon, BoxIcon::Exclamation);
    }
    EXPECT_FALSE(fileExists(linkFile + L".lnk"));
    EXPECT_EQ(textOf(part(w, Work)), L"$AppPath$");
    EXPECT_EQ(textOf(part(w, LinkFile)), linkFile);

    ::SetWindowTextW(part(w, Size), L"3");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Create));
        ASSERT_TRUE(watcher.waitFor(1));
        auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u) << "only the closing message after a good write";
        EXPECT_EQ(seen[0].text, L"終了しました");
        EXPECT_EQ(seen[0].icon, BoxIcon::Asterisk);
    }
    // The fields show what was used: macros expanded ("$AppPath$" only as written), ".lnk" added.
    std::wstring folder = tools + L"\\";
    std::wstring expectedLine = folder + L"readme.txt $apppath$ " + windowsFolder();
    EXPECT_EQ(textOf(part(w, Work)), folder);
    EXPECT_EQ(_wcsicmp(textOf(part(w, CommandLine)).c_str(), expectedLine.c_str()), 0) << textOf(part(w, CommandLine));
    EXPECT_EQ(textOf(part(w, LinkFile)), linkFile + L".lnk");
    ASSERT_TRUE(fileExists(linkFile + L".lnk"));
    StoredShortcut link = readShortcut(linkFile + L".lnk");
    EXPECT_EQ(_wcsicmp(link.target.c_str(), target.c_str()), 0) << link.target;
    EXPECT_EQ(_wcsicmp(link.arguments.c_str(), expectedLine.c_str()), 0) << link.arguments;
    EXPECT_EQ(link.folder, folder);
    EXPECT_EQ(link.description, L"説明_한");
    EXPECT_EQ(link.showCmd, SW_MAXIMIZE);

    // A name that already contains ".lnk" is used as typed; the shortcut writer refuses one that
    // does not end in it, tells the user, and the closing message still follows.
    std::wstring second = temp / L"two.lnk.bak";
    ::SetWindowTextW(part(w, LinkFile), second.c_str());
    ::SetWindowTextW(part(w, Size), L"0");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Create));
        ASSERT_TRUE(watcher.waitFor(2));
        auto seen = watcher.seen();
        EXPECT_EQ(seen[0].icon, BoxIcon::Exclamation);
        EXPECT_EQ(seen[1].text, L"終了しました");
    }
    EXPECT_EQ(textOf(part(w, LinkFile)), second);
    EXPECT_FALSE(fileExists(second));
    click(part(w, Exit));
}

TEST(ShortcutWindow, PicksFilesAndTheWorkingFolderAndKeepsFieldsOnCancel) {
    TempDir temp;
    std::wstring existingLink = temp / L"既存.lnk";
    {
        // A shortcut to pick: it must come back as itself, not as its target.
        client::Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
        Bstr t(windowsFolder() + L"\\notepad.exe"), f(existingLink), none;
        short show = 0;
        ASSERT_EQ(vorel->MkShortcut(t.ref(), f.ref(), none.ref(), none.ref(), none.ref(), none.ref(), none.ref(),
                                    none.ref(), &show), S_OK);
        ASSERT_TRUE(fileExists(existingLink));
    }
    HWND w = showShortcutWindow();
    ASSERT_NE(w, nullptr);

    // The shortcut file button: a save dialog on the shortcut filter that accepts a new name.
    std::wstring newLink = temp / L"新しい.lnk";
    SeenFileDialog save;
    std::thread watcher = watchFileDialog(save, newLink);
    click(part(w, ViewLinkFile));
    watcher.join();
    ASSERT_TRUE(save.found);
    EXPECT_EQ(save.filter, 1);
    EXPECT_EQ(textOf(part(w, LinkFile)), newLink);

    // The target button, cancelled: the field keeps its text.
    ::SetWindowTextW(part(w, Target), L"typed by hand");
    SeenFileDialog cancelled;
    watcher = watchFileDialog(cancelled, L"");
    click(part(w, ViewTarget));
    watcher.join();
    ASSERT_TRUE(cancelled.found);
    EXPECT_EQ(cancelled.filter, 0);
    EXPECT_EQ(textOf(part(w, Target)), L"typed by hand");

    // The target button again, choosing a shortcut file: the link itself is written.
    SeenFileDialog open;
    watcher = watchFileDialog(open, existingLink);
    click(part(w, ViewTarget));
    watcher.join();
    EXPECT_EQ(_wcsicmp(textOf(part(w, Target)).c_str(), existingLink.c_str()), 0) << textOf(part(w, Target));

    // The icon button opens on the icon filter.
    SeenFileDialog icon;
    watcher = watchFileDialog(icon, L"");
    click(part(w, ViewIcon));
    watcher.join();
    EXPECT_EQ(icon.filter, 2);

    // The folder button: the picker with its title, owned by the window; cancel keeps the field,
    // a choice replaces it.
    SeenPicker cancelPicker;
    watcher = watchPicker(cancelPicker, IDCANCEL);
    click(part(w, ViewWork));
    watcher.join();
    ASSERT_TRUE(cancelPicker.found);
    EXPECT_EQ(cancelPicker.title, L"フォルダを選択してください");
    EXPECT_EQ(cancelPicker.owner, w);
    EXPECT_EQ(textOf(part(w, Work)), L"$AppPath$");

    SeenPicker okPicker;
    watcher = watchPicker(okPicker, IDOK, true);
    click(part(w, ViewWork));
    watcher.join();
    ASSERT_TRUE(okPicker.found);
    std::wstring chosen = textOf(part(w, Work));
    EXPECT_NE(chosen, L"$AppPath$");
    EXPECT_TRUE(folderExists(chosen)) << chosen;
    click(part(w, Exit));
}

TEST(Screenshot, ShortcutWindow) {
    HWND w = showShortcutWindow();
    ASSERT_NE(w, nullptr);
    ::SetWindowTextW(part(w, Target), L"C:\\Tools\\Editor\\editor.exe");
    ::SetWindowTextW(part(w, LinkFile), L"$DeskTop$\\エディタ.lnk");
    ::SetWindowTextW(part(w, IconFile), L"C:\\Tools\\Editor\\editor.exe");
    ::SetWindowTextW(part(w, CommandLine), L"$AppPath$readme.txt");
    ::SetWindowTextW(part(w, HotKey), L"Ctrl+Alt+E");
    ::SetWindowTextW(part(w, Text), L"テキストエディタを起動します");
    expectDrawnAsDesigned(w, {px(8745), px(6795)});
    EXPECT_TRUE(saveScreenshot(w, L"shortcut_window"));
    click(part(w, Exit));
}
