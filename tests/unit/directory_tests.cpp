#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "filesystem/directory.h"
#include "frame/errors.h"
#include "tests/support/test_files.h"

using namespace kro;

namespace {

long errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

void touch(const std::wstring& path, DWORD attributes = 0) {
    test::writeBytes(path, {'x'});
    if (attributes) ::SetFileAttributesW(path.c_str(), attributes);
}

bool contains(const std::vector<std::wstring>& v, const std::wstring& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

}  // namespace

TEST(AttributeFilter, HiddenSystemAndFolderEntriesNeedTheirBit) {
    EXPECT_TRUE(dir::passesFilter(FILE_ATTRIBUTE_NORMAL, 0));
    EXPECT_TRUE(dir::passesFilter(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 0));
    EXPECT_FALSE(dir::passesFilter(FILE_ATTRIBUTE_HIDDEN, 0));
    EXPECT_TRUE(dir::passesFilter(FILE_ATTRIBUTE_HIDDEN, 2));
    EXPECT_FALSE(dir::passesFilter(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 2));
    EXPECT_TRUE(dir::passesFilter(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 6));
    EXPECT_FALSE(dir::passesFilter(FILE_ATTRIBUTE_DIRECTORY, 2));
    EXPECT_TRUE(dir::passesFilter(FILE_ATTRIBUTE_DIRECTORY, 16));
    EXPECT_FALSE(dir::passesFilter(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, 16));
    // read-only and archive in the set never exclude anything and add nothing either
    EXPECT_FALSE(dir::passesFilter(FILE_ATTRIBUTE_HIDDEN, 1 | 32));
}

TEST(PatternList, CutAtEveryDelimiterComparedCaseInsensitively) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(dir::splitPatterns(L"*.txt\t*.log", L"\t"), (V{L"*.txt", L"*.log"}));
    EXPECT_EQ(dir::splitPatterns(L"*.txtOR*.logor*.ini", L"Or"), (V{L"*.txt", L"*.log", L"*.ini"}));
    EXPECT_EQ(dir::splitPatterns(L"", L"\t"), V{});
    EXPECT_EQ(dir::splitPatterns(L"*.a\t*.b", L""), V{L"*.a\t*.b"});
    // not trimmed, duplicates and empty pieces kept
    EXPECT_EQ(dir::splitPatterns(L" *.a ;*.a;", L";"), (V{L" *.a ", L"*.a", L""}));
    EXPECT_EQ(dir::splitPatterns(L"x", L"long delimiter"), V{L"x"});
    // Cyrillic capitals and small letters as delimiter
    EXPECT_EQ(dir::splitPatterns(L"*.a\u0418\u041b\u0418*.b", L"\u0438\u043b\u0438"), (V{L"*.a", L"*.b"}));
}

TEST(PatternFilter, LongNamesWhoseShortFormsWouldMatchAreLeftOut) {
    // Names Windows also finds through their 8.3 forms (REPORT~1.DOC, DATA~1.TXT, NOTES~1.LOG).
    EXPECT_FALSE(dir::foundNameMatches(L"*.doc", L"report.docx"));
    EXPECT_FALSE(dir::foundNameMatches(L"*.TXT", L"data.txt.bak"));
    EXPECT_FALSE(dir::foundNameMatches(L"notes?.log", L"notes 2024.log"));
    EXPECT_FALSE(dir::foundNameMatches(L"*.", L"a.txt"));
    // What the long names themselves match, in the platform's own way.
    EXPECT_TRUE(dir::foundNameMatches(L"*.doc", L"Report.DOC"));
    EXPECT_TRUE(dir::foundNameMatches(L"*.doc", L"a.b.doc"));
    EXPECT_TRUE(dir::foundNameMatches(L"*.*", L"README"));
    EXPECT_TRUE(dir::foundNameMatches(L"*.*", L".profile"));
    EXPECT_TRUE(dir::foundNameMatches(L"*", L"a.b.c"));
    EXPECT_TRUE(dir::foundNameMatches(L"*.", L"README"));
    EXPECT_TRUE(dir::foundNameMatches(L"a?.txt", L"a.txt"));
    EXPECT_TRUE(dir::foundNameMatches(L"a?.txt", L"ab.txt"));
    EXPECT_FALSE(dir::foundNameMatches(L"a?.txt", L"abc.txt"));
    EXPECT_TRUE(dir::foundNameMatches(L"*.t*", L"\u8868.Tab"));
    EXPECT_TRUE(dir::foundNameMatches(L"*.*", L".."));
    // Without wildcards the name is the file's own, long or short.
    EXPECT_TRUE(dir::foundNameMatches(L"REPORT~1.DOC", L"report.docx"));

    // Through a listing: only the long names that match are returned.
    test::TempDir dir;
    for (const wchar_t* name : {L"report.doc", L"report.docx", L"a.b.doc"}) test::writeBytes(dir / name, {1});
    auto names = dir::listNames(dir / L"*.doc", 0);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.b.doc", L"report.doc"}));
}

TEST(FolderNormalisation, BackslashAppendedOnlyWhenMissing) {
    EXPECT_EQ(dir::normaliseFolder(L"C:\\dir"), L"C:\\dir\\");
    EXPECT_EQ(dir::normaliseFolder(L"C:\\dir\\"), L"C:\\dir\\");
    EXPECT_EQ(dir::normaliseFolder(L"C:\\dir/"), L"C:\\dir/\\");
}

// --- the walk on an imaginary tree ------------------------------------------------------------

namespace {

struct FakeTree {
    std::map<std::wstring, std::vector<dir::Subfolder>> children;
    std::vector<std::wstring> log;
    dir::SubfolderLister lister() {
        return [this](const std::wstring& f) {
            auto it = children.find(f);
            return it == children.end() ? std::vector<dir::Subfolder>{} : it->second;
        };
    }
    dir::WalkActions actions() {
        dir::WalkActions a;
        a.files = [this](const std::wstring& f) { log.push_back(L"files " + f); };
        a.link = [this](const std::wstring& f, const std::wstring& n) { log.push_back(L"link " + f + n); };
        a.leave = [this](const std::wstring& f) { log.push_back(L"leave " + f); };
        return a;
    }
};

}  // namespace

TEST(Walk, FilesThenEachSubfolderCompletelyThenTheFolderItself) {
    FakeTree t;
    t.children[L"R\\"] = {{L"a"}, {L"b"}, {L"loop", true}};
    t.children[L"R\\a\\"] = {{L"x"}};
    std::vector<std::wstring> expected = {
        L"files R\\",     L"files R\\a\\", L"files R\\a\\x\\", L"leave R\\a\\x\\", L"leave R\\a\\",
        L"files R\\b\\",  L"leave R\\b\\", L"link R\\loop",    L"leave R\\"};
    dir::walk(L"R\\", t.lister(), t.actions());
    EXPECT_EQ(t.log, expected);
}

TEST(Walk, EnterPredicateSkipsAWholeSubtree) {
    FakeTree t;
    t.children[L"R\\"] = {{L"skip"}, {L"keep"}};
    t.children[L"R\\skip\\"] = {{L"deep"}};
    auto a = t.actions();
    a.enter = [](const std::wstring& f) { return f != L"R\\skip\\"; };
    dir::walk(L"R\\", t.lister(), a);
    EXPECT_EQ(t.log, (std::vector<std::wstring>{L"files R\\", L"files R\\keep\\", L"leave R\\keep\\", L"leave R\\"}));
}

TEST(Walk, FirstFailureEndsTheWalkWithWhatWasDoneKept) {
    FakeTree t;
    t.children[L"R\\"] = {{L"a"}, {L"bad"}, {L"c"}};
    auto a = t.actions();
    auto files = a.files;
    a.files = [files](const std::wstring& f) {
        if (f == L"R\\bad\\") raise(err::PermissionDenied);
        files(f);
    };
    EXPECT_EQ(errorNumberOf([&] { dir::walk(L"R\\", t.lister(), a); }), err::PermissionDenied);
    EXPECT_EQ(t.log, (std::vector<std::wstring>{L"files R\\", L"files R\\a\\", L"leave R\\a\\"}));
}

TEST(Walk, TenThousandLevelsDoNotUseUpTheStack) {
    // Each folder has one subfolder "d" down to the given depth (far more levels than a walk
    // that recursed per folder could take on a thread's stack).
    const size_t depth = 10000;
    size_t files = 0, leaves = 0;
    dir::SubfolderLister lister = [&](const std::wstring& f) {
        return f.size() / 2 < depth ? std::vector<dir::Subfolder>{{L"d"}} : std::vector<dir::Subfolder>{};
    };
    dir::WalkActions a;
    a.files = [&](const std::wstring&) { ++files; };
    std::wstring last;
    a.leave = [&](const std::wstring& f) {
        if (++leaves == 1) last = f;
    };
    dir::walk(L"R\\", lister, a);
    EXPECT_EQ(files, depth);
    EXPECT_EQ(leaves, depth);
    EXPECT_EQ(last.size(), depth * 2);  // the deepest folder is left first
}

// --- listings of real folders -----------------------------------------------------------------

TEST(Listing, FilterByHiddenSystemAndFolderBits) {
    test::TempDir d;
    touch(d / L"plain.txt");
    touch(d / L"ro.txt", FILE_ATTRIBUTE_READONLY);
    touch(d / L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    touch(d / L"system.txt", FILE_ATTRIBUTE_SYSTEM);
    ::CreateDirectoryW((d / L"sub").c_str(), nullptr);
    std::wstring all = d / L"*.*";

    auto normal = dir::listNames(all, 0);
    EXPECT_EQ(normal.size(), 2u);
    EXPECT_TRUE(contains(normal, L"plain.txt"));
    EXPECT_TRUE(contains(normal, L"ro.txt"));

    auto hidden = dir::listNames(all, 2);
    EXPECT_EQ(hidden.size(), 3u);
    EXPECT_TRUE(contains(hidden, L"hidden.txt"));

    auto withSystem = dir::listNames(all, 6);
    EXPECT_EQ(withSystem.size(), 4u);

    auto withFolders = dir::listNames(all, 16);
    EXPECT_TRUE(contains(withFolders, L"sub"));
    EXPECT_TRUE(contains(withFolders, L"."));
    EXPECT_TRUE(contains(withFolders, L".."));
    EXPECT_FALSE(contains(withFolders, L"hidden.txt"));
}

TEST(Listing, NoMatchAndMissingFolderGiveNothing) {
    test::TempDir d;
    EXPECT_TRUE(dir::listNames(d / L"*.none", 0).empty());
    EXPECT_TRUE(dir::listNames(d / L"missing\\*.*", 0).empty());
    EXPECT_TRUE(dir::listFolders(d / L"missing", 0, false).empty());
}

TEST(Listing, FoldersWithAndWithoutPathAndHiddenOnlyWithBit2) {
    test::TempDir d;
    ::CreateDirectoryW((d / L"one").c_str(), nullptr);
    ::CreateDirectoryW((d / L"secret").c_str(), nullptr);
    ::SetFileAttributesW((d / L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    touch(d / L"file.txt");

    auto bare = dir::listFolders(d.path(), 0, false);
    EXPECT_EQ(bare, std::vector<std::wstring>{L"one"});
    auto both = dir::listFolders(d.path() + L"\\", 2, true);
    EXPECT_EQ(both.size(), 2u);
    EXPECT_TRUE(contains(both, d / L"one"));
    EXPECT_TRUE(contains(both, d / L"secret"));
}

TEST(Listing, NamesOutsideTheAnsiCodePage) {
    test::TempDir d;
    const std::wstring hangul = L"\uD55C\uAE00.txt";
    const std::wstring cyrillic = L"\u0424\u0430\u0439\u043B";
    touch(d / hangul);
    ::CreateDirectoryW((d / cyrillic).c_str(), nullptr);
    EXPECT_EQ(dir::listNames(d / L"*.txt", 0), std::vector<std::wstring>{hangul});
    EXPECT_EQ(dir::listFolders(d.path(), 0, false), std::vector<std::wstring>{cyrillic});
}

TEST(Listing, WalkSubfoldersLeavesOutSystemFolders) {
    test::TempDir d;
    ::CreateDirectoryW((d / L"sys").c_str(), nullptr);
    ::SetFileAttributesW((d / L"sys").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::CreateDirectoryW((d / L"hid").c_str(), nullptr);
    ::SetFileAttributesW((d / L"hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
    auto subs = dir::walkSubfolders(d.path() + L"\\");
    ASSERT_EQ(subs.size(), 1u);
    EXPECT_EQ(subs[0].name, L"hid");
    EXPECT_FALSE(subs[0].link);
    ::SetFileAttributesW((d / L"sys").c_str(), 0);
}

// --- file operations --------------------------------------------------------------------------

TEST(FileOperations, ReadOnlyFileIsDeleted) {
    test::TempDir d;
    touch(d / L"ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    dir::deleteFile(d / L"ro.txt");
    EXPECT_FALSE(test::fileExists(d / L"ro.txt"));
    EXPECT_EQ(errorNumberOf([&] { dir::deleteFile(d / L"ro.txt"); }), err::FileNotFound);
}

TEST(FileOperations, MoveErrorsAndAttributesKeptOnFailure) {
    test::TempDir d;
    ::CreateDirectoryW((d / L"to").c_str(), nullptr);
    touch(d / L"a.txt", FILE_ATTRIBUTE_READONLY);
    touch(d / L"to\\a.txt");
    EXPECT_EQ(errorNumberOf([&] { dir::moveFile(d / L"a.txt", d / L"to\\a.txt"); }), err::FileAlreadyExists);
    EXPECT_EQ(::GetFileAttributesW((d / L"a.txt").c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(errorNumberOf([&] { dir::moveFile(d / L"a.txt", d / L"nowhere\\a.txt"); }), err::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { dir::moveFile(d / L"gone.txt", d / L"to\\gone.txt"); }), err::FileNotFound);
    dir::moveFile(d / L"a.txt", d / L"to\\b.txt");
    EXPECT_TRUE(test::fileExists(d / L"to\\b.txt"));
    EXPECT_FALSE(test::fileExists(d / L"a.txt"));
    EXPECT_EQ(::GetFileAttributesW((d / L"to\\b.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(FileOperations, OpenFileCannotBeDeleted) {
    test::TempDir d;
    touch(d / L"busy.txt");
    HANDLE h = ::CreateFileW((d / L"busy.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(errorNumberOf([&] { dir::deleteFile(d / L"busy.txt"); }), err::PermissionDenied);
    ::CloseHandle(h);
    EXPECT_TRUE(test::fileExists(d / L"busy.txt"));
}

TEST(FileOperations, RemoveFolderOnlyWhenEmpty) {
    test::TempDir d;
    ::CreateDirectoryW((d / L"full").c_str(), nullptr);
    touch(d / L"full\\x");
    EXPECT_EQ(errorNumberOf([&] { dir::removeFolder(d / L"full\\"); }), err::PathFileAccessError);
    EXPECT_EQ(errorNumberOf([&] { dir::requireFolder(d / L"full\\x"); }), err::PathNotFound);
    dir::requireFolder(d / L"full\\");
}

TEST(LongPaths, PlatformFormOnlyForLongAbsolutePaths) {
    EXPECT_EQ(dir::platformPath(L"C:\\short"), L"C:\\short");
    std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L"\\x";
    EXPECT_EQ(dir::platformPath(longPath), L"\\\\?\\" + longPath);
    std::wstring unc = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(dir::platformPath(unc), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'));
    std::wstring already = L"\\\\?\\C:\\" + std::wstring(300, L'c');
    EXPECT_EQ(dir::platformPath(already), already);
}
