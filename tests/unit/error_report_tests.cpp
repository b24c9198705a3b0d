#include <gtest/gtest.h>

#include "filesystem/fileversion.h"
#include "filesystem/path.h"
#include "frame/error_report.h"
#include "frame/module.h"
#include "frame/text.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"

using namespace kro;

namespace {

std::wstring versionSample() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return path::folderOf(self) + L"version_sample.dll";
}

// The file's lines, decoded from the ANSI code page; false when a line lacks its CR LF.
std::vector<std::wstring> readLines(const std::wstring& path, bool* allEndInCrLf) {
    auto bytes = test::readBytes(path);
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::wstring> lines;
    *allEndInCrLf = true;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            *allEndInCrLf = false;
            lines.push_back(fromAnsi(text.substr(start)));
            break;
        }
        lines.push_back(fromAnsi(text.substr(start, end - start)));
        start = end + 2;
    }
    return lines;
}

std::wstring expectedBoxText(const std::wstring& reportPath) {
    return L"\"" + reportPath +
           L"\"にエラーファイルを作成しました。できればソフト制作者に送ってください。今後のバージョンアップ時の参考として使わしてもらいます。\r\n"
           L"(注意：自己判断で送ってください。このファイルにはエラーに関係ありうると思われる情報がすべて入っています。一度中身をお確かめください。)";
}

const std::wstring kBanner(43, L'*');

}  // namespace

TEST(ErrorReportText, WindowsVersion) {
    EXPECT_EQ(errorreport::windowsVersionText(5, 1), L"5.01");
    EXPECT_EQ(errorreport::windowsVersionText(4, 10), L"4.10");
    EXPECT_EQ(errorreport::windowsVersionText(4, 0), L"4.00");
    EXPECT_EQ(errorreport::windowsVersionText(4, 90), L"4.90");
    EXPECT_EQ(errorreport::windowsVersionText(6, 1), L"6.01");
    EXPECT_EQ(errorreport::windowsVersionText(10, 123), L"10.23");
}

TEST(ErrorReportText, LabelsAndValues) {
    errorreport::Report r{L"frmCopy", L"ShowEx", -2147024894, L"", L""};
    auto lines = errorreport::reportLines(r, L"2024/01/02 3:04:05", L"1.0.0.3", L"6.01");
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0], kBanner);
    EXPECT_EQ(lines[5], L"* 2024/01/02 3:04:05");
    EXPECT_EQ(lines[6], kBanner);
    EXPECT_EQ(lines[10], L"エラー番号 = -2147024894");
    EXPECT_EQ(lines[11], L"エラーを発生させたオブジェクト = ");
    EXPECT_EQ(lines[12], L"エラーに対する簡単な説明 = ");
    EXPECT_EQ(lines[14], L"エラーを起こした際の\"VorelDll\"のバージョン = 1.0.0.3");
    EXPECT_EQ(lines[15], L"エラーを起こした際のWindowsのバージョン = 6.01");
    EXPECT_EQ(lines[16], L"<EOF>");
}

TEST(ErrorReportFile, SeventeenLinesBesideTheModuleAndTheBox) {
    test::TempDir dir;
    ASSERT_TRUE(::CopyFileW(versionSample().c_str(), (dir / L"library.dll").c_str(), FALSE));
    test::writeBytes(dir / L"ErrorFile.txt", std::vector<unsigned char>(5000, 'x'));  // replaced, not appended to

    errorreport::Report r{L"frmCopy", L"ShowEx", 53, L"kroProgramDll", L"ファイルが見つかりません。"};
    test::UiWatcher watcher({IDOK});
    std::wstring written = errorreport::write(r, dir / L"library.dll");
    ASSERT_TRUE(watcher.waitFor(1));

    std::wstring reportPath = dir / L"ErrorFile.txt";
    EXPECT_EQ(written, reportPath);
    bool crlf = false;
    auto lines = readLines(reportPath, &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0], kBanner);
    EXPECT_EQ(lines[1], L"* VorelDll エラーファイル");
    EXPECT_EQ(lines[2], L"* 作成者 Vorel Project");
    EXPECT_EQ(lines[3].rfind(L"* 連絡先 E-mail \"", 0), 0u);
    EXPECT_EQ(lines[3].back(), L'"');
    EXPECT_EQ(lines[4].rfind(L"*        HomePage \"", 0), 0u);
    EXPECT_EQ(lines[4].back(), L'"');
    EXPECT_EQ(lines[5].rfind(L"* ", 0), 0u);
    EXPECT_GT(lines[5].size(), 8u);
    EXPECT_EQ(lines[6], kBanner);
    EXPECT_EQ(lines[7], L"エラーを起こしたファイル名 = frmCopy");
    EXPECT_EQ(lines[8], L"エラーを起こしたステートメント名 = ShowEx");
    EXPECT_EQ(lines[9], L"");
    EXPECT_EQ(lines[10], L"エラー番号 = 53");
    EXPECT_EQ(lines[11], L"エラーを発生させたオブジェクト = kroProgramDll");
    EXPECT_EQ(lines[12], L"エラーに対する簡単な説明 = ファイルが見つかりません。");
    EXPECT_EQ(lines[13], L"");
    EXPECT_EQ(lines[14], L"エラーを起こした際の\"VorelDll\"のバージョン = 32768.1.65535.40000");
    OSVERSIONINFOW os{sizeof os};
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(::GetVersionExW(&os));
    EXPECT_EQ(lines[15], L"エラーを起こした際のWindowsのバージョン = " + errorreport::windowsVersionText(os.dwMajorVersion, os.dwMinorVersion));
    EXPECT_EQ(lines[16], L"<EOF>");

    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"kro project program dll library");
    EXPECT_EQ(seen[0].text, expectedBoxText(reportPath));
    EXPECT_EQ(seen[0].icon, test::BoxIcon::Exclamation);
    EXPECT_EQ(seen[0].buttons.size(), 1u);
}

TEST(ErrorReportFile, SecondReportReplacesTheFirst) {
    test::TempDir dir;
    test::writeBytes(dir / L"lib.dll", {'M', 'Z'});  // no version record: line 15 keeps its label alone
    test::UiWatcher watcher({IDOK});
    errorreport::write({L"frmA", L"First", 1, L"a", L"first report with a long description"}, dir / L"lib.dll");
    errorreport::write({L"frmB", L"Second", 2, L"b", L"x"}, dir / L"lib.dll");
    ASSERT_TRUE(watcher.waitFor(2));
    bool crlf = false;
    auto lines = readLines(dir / L"ErrorFile.txt", &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[7], L"エラーを起こしたファイル名 = frmB");
    EXPECT_EQ(lines[12], L"エラーに対する簡単な説明 = x");
    EXPECT_EQ(lines[14], L"エラーを起こした際の\"VorelDll\"のバージョン = ");
}

TEST(ErrorReportFile, UnwritableModuleFolderFallsBackAndNoFileAtAllIsSaid) {
    test::TempDir dir;
    test::UiWatcher watcher({IDOK});
    std::wstring fallback = dir / L"local\\kroProgramDll\\";
    EXPECT_EQ(errorreport::write({L"m", L"s", 5, L"", L""}, dir / L"new\\deeper\\lib.dll", fallback),
              dir / L"new\\deeper\\ErrorFile.txt");  // missing folders are made
    ASSERT_TRUE(watcher.waitFor(1));

    // The module's folder cannot be made (a file stands in its way), as under Program Files for
    // a standard user: the report goes to the fallback folder and the box names that file.
    test::writeBytes(dir / L"blocker", {1});
    std::wstring written = errorreport::write({L"m", L"s", 5, L"", L""}, dir / L"blocker\\sub\\lib.dll", fallback);
    EXPECT_EQ(written, fallback + L"ErrorFile.txt");
    bool crlf = false;
    EXPECT_EQ(readLines(written, &crlf).size(), 17u);
    EXPECT_FALSE(test::fileExists(dir / L"blocker\\sub\\ErrorFile.txt"));

    // Neither place can be written: no file is named as made, the box says none was.
    test::writeBytes(dir / L"blocker2", {1});
    EXPECT_EQ(errorreport::write({L"m", L"s", -2147024891, L"", L"アクセスが拒否されました。"},
                                 dir / L"blocker\\sub\\lib.dll", dir / L"blocker2\\kro\\"),
              L"");
    ASSERT_TRUE(watcher.waitFor(3));
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].text, expectedBoxText(written));
    EXPECT_EQ(seen[2].text, L"\"" + dir / L"blocker\\sub\\ErrorFile.txt" + L"\"にも\"" + dir / L"blocker2\\kro\\ErrorFile.txt" +
                                L"\"にもエラーファイルを作成できませんでした。できればこの内容をソフト制作者に知らせてください。\r\n"
                                L"エラー番号 = -2147024891\r\nエラーに対する簡単な説明 = アクセスが拒否されました。");
    EXPECT_EQ(seen[2].icon, test::BoxIcon::Exclamation);
}

TEST(ErrorReportFile, DefaultIsBesideTheModuleHoldingTheCode) {
    // In this test program the module holding the library code is the program itself.
    std::wstring expected = path::folderOf(module::path()) + L"ErrorFile.txt";
    ::DeleteFileW(expected.c_str());
    test::UiWatcher watcher({IDOK});
    std::wstring written = errorreport::write({L"frmCopy", L"ShowEx", 7, L"src", L"desc"});
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(written, expected);
    bool crlf = false;
    auto lines = readLines(expected, &crlf);
    ASSERT_EQ(lines.size(), 17u);
    auto version = fileversion::query(module::path());
    EXPECT_EQ(lines[14], L"エラーを起こした際の\"VorelDll\"のバージョン = " + (version ? version->file : std::wstring()));
    ::DeleteFileW(expected.c_str());
}
