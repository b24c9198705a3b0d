#include "tests/client/filesystem_client.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::client;

using test::readShortcut;
using Stored = test::StoredShortcut;

TEST(MkShortcutClient, EveryArgumentThroughTheVtable) {
    test::TempDir dir;
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(vorel.p);
    Text target(L"C:\\windows\\notepad.exe"), lnk(dir / L"note.lnk"), args(L"readme.txt"),
        iconFile(L"C:\\windows\\notepad.exe"), iconIndex(L"1"), folder(L"C:\\windows\\"), comment(L"メモ帳"),
        hotKey(L"Ctrl+Shift+N");
    short show = SW_SHOWMINNOACTIVE;
    test::UiWatcher watcher({IDOK});
    EXPECT_HRESULT_SUCCEEDED(vorel->MkShortcut(&target.b, &lnk.b, &args.b, &iconFile.b, &iconIndex.b, &folder.b,
                                               &comment.b, &hotKey.b, &show));
    Stored s = readShortcut(lnk.str());
    EXPECT_EQ(s.target, L"C:\\windows\\notepad.exe");
    EXPECT_EQ(s.arguments, L"readme.txt");
    EXPECT_EQ(s.folder, L"C:\\windows\\");
    EXPECT_EQ(s.description, L"メモ帳");
    EXPECT_EQ(s.iconFile, L"C:\\windows\\notepad.exe");
    EXPECT_EQ(s.iconIndex, 1);
    EXPECT_EQ(s.hotKey, WORD(((HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8) | 'N'));
    EXPECT_EQ(s.showCmd, SW_SHOWMINNOACTIVE);

    // Updating it: empty texts clear what was stored, ShowCmd 0 keeps the window style.
    Text empty;
    short zero = 0;
    EXPECT_HRESULT_SUCCEEDED(vorel->MkShortcut(&target.b, &lnk.b, &empty.b, &empty.b, &empty.b, &empty.b, &empty.b,
                                               &empty.b, &zero));
    s = readShortcut(lnk.str());
    EXPECT_EQ(s.target, L"C:\\windows\\notepad.exe");
    EXPECT_EQ(s.arguments, L"");
    EXPECT_EQ(s.folder, L"");
    EXPECT_EQ(s.description, L"");
    EXPECT_EQ(s.iconFile, L"");
    EXPECT_EQ(s.hotKey, 0);
    EXPECT_EQ(s.showCmd, SW_SHOWMINNOACTIVE);
    ::Sleep(200);
    EXPECT_TRUE(watcher.seen().empty());
}

TEST(MkShortcutClient, OnlyFileSystemClsFillsAnEmptyWorkingFolder) {
    test::TempDir dir;
    test::writeBytes(dir / L"tool.exe", {0});
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(fs.p && vorel.p);

    // Called by name with only the two required arguments, the working folder omitted.
    Text target(dir / L"tool.exe"), lnk1(dir / L"fs.lnk"), lnk2(dir / L"vorel.lnk");
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_HRESULT_SUCCEEDED(callByName(fs.p, L"MkShortcut", {byRef(&target.b), byRef(&lnk1.b)}, &result));
    ASSERT_HRESULT_SUCCEEDED(callByName(vorel.p, L"MkShortcut", {byRef(&target.b), byRef(&lnk2.b)}, &result));
    EXPECT_EQ(readShortcut(lnk1.str()).folder, dir.path() + L"\\");
    EXPECT_EQ(readShortcut(lnk2.str()).folder, L"");

    // The caller's own empty variable receives the folder.
    VARIANT folder;
    ::VariantInit(&folder);
    folder.vt = VT_BSTR;
    folder.bstrVal = ::SysAllocString(L"");
    VARIANT missing;
    missing.vt = VT_ERROR;
    missing.scode = DISP_E_PARAMNOTFOUND;
    Text lnk3(dir / L"fs3.lnk");
    ASSERT_HRESULT_SUCCEEDED(callByName(fs.p, L"MkShortcut",
                                        {byRef(&target.b), byRef(&lnk3.b), missing, missing, missing, byRef(&folder)},
                                        &result));
    ASSERT_EQ(folder.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(folder.bstrVal), dir.path() + L"\\");
    ::VariantClear(&folder);

    // A folder given is kept as it is.
    Text given(L"C:\\windows\\"), empty;
    short zero = 0;
    Text lnk4(dir / L"fs4.lnk");
    EXPECT_HRESULT_SUCCEEDED(fs->MkShortcut(&target.b, &lnk4.b, &empty.b, &empty.b, &empty.b, &given.b, &empty.b, &empty.b, &zero));
    EXPECT_EQ(given.str(), L"C:\\windows\\");
    EXPECT_EQ(readShortcut(lnk4.str()).folder, L"C:\\windows\\");
}

TEST(MkShortcutClient, FailureIsToldInAMessageBoxNotToTheCaller) {
    test::TempDir dir;
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    Text target(L"C:\\windows\\notepad.exe"), notLnk(dir / L"note.txt"), badKey(L"CTRL+Whatever"), lnk(dir / L"k.lnk"),
        empty;
    short zero = 0;
    test::UiWatcher watcher({IDOK});
    EXPECT_HRESULT_SUCCEEDED(fs->MkShortcut(&target.b, &notLnk.b, &empty.b, &empty.b, &empty.b, &empty.b, &empty.b, &empty.b, &zero));
    EXPECT_HRESULT_SUCCEEDED(fs->MkShortcut(&target.b, &lnk.b, &empty.b, &empty.b, &empty.b, &empty.b, &empty.b, &badKey.b, &zero));
    ASSERT_TRUE(watcher.waitFor(2));
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 2u);
    for (const auto& box : seen) {
        EXPECT_EQ(box.text, L"ｼｮｰﾄｶｯﾄの作成に失敗しました。");
        EXPECT_EQ(box.caption, L"kro project program dll library");
        EXPECT_EQ(box.icon, test::BoxIcon::Exclamation);
        EXPECT_EQ(box.buttons.size(), 1u);
    }
    EXPECT_FALSE(test::fileExists(notLnk.str()));
    EXPECT_FALSE(test::fileExists(lnk.str()));
}

TEST(GetShellLinkErrStrClient, TextsThroughBothPaths) {
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    VARIANT v;
    ::VariantInit(&v);
    ASSERT_HRESULT_SUCCEEDED(fs->GetShellLinkErrStr(24, &v));
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_STREQ(v.bstrVal, L"リンク先の設定または取得に\r\nコマンドライン引数の設定または取得に\r\n失敗しました。");
    ::VariantClear(&v);

    VARIANT code;
    code.vt = VT_I4;
    code.lVal = 4;
    ASSERT_HRESULT_SUCCEEDED(callByName(fs.p, L"GetShellLinkErrStr", {code}, &v));
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_STREQ(v.bstrVal, L"ショートカットファイルの Save または Load に\r\n失敗しました。");
    ::VariantClear(&v);
}
