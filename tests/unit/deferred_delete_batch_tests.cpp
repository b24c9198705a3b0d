#include <gtest/gtest.h>

#include "filesystem/deferred_delete.h"
#include "frame/errors.h"
#include "tests/support/test_files.h"

using namespace kro;

namespace {

std::string lines(std::initializer_list<std::string> items) {
    std::string s;
    for (const auto& l : items) s += l + "\r\n";
    return s;
}

std::string readText(const std::wstring& path) {
    auto b = test::readBytes(path);
    return std::string(b.begin(), b.end());
}

bool waitUntil(bool (*done)(const std::wstring&), const std::wstring& path, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (done(path)) return true;
        ::Sleep(100);
    }
    return done(path);
}

bool gone(const std::wstring& path) { return !test::fileExists(path); }

}  // namespace

TEST(ElashBatch, NineLinesWithTheTargetQuotedTwice) {
    EXPECT_EQ(deferred_delete::batchText(L"C:\\App\\old.exe"),
              lines({"@echo off", ":loop", "if not exist \"C:\\App\\old.exe\" goto end", "DEL /F \"C:\\App\\old.exe\"",
                     "goto loop", "", ":end", "DEL %0", "EXIT"}));
}

TEST(ElashBatch, SpacesStayAndPercentSignsAreDoubled) {
    std::string text = deferred_delete::batchText(L"C:\\Program Files\\My App\\100% done %TEMP%.log");
    EXPECT_EQ(text, lines({"@echo off", ":loop",
                           "if not exist \"C:\\Program Files\\My App\\100%% done %%TEMP%%.log\" goto end",
                           "DEL /F \"C:\\Program Files\\My App\\100%% done %%TEMP%%.log\"", "goto loop", "", ":end",
                           "DEL %0", "EXIT"}));
}

TEST(ElashBatch, JapaneseNamesInTheAnsiCodePage) {
    // "表" is 0x95 0x5C and "あ" 0x82 0xA0 in code page 932.
    ASSERT_EQ(::GetACP(), 932u);
    std::string text = deferred_delete::batchText(L"C:\\\u8868\\\u3042.txt");
    EXPECT_NE(text.find("DEL /F \"C:\\\x95\x5C\\\x82\xA0.txt\"\r\n"), std::string::npos);
}

TEST(ElashBatch, TargetsThatCouldChangeTheBatchAreRefused) {
    EXPECT_TRUE(deferred_delete::acceptableTarget(L"C:\\Program Files\\a&b (1)^!.txt"));
    EXPECT_TRUE(deferred_delete::acceptableTarget(L"C:\\100%.txt"));
    EXPECT_TRUE(deferred_delete::acceptableTarget(L""));
    EXPECT_FALSE(deferred_delete::acceptableTarget(L"C:\\a\" & del C:\\*.* & \".txt"));
    EXPECT_FALSE(deferred_delete::acceptableTarget(L"C:\\a.txt\r\nDEL C:\\b.txt"));
    EXPECT_FALSE(deferred_delete::acceptableTarget(L"C:\\a\tb.txt"));
    EXPECT_FALSE(deferred_delete::acceptableTarget(L"C:\\*.txt"));
    EXPECT_FALSE(deferred_delete::acceptableTarget(L"C:\\a?.txt"));
    EXPECT_FALSE(deferred_delete::acceptableTarget(L"C:\\caf\u00e9.txt"));  // no such character in code page 932

    ::DeleteFileW(deferred_delete::kBatchPath);
    try {
        deferred_delete::schedule(L"C:\\x\".txt");
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 52);
    }
    EXPECT_FALSE(test::fileExists(deferred_delete::kBatchPath));
}

TEST(ElashBatch, FolderTargetIsRefused) {
    test::TempDir dir;
    ::DeleteFileW(deferred_delete::kBatchPath);
    try {
        deferred_delete::schedule(dir.path());
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 75);
    }
    EXPECT_FALSE(test::fileExists(deferred_delete::kBatchPath));
}

TEST(ElashBatch, AWaitingBatchIsNeverRewritten) {
    ::DeleteFileW(deferred_delete::kBatchPath);
    ::DeleteFileW(deferred_delete::batchPath(2).c_str());
    EXPECT_EQ(deferred_delete::writeNewBatch(L"C:\\a.txt"), deferred_delete::kBatchPath);
    EXPECT_EQ(deferred_delete::writeNewBatch(L"C:\\b.txt"), deferred_delete::batchPath(2));
    EXPECT_EQ(deferred_delete::batchPath(2), L"C:\\Delete2.bat");
    EXPECT_EQ(readText(deferred_delete::kBatchPath), deferred_delete::batchText(L"C:\\a.txt"));
    EXPECT_EQ(readText(deferred_delete::batchPath(2)), deferred_delete::batchText(L"C:\\b.txt"));
    ::DeleteFileW(deferred_delete::kBatchPath);
    ::DeleteFileW(deferred_delete::batchPath(2).c_str());
}

TEST(ElashRun, HeldFileIsDeletedAfterReleaseAndTheBatchRemovesItself) {
    test::TempDir dir;
    std::wstring target = dir / L"in use 100%.txt";
    HANDLE held = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    deferred_delete::schedule(target);
    EXPECT_EQ(readText(deferred_delete::kBatchPath), deferred_delete::batchText(target));

    // While the file is held the batch keeps trying.
    ::Sleep(2000);
    EXPECT_TRUE(test::fileExists(target));
    ::CloseHandle(held);

    EXPECT_TRUE(waitUntil(gone, target, 60000)) << "the target was not deleted";
    EXPECT_TRUE(waitUntil(gone, deferred_delete::kBatchPath, 60000)) << "the batch file did not delete itself";
}
