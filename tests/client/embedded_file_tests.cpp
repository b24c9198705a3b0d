#include "tests/client/filesystem_client.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::client;
using Bytes = std::vector<unsigned char>;

namespace {

std::wstring notepad() {
    wchar_t dir[MAX_PATH] = {};
    ::GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\notepad.exe";
}

// The system's notepad without the symbol table that follows its sections (the file header
// gives its offset): an executable with nothing after its image.
Bytes bareImage() {
    Bytes b = test::readBytes(notepad());
    if (b.size() < 64) return b;
    size_t pe = b[60] | (b[61] << 8) | (b[62] << 16) | (b[63] << 24);
    size_t symbols = b[pe + 12] | (b[pe + 13] << 8) | (b[pe + 14] << 16) | (b[pe + 15] << 24);
    if (symbols != 0 && symbols < b.size()) b.resize(symbols);
    return b;
}

Bytes joined(const Bytes& appended) {
    Bytes b = bareImage();
    b.insert(b.end(), appended.begin(), appended.end());
    return b;
}

}  // namespace

TEST(TakeOutJoinFileExClient, BothClassesWriteTheAppendedFile) {
    test::TempDir dir;
    Bytes appended{'h', 'e', 'l', 'l', 'o', 0, 1, 2, 0xFF, '\n'};
    test::writeBytes(dir / L"joined.exe", joined(appended));

    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(fs.p && vorel.p);
    Text exe(dir / L"joined.exe"), out1(dir / L"one.bin"), out2(dir / L"two.bin");
    EXPECT_HRESULT_SUCCEEDED(fs->TakeOutJoinFileEx(&exe.b, &out1.b));
    EXPECT_HRESULT_SUCCEEDED(vorel->TakeOutJoinFileEx(&exe.b, &out2.b));
    EXPECT_EQ(test::readBytes(out1.str()), appended);
    EXPECT_EQ(test::readBytes(out2.str()), appended);
    // The caller's variables are left as they were.
    EXPECT_EQ(exe.str(), dir / L"joined.exe");
}

TEST(TakeOutJoinFileExClient, NothingAppendedShowsTheMessage) {
    test::TempDir dir;
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(vorel.p);
    test::writeBytes(dir / L"bare.exe", bareImage());
    Text exe(dir / L"bare.exe"), out(dir / L"out.bin");
    test::UiWatcher watcher({IDOK});
    EXPECT_HRESULT_SUCCEEDED(vorel->TakeOutJoinFileEx(&exe.b, &out.b));
    ASSERT_TRUE(watcher.waitFor(1));
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"ファイルが埋め込まれていません");
    EXPECT_EQ(seen[0].caption, L"kro project program dll library");
    EXPECT_EQ(seen[0].icon, test::BoxIcon::None);
    EXPECT_EQ(seen[0].buttons.size(), 1u);
    EXPECT_FALSE(test::fileExists(out.str()));
}

TEST(TakeOutJoinFileExClient, MissingExecutableFailsWith53ThroughBothPaths) {
    test::TempDir dir;
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    Text exe(dir / L"missing.exe"), out(dir / L"out.bin");
    test::UiWatcher watcher({IDOK});
    EXPECT_EQ(errorNumber(fs->TakeOutJoinFileEx(&exe.b, &out.b)), 53);

    EXCEPINFO ei{};
    Text exe2(dir / L"missing.exe"), out2(dir / L"out.bin");
    VARIANT result;
    ::VariantInit(&result);
    EXPECT_EQ(callByName(fs.p, L"TakeOutJoinFileEx", {byRef(&exe2.b), byRef(&out2.b)}, &result, &ei), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode & 0xFFFF, 53);
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);

    ::Sleep(300);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_FALSE(test::fileExists(out.str()));
}

TEST(TakeOutJoinFileExClient, NonExecutableIsCopiedWhole) {
    test::TempDir dir;
    Bytes data(100);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(255 - i);
    test::writeBytes(dir / L"data.bin", data);
    test::writeBytes(dir / L"out.bin", Bytes(300, 7));
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    Text in(dir / L"data.bin"), out(dir / L"out.bin");
    EXPECT_HRESULT_SUCCEEDED(fs->TakeOutJoinFileEx(&in.b, &out.b));
    EXPECT_EQ(test::readBytes(out.str()), data);
}

TEST(FileSystemExtrasClient, NullPointersFromVtableCallersFailCleanly) {
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    Object<_VorelCls> vorel(L"kroProgramDll.VorelCls");
    ASSERT_TRUE(fs.p && vorel.p);
    Text name(L"C:\\x.exe");
    EXPECT_EQ(errorNumber(fs->TakeOutJoinFileEx(nullptr, &name.b)), 5);
    EXPECT_EQ(errorNumber(vorel->TakeOutJoinFileEx(&name.b, nullptr)), 5);
    EXPECT_EQ(errorNumber(vorel->ElashFileEx(nullptr)), 5);
    EXPECT_EQ(errorNumber(fs->ElashReadyFile(name.b, nullptr)), 5);
    EXPECT_EQ(errorNumber(fs->GetShellLinkErrStr(0, nullptr)), 5);
    // Without a file name or any output variable there is nothing to answer, and nothing fails.
    EXPECT_HRESULT_SUCCEEDED(fs->GetFileVersion(nullptr, nullptr, nullptr, nullptr));
}
