#include <gtest/gtest.h>

#include "filesystem/path.h"
#include "tests/support/test_files.h"

using namespace kro;

TEST(PathPieces, FileNameIsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(path::fileName(L"C:\\dir\\file.txt"), L"file.txt");
    EXPECT_EQ(path::fileName(L"file.txt"), L"file.txt");
    EXPECT_EQ(path::fileName(L"C:\\dir\\"), L"");
    EXPECT_EQ(path::fileName(L""), L"");
}

TEST(PathPieces, ExtensionIsTheTextAfterTheLastDotAnywhere) {
    EXPECT_EQ(path::fileExtension(L"archive.tar.gz"), L"gz");
    EXPECT_EQ(path::fileExtension(L"README"), L"README");
    EXPECT_EQ(path::fileExtension(L"C:\\old.data\\readme"), L"data\\readme");
    EXPECT_EQ(path::fileExtension(L"name."), L"");
}

TEST(PathPieces, FolderKeepsItsTrailingBackslash) {
    EXPECT_EQ(path::folderOf(L"C:\\dir\\file.txt"), L"C:\\dir\\");
    EXPECT_EQ(path::folderOf(L"file.txt"), L"");
    EXPECT_EQ(path::folderOf(L"\\\\server\\share\\x"), L"\\\\server\\share\\");
}

TEST(FolderMacros, ReplacementIgnoresAsciiCaseAndRepeats) {
    EXPECT_EQ(path::replaceAllNoCase(L"$windir$\\system.ini", L"$WINDIR$", L"C:\\windows"), L"C:\\windows\\system.ini");
    EXPECT_EQ(path::replaceAllNoCase(L"$WINDIR$$WinDir$", L"$WINDIR$", L"W"), L"WW");
    EXPECT_EQ(path::replaceAllNoCase(L"no macro here", L"$WINDIR$", L"W"), L"no macro here");
    EXPECT_EQ(path::replaceAllNoCase(L"$WINDIR", L"$WINDIR$", L"W"), L"$WINDIR");
}

TEST(FolderMacros, ReplacementAsWrittenKeepsOtherCases) {
    EXPECT_EQ(path::replaceAll(L"$AppPath$a $apppath$ $AppPath$", L"$AppPath$", L"C:\\T\\"), L"C:\\T\\a $apppath$ C:\\T\\");
    EXPECT_EQ(path::replaceAll(L"$AppPath", L"$AppPath$", L"X"), L"$AppPath");
}

TEST(FolderMacros, TableOrderAndFolders) {
    ASSERT_EQ(path::kFolderMacros.size(), 8u);
    EXPECT_STREQ(path::kFolderMacros[0].token, L"$WINDIR$");
    EXPECT_EQ(path::kFolderMacros[0].csidl, 36);
    EXPECT_STREQ(path::kFolderMacros[7].token, L"$SENDTO$");
    EXPECT_EQ(path::kFolderMacros[7].csidl, 9);
    EXPECT_FALSE(path::specialFolder(36, nullptr).empty());
}

TEST(FolderChain, CreatesEveryFolderBeforeTheLastBackslash) {
    test::TempDir dir;
    EXPECT_TRUE(path::makeFolderChain(dir / L"a\\b\\c"));
    EXPECT_TRUE(test::folderExists(dir / L"a\\b"));
    EXPECT_FALSE(test::folderExists(dir / L"a\\b\\c"));
    EXPECT_TRUE(path::makeFolderChain(dir / L"a\\b\\c\\"));
    EXPECT_TRUE(test::folderExists(dir / L"a\\b\\c"));
    // Already there: still success, nothing changes.
    EXPECT_TRUE(path::makeFolderChain(dir / L"a\\b\\c\\"));
}

TEST(FolderChain, FailsWhenAFileBlocksTheWay) {
    test::TempDir dir;
    test::writeBytes(dir / L"file", {1});
    EXPECT_FALSE(path::makeFolderChain(dir / L"file\\sub\\"));
    EXPECT_FALSE(path::makeFolderChain(L"Q:\\no\\such\\drive\\"));
}

TEST(FolderChain, NamesOutsideTheCodePageWork) {
    test::TempDir dir;
    std::wstring name = dir / L"\u0416\u4E2D\\sub\\";  // Cyrillic and CJK, not all in code page 932
    EXPECT_TRUE(path::makeFolderChain(name));
    EXPECT_TRUE(test::folderExists(dir / L"\u0416\u4E2D\\sub"));
}
