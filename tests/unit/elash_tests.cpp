#include <gtest/gtest.h>

#include "filesystem/elash.h"
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
    EXPECT_EQ(elash::batchText(L"C:\\App\\old.exe"),
              lines({"@echo off", ":loop", "if not exist \"C:\\App\\old.exe\" goto end", "DEL /F \"C:\\App\\old.exe\"",
                     "goto loop", "", ":end", "DEL %0", "EXIT"}));
}

TEST(ElashBatch, SpacesStayAndPercentSignsAreDoubled) {
    std::string text = elash::batchText(L"C:\\Program Files\\My App\\100% done %TEMP%.log");
    EXPECT_EQ(text, lines({"@echo off", ":loop",
                           "if not exist \"C:\\Program Files\\My App\\100%% done %%TEMP%%.log\" goto end",
                           "DEL /F \"C:\\Program Files\\My App\\100%% done %%TEMP%%.log\"", "goto loop", "", ":end",
                           "DEL %0", "EXIT"}));
}

TEST(ElashBatch, JapaneseNamesInTheAnsiCodePage) {
    // "表" is 0x95 0x5C and "あ" 0x82 0xA0 in code page 932.
    ASSERT_EQ(::GetACP(), 932u);
    std::string text = elash::batchText(L"C:\\\u8868\\\u3042.txt");
    EXPECT_NE(text.find("DEL /F \"C:\\\x95\x5C\\\x82\xA0.txt\"\r\n"), std::string::npos);
}

TEST(ElashBatch, TargetsThatCouldChangeTheBatchAreRefused) {
    EXPECT_TRUE(elash::acceptableTarget(L"C:\\Program Files\\a&b (1)^!.txt"));
    EXPECT_TRUE(elash::acceptableTarget(L"C:\\100%.txt"));
    EXPECT_TRUE(elash::acceptableTarget(L""));
    EXPECT_FALSE(elash::acceptableTarget(L"C:\\a\" & del C:\\*.* & \".txt"));
    EXPECT_FALSE(elash::acceptableTarget(L"C:\\a.txt\r\nDEL C:\\b.txt"));
    EXPECT_FALSE(elash::acceptableTarget(L"C:\\a\tb.txt"));
    EXPECT_FALSE(elash::acceptableTarget(L"C:\\*.txt"));
    EXPECT_FALSE(elash::acceptableTarget(L"C:\\a?.txt"));
    EXPECT_FALSE(elash::acceptableTarget(L"C:\\caf\u00e9.txt"));  // no such character in code page 932

    ::DeleteFileW(elash::kBatchPath);
    try {
        elash::schedule(L"C:\\x\".txt");
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 52);
    }
    EXPECT_FALSE(test::fileExists(elash::kBatchPath));
}

TEST(ElashBatch, FolderTargetIsRefused) {
    test::TempDir dir;
    ::DeleteFileW(elash::kBatchPath);
    try {
        elash::schedule(dir.path());
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 75);
    }
    EXPECT_FALSE(test::fileExists(elash::kBatchPath));
}

TEST(ElashBatch, AWaitingBatchIsNeverRewritten) {
    ::DeleteFileW(elash::kBatchPath);
    ::DeleteFileW(elash::batchPath(2).c_str());
    EXPECT_EQ(elash::writeNewBatch(L"C:\\a.txt"), elash::kBatchPath);
    EXPECT_EQ(elash::writeNewBatch(L"C:\\b.txt"), elash::batchPath(2));
    EXPECT_EQ(elash::batchPath(2), L"C:\\Delete2.bat");
    EXPECT_EQ(readText(elash::kBatchPath), elash::batchText(L"C:\\a.txt"));
    EXPECT_EQ(readText(elash::batchPath(2)), elash::batchText(L"C:\\b.txt"));
    ::DeleteFileW(elash::kBatchPath);
    ::DeleteFileW(elash::batchPath(2).c_str());
}

TEST(ElashRun, HeldFileIsDeletedAfterReleaseAndTheBatchRemovesItself) {
    test::TempDir dir;
    std::wstring target = dir / L"in use 100%.txt";
    HANDLE held = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    elash::schedule(target);
    EXPECT_EQ(readText(elash::kBatchPath), elash::batchText(target));

    // While the file is held the batch keeps trying.
    ::Sleep(2000);
    EXPECT_TRUE(test::fileExists(target));
    ::CloseHandle(held);

    EXPECT_TRUE(waitUntil(gone, target, 60000)) << "the target was not deleted";
    EXPECT_TRUE(waitUntil(gone, elash::kBatchPath, 60000)) << "the batch file did not delete itself";
}
