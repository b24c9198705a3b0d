#include "tests/client/filesystem_client.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::client;

namespace {

const wchar_t* const kBatch = L"C:\\Delete.bat";

std::string batchFor(const std::string& ansiTarget) {
    return "@echo off\r\n:loop\r\nif not exist \"" + ansiTarget + "\" goto end\r\nDEL /F \"" + ansiTarget +
           "\"\r\ngoto loop\r\n\r\n:end\r\nDEL %0\r\nEXIT\r\n";
}

std::string readText(const std::wstring& path) {
    auto b = test::readBytes(path);
    return std::string(b.begin(), b.end());
}

bool waitGone(const std::wstring& path, DWORD timeoutMs = 60000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (!test::fileExists(path)) return true;
        ::Sleep(100);
    }
    return !test::fileExists(path);
}

std::string narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

}  // namespace

TEST(ElashClient, ElashFileExDeletesTheFileAndTheBatch) {
    ASSERT_TRUE(waitGone(kBatch));
    test::TempDir dir;
    std::wstring target = dir / L"old app 50%.exe";
    test::writeBytes(target, {1, 2, 3});
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(vorel.p);
    Text t(target);
    ASSERT_HRESULT_SUCCEEDED(vorel->ElashFileEx(&t.b));
    std::string expected = batchFor(narrow(dir / L"old app 50%%.exe"));
    if (test::fileExists(kBatch)) {
        EXPECT_EQ(readText(kBatch), expected);
    }
    EXPECT_TRUE(waitGone(target));
    EXPECT_TRUE(waitGone(kBatch));
}

TEST(ElashClient, ElashFileExRefusesInjectedCommands) {
    ASSERT_TRUE(waitGone(kBatch));
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(vorel.p);
    Text quote(L"C:\\x.txt\" goto end\r\nDEL C:\\windows\\win.ini \""), newline(L"C:\\x.txt\r\nDEL C:\\y.txt");
    EXPECT_EQ(errorNumber(vorel->ElashFileEx(&quote.b)), 52);
    EXPECT_EQ(errorNumber(vorel->ElashFileEx(&newline.b)), 52);
    EXPECT_FALSE(test::fileExists(kBatch));
}

TEST(ElashClient, ElashReadyFileRefusesMissingAndUnsafePaths) {
    ASSERT_TRUE(waitGone(kBatch));
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    test::TempDir dir;
    test::UiWatcher watcher({IDOK});
    LONG result = -1;
    Text empty, missing(dir / L"missing.txt"), quoted(dir / L"a\"b.txt");
    EXPECT_HRESULT_SUCCEEDED(fs->ElashReadyFile(empty.b, &result));
    EXPECT_EQ(result, 0);
    result = -1;
    EXPECT_HRESULT_SUCCEEDED(fs->ElashReadyFile(missing.b, &result));
    EXPECT_EQ(result, 0);
    result = -1;
    EXPECT_HRESULT_SUCCEEDED(fs->ElashReadyFile(quoted.b, &result));
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(watcher.waitFor(3));
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, L"していされた\"\"は存在していません");
    EXPECT_EQ(seen[1].text, L"していされた\"" + missing.str() + L"\"は存在していません");
    EXPECT_EQ(seen[2].text, L"していされた\"" + quoted.str() + L"\"は存在していません");
    for (const auto& box : seen) {
        EXPECT_EQ(box.caption, L"kro project program dll library");
        EXPECT_EQ(box.icon, test::BoxIcon::Exclamation);
    }
    EXPECT_FALSE(test::fileExists(kBatch));
}

TEST(ElashClient, ElashReadyFileDeletesAHeldFileAfterRelease) {
    ASSERT_TRUE(waitGone(kBatch));
    test::TempDir dir;
    std::wstring target = dir / L"held.dat";
    HANDLE held = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);

    VARIANT path, result;
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(target.c_str());
    ::VariantInit(&result);
    ASSERT_HRESULT_SUCCEEDED(callByName(fs.p, L"ElashReadyFile", {path}, &result));
    ::VariantClear(&path);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    EXPECT_EQ(readText(kBatch), batchFor(narrow(target)));

    ::Sleep(1500);
    EXPECT_TRUE(test::fileExists(target));
    ::CloseHandle(held);
    EXPECT_TRUE(waitGone(target));
    EXPECT_TRUE(waitGone(kBatch));
}

TEST(ElashClient, UnwritableBatchGivesTheErrorNumber) {
    ASSERT_TRUE(waitGone(kBatch));
    // A folder in the batch file's place: the batch cannot be written.
    ASSERT_TRUE(::CreateDirectoryW(kBatch, nullptr));
    test::TempDir dir;
    test::writeBytes(dir / L"x.txt", {1});
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    LONG result = 0;
    Text target(dir / L"x.txt");
    EXPECT_HRESULT_SUCCEEDED(fs->ElashReadyFile(target.b, &result));
    EXPECT_EQ(result, 75);
    EXPECT_EQ(errorNumber(vorel->ElashFileEx(&target.b)), 75);
    EXPECT_TRUE(::RemoveDirectoryW(kBatch));
    EXPECT_TRUE(test::fileExists(dir / L"x.txt"));
}

TEST(ElashClient, RelativeReadOnlyAndBackToBackTargetsAreAllDeleted) {
    ASSERT_TRUE(waitGone(kBatch));
    test::TempDir dir;
    std::wstring held = dir / L"held.dat", relative = dir / L"second.tmp", decoy = L"C:\\second.tmp";
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    test::writeBytes(relative, {2});
    ASSERT_TRUE(::SetFileAttributesW(relative.c_str(), FILE_ATTRIBUTE_READONLY));
    test::writeBytes(decoy, {3});  // what a batch run in C:\ would take for "second.tmp"
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(vorel.p && fs.p);

    // The first batch keeps looping on the held file while the second is scheduled.
    Text first(held);
    ASSERT_HRESULT_SUCCEEDED(vorel->ElashFileEx(&first.b));
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.path().c_str()));
    Text second(L"second.tmp");
    LONG result = -1;
    HRESULT hr = fs->ElashReadyFile(second.b, &result);
    ::SetCurrentDirectoryW(before);
    ASSERT_HRESULT_SUCCEEDED(hr);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readText(L"C:\\Delete2.bat"), batchFor(narrow(relative)));

    EXPECT_TRUE(waitGone(relative, 15000)) << "the read-only, relatively named target is still there";
    EXPECT_TRUE(test::fileExists(decoy));
    EXPECT_TRUE(test::fileExists(held));
    ::CloseHandle(holder);
    EXPECT_TRUE(waitGone(held, 15000)) << "the first batch gave up its target";
    EXPECT_TRUE(waitGone(kBatch));
    EXPECT_TRUE(waitGone(L"C:\\Delete2.bat"));
    ::DeleteFileW(decoy.c_str());
}
