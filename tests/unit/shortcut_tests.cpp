#include <gtest/gtest.h>

#include <objbase.h>

#include "filesystem/shortcut.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/test_files.h"

using namespace kro;

using test::readShortcut;
using Stored = test::StoredShortcut;

namespace {

class ShortcutFiles : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { ::CoUninitialize(); }
    test::TempDir dir;
};

}  // namespace

TEST(ShortcutHotKey, ModifiersInAnyOrderAndCase) {
    EXPECT_EQ(shortcut::parseHotKey(L""), WORD{0});
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+ALT+A"), WORD(((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | 'A'));
    EXPECT_EQ(shortcut::parseHotKey(L"alt+Ctrl+a"), WORD(((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | 'A'));
    EXPECT_EQ(shortcut::parseHotKey(L"Shift+Ext+F12"), WORD(((HOTKEYF_SHIFT | HOTKEYF_EXT) << 8) | VK_F12));
    EXPECT_EQ(shortcut::parseHotKey(L"SHIFT+CTRL+ALT+EXT+9"), WORD(0x0F00 | '9'));
    EXPECT_EQ(shortcut::parseHotKey(L"F1"), WORD(VK_F1));
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+F24"), WORD((HOTKEYF_CONTROL << 8) | VK_F24));
}

TEST(ShortcutHotKey, VirtualKeyNames) {
    EXPECT_EQ(shortcut::parseHotKey(L"Alt+Home"), WORD((HOTKEYF_ALT << 8) | VK_HOME));
    EXPECT_EQ(shortcut::parseHotKey(L"ALT+End"), WORD((HOTKEYF_ALT << 8) | VK_END));
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+Prior"), WORD((HOTKEYF_CONTROL << 8) | VK_PRIOR));
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+next"), WORD((HOTKEYF_CONTROL << 8) | VK_NEXT));
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+Insert"), WORD((HOTKEYF_CONTROL << 8) | VK_INSERT));
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+SHIFT+Delete"), WORD(((HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8) | VK_DELETE));
    EXPECT_EQ(shortcut::parseHotKey(L"Ctrl+Left"), WORD((HOTKEYF_CONTROL << 8) | VK_LEFT));
    EXPECT_EQ(shortcut::parseHotKey(L"Ctrl+Up"), WORD((HOTKEYF_CONTROL << 8) | VK_UP));
    EXPECT_EQ(shortcut::parseHotKey(L"ALT+Numpad0"), WORD((HOTKEYF_ALT << 8) | VK_NUMPAD0));
    EXPECT_EQ(shortcut::parseHotKey(L"ALT+NUMPAD9"), WORD((HOTKEYF_ALT << 8) | VK_NUMPAD9));
    EXPECT_EQ(shortcut::parseHotKey(L"CTRL+Space"), WORD((HOTKEYF_CONTROL << 8) | VK_SPACE));
}

TEST(ShortcutHotKey, UnknownOrMalformedIsRefused) {
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+Banana"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL"));
    EXPECT_FALSE(shortcut::parseHotKey(L"META+A"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+F0"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+F25"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+F01"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+AB"));
    EXPECT_FALSE(shortcut::parseHotKey(L"CTRL+\u3042"));
    EXPECT_FALSE(shortcut::parseHotKey(L"+"));
}

TEST(ShortcutIcon, LocationText) {
    EXPECT_EQ(shortcut::iconLocation(L"C:\\app.exe", L"2"), L"C:\\app.exe, 2");
    EXPECT_EQ(shortcut::iconLocation(L"C:\\app.exe", L""), L"C:\\app.exe");
    EXPECT_EQ(shortcut::iconLocation(L"", L"2"), L"");
}

TEST(ShellLinkStatus, EveryText) {
    EXPECT_EQ(shortcut::statusText(0), L"ショートカット情報の登録または取得に成功しました。");
    EXPECT_EQ(shortcut::statusText(1), L"CoInitialize の実行に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(2), L"CoCreateInstance の実行に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(3), L"QueryInterface の実行に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(4), L"ショートカットファイルの Save または Load に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(5), L"Unicode への変換に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(6), L"失敗しました。");
    EXPECT_EQ(shortcut::statusText(24), L"リンク先の設定または取得に\r\nコマンドライン引数の設定または取得に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(-1),
              L"リンク先の設定または取得に\r\n"
              L"コマンドライン引数の設定または取得に\r\n"
              L"作業フォルダの設定または取得に\r\n"
              L"Description の設定または取得に\r\n"
              L"アイコンのパスおよびインデックスの設定または取得に\r\n"
              L"ショートカットキーの設定または取得に\r\n"
              L"実行時の大きさの設定または取得に\r\n"
              L"失敗しました。");
    EXPECT_EQ(shortcut::statusText(512 | 32 | 7), L"作業フォルダの設定または取得に\r\n実行時の大きさの設定または取得に\r\n失敗しました。");
    EXPECT_EQ(shortcut::statusText(1024), L"失敗しました。");
}

TEST_F(ShortcutFiles, RoundTripOfEveryProperty) {
    test::writeBytes(dir / L"app.exe", {0});
    shortcut::ShortcutInfo info;
    info.targetPath = dir / L"app.exe";
    info.arguments = L"/x \"a b\"";
    info.workingDirectory = dir.path() + L"\\";
    info.description = L"説明 text";
    info.iconFile = L"C:\\windows\\system32\\shell32.dll";
    info.iconIndex = L"2";
    info.hotKey = L"CTRL+ALT+F5";
    info.windowStyle = SW_SHOWMAXIMIZED;
    std::wstring lnk = dir / L"app.lnk";
    ASSERT_TRUE(shortcut::writeShortcut(lnk, info, true));

    Stored s = readShortcut(lnk);
    EXPECT_EQ(s.target, info.targetPath);
    EXPECT_EQ(s.arguments, info.arguments);
    EXPECT_EQ(s.folder, info.workingDirectory);
    EXPECT_EQ(s.description, info.description);
    EXPECT_EQ(s.iconFile, info.iconFile);
    EXPECT_EQ(s.iconIndex, 2);
    EXPECT_EQ(s.hotKey, WORD(((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | VK_F5));
    EXPECT_EQ(s.showCmd, SW_SHOWMAXIMIZED);
}

TEST_F(ShortcutFiles, UpdateClearsEmptyTextsAndKeepsTheWindowStyleForZero) {
    shortcut::ShortcutInfo info;
    info.targetPath = L"C:\\windows\\notepad.exe";
    info.arguments = L"old.txt";
    info.description = L"old comment";
    info.iconFile = L"C:\\windows\\notepad.exe";
    info.hotKey = L"ALT+Z";
    info.windowStyle = SW_SHOWMINNOACTIVE;
    std::wstring lnk = dir / L"update.LNK";
    ASSERT_TRUE(shortcut::writeShortcut(lnk, info, true));

    shortcut::ShortcutInfo again;
    again.targetPath = L"C:\\windows\\regedit.exe";
    ASSERT_TRUE(shortcut::writeShortcut(lnk, again, true));
    Stored s = readShortcut(lnk);
    EXPECT_EQ(s.target, L"C:\\windows\\regedit.exe");
    EXPECT_EQ(s.arguments, L"");
    EXPECT_EQ(s.description, L"");
    EXPECT_EQ(s.iconFile, L"");
    EXPECT_EQ(s.hotKey, 0);
    EXPECT_EQ(s.showCmd, SW_SHOWMINNOACTIVE);

    // Without clearing, what is not given keeps its stored value.
    shortcut::ShortcutInfo keep;
    keep.arguments = L"new.txt";
    ASSERT_TRUE(shortcut::writeShortcut(lnk, keep, false));
    s = readShortcut(lnk);
    EXPECT_EQ(s.target, L"C:\\windows\\regedit.exe");
    EXPECT_EQ(s.arguments, L"new.txt");
}

TEST_F(ShortcutFiles, IconFileWithoutIndexIsTheFirstIcon) {
    shortcut::ShortcutInfo info;
    info.targetPath = L"C:\\windows\\notepad.exe";
    info.iconFile = L"C:\\icons,old\\app.ico";  // a comma in the path stays in the path
    std::wstring lnk = dir / L"icon.lnk";
    ASSERT_TRUE(shortcut::writeShortcut(lnk, info, true));
    Stored s = readShortcut(lnk);
    EXPECT_EQ(s.iconFile, info.iconFile);
    EXPECT_EQ(s.iconIndex, 0);

    info.iconFile.clear();
    info.iconIndex = L"5";  // an index without a file writes no icon
    ASSERT_TRUE(shortcut::writeShortcut(lnk, info, true));
    s = readShortcut(lnk);
    EXPECT_EQ(s.iconFile, L"");

    info.iconFile = L"C:\\app.exe";
    info.iconIndex = L"-3";
    ASSERT_TRUE(shortcut::writeShortcut(lnk, info, true));
    s = readShortcut(lnk);
    EXPECT_EQ(s.iconIndex, -3);
}

TEST_F(ShortcutFiles, FailuresWriteNothing) {
    shortcut::ShortcutInfo info;
    info.targetPath = L"C:\\windows\\notepad.exe";
    EXPECT_FALSE(shortcut::writeShortcut(dir / L"no-extension", info, true));
    EXPECT_FALSE(shortcut::writeShortcut(dir / L"wrong.txt", info, true));
    EXPECT_FALSE(shortcut::writeShortcut(L"", info, true));
    EXPECT_FALSE(test::fileExists(dir / L"no-extension"));
    EXPECT_FALSE(test::fileExists(dir / L"wrong.txt"));

    info.hotKey = L"CTRL+Nothing";
    EXPECT_FALSE(shortcut::writeShortcut(dir / L"hot.lnk", info, true));
    EXPECT_FALSE(test::fileExists(dir / L"hot.lnk"));

    info.hotKey.clear();
    info.iconFile = L"C:\\app.exe";
    info.iconIndex = L"two";
    EXPECT_FALSE(shortcut::writeShortcut(dir / L"icon.lnk", info, true));
    EXPECT_FALSE(test::fileExists(dir / L"icon.lnk"));

    info.iconIndex.clear();
    EXPECT_FALSE(shortcut::writeShortcut(dir / L"no\\such\\folder\\x.lnk", info, true));

    // A file that is no shortcut is not overwritten.
    test::writeBytes(dir / L"text.lnk", {'h', 'i'});
    EXPECT_FALSE(shortcut::writeShortcut(dir / L"text.lnk", info, true));
    EXPECT_EQ(test::readBytes(dir / L"text.lnk"), (std::vector<unsigned char>{'h', 'i'}));
}
