// The folder picker as a client uses it: FileSystemCls.Show_Browse runs the shell's picker on the
// calling thread while a watcher thread looks at it and answers.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "frame/raii.h"
#include "tests/client/client_support.h"
#include "tests/client/filesystem_client.h"
#include "tests/client/window_test_support.h"
#include "tests/support/test_files.h"

using namespace kro;
using namespace kro::test;

namespace {

struct Browse {
    std::wstring title;
    LONG owner = 0;
    LONG root = 0;
    LONG flags = 16384;
    std::wstring initial;
};

// Runs Show_Browse through the vtable while `seen` records the picker and `button` answers it.
std::wstring browse(const Browse& b, SeenPicker& seen, int button, bool selectRoot = false, HRESULT* hr = nullptr) {
    client::Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    Bstr title(b.title), initial(b.initial), result;
    LONG owner = b.owner;
    auto root = static_cast<FolderPathContents>(b.root);
    auto flags = static_cast<ENUM_FLAGS_FOLDER>(b.flags);
    std::thread watcher = watchPicker(seen, button, selectRoot);
    HRESULT got = fs->Show_Browse(title.ref(), &owner, &root, &flags, initial.ref(), result.put());
    // A picker that never came (or was already answered) must not keep the watcher waiting long.
    watcher.join();
    if (hr) *hr = got;
    EXPECT_EQ(got, S_OK);
    return std::wstring(result.view());
}

std::wstring windowsFolder() {
    wchar_t buf[MAX_PATH] = {};
    ::GetWindowsDirectoryW(buf, MAX_PATH);
    return buf;
}

}  // namespace

TEST(Browse, OpensOnTheDefaultFolderAndReturnsPathsOutsideTheCodePageWhole) {
    // "é" and Hangul have no code page 932 form: they come back only through the Unicode picker.
    std::wstring folder = L"C:\\kro_browse_選択_é_한";
    removeTree(folder);
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring file = folder + L"\\メモ_ü.txt";
    writeBytes(file, {'x'});

    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
    SeenPicker seen;
    Browse b{L"保存先を選んでください", static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner)), 0, 16384, folder};
    EXPECT_EQ(browse(b, seen, IDOK), folder);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, L"保存先を選んでください");
    EXPECT_EQ(seen.selected, L"kro_browse_選択_é_한");
    EXPECT_EQ(seen.owner, owner);
    ::DestroyWindow(owner);

    // With the default flags files are listed and can be chosen.
    SeenPicker fileSeen;
    EXPECT_EQ(browse({L"", 0, 0, 16384, file}, fileSeen, IDOK), file);
    EXPECT_EQ(fileSeen.selected, L"メモ_ü.txt");

    // A drive root keeps its backslash.
    SeenPicker driveSeen;
    EXPECT_EQ(browse({L"", 0, 0, 16384, L"C:\\"}, driveSeen, IDOK), L"C:\\");

    // Cancel gives the empty text even with a default folder selected.
    SeenPicker cancelSeen;
    EXPECT_EQ(browse({L"", 0, 0, 16384, folder}, cancelSeen, IDCANCEL), L"");
    EXPECT_TRUE(cancelSeen.found);
    removeTree(folder);
}

TEST(Browse, SpecialFolderRootsAndPickerWithoutArguments) {
    // Root 36 is the Windows folder: the tree starts there and choosing its top gives the folder.
    SeenPicker seen;
    std::wstring chosen = browse({L"", 0, 36, 16384, L""}, seen, IDOK, true);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(_wcsicmp(chosen.c_str(), windowsFolder().c_str()), 0) << chosen;
    EXPECT_EQ(_wcsicmp(seen.root.c_str(), L"windows"), 0) << seen.root;

    // A root id the shell does not know shows no picker and gives the empty text at once.
    client::Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    Bstr none, result;
    LONG owner = 0;
    auto badRoot = static_cast<FolderPathContents>(0x7777);
    auto flags = static_cast<ENUM_FLAGS_FOLDER>(16384);
    DWORD start = ::GetTickCount();
    EXPECT_EQ(fs->Show_Browse(none.ref(), &owner, &badRoot, &flags, none.ref(), result.put()), S_OK);
    EXPECT_LT(::GetTickCount() - start, 3000u);
    EXPECT_EQ(result.view(), L"");

    // Late bound with every argument omitted: no title, the whole namespace, cancel is empty.
    ComPtr<IDispatch> late = create(L"FileSystemCls");
    SeenPicker lateSeen;
    std::thread watcher = watchPicker(lateSeen, IDCANCEL);
    CallResult r;
    callByName(late.get(), L"Show_Browse", {}, r);
    watcher.join();
    ASSERT_EQ(r.hr, S_OK);
    ASSERT_EQ(r.value.vt, VT_BSTR);
    EXPECT_EQ(::SysStringLen(r.value.bstrVal), 0u);
    EXPECT_TRUE(lateSeen.found);
    EXPECT_EQ(lateSeen.title, L"");
}
