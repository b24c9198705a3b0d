// The registry writer window as a person uses it: shown through FormCls, looked at through the
// UI watcher, filled in and written with its buttons, and the value read back from the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include "frame/raii.h"
#include "tests/client/client_support.h"
#include "tests/client/filesystem_client.h"
#include "tests/client/window_test_support.h"

using namespace kro;
using namespace kro::test;

namespace {

// Controls in the window's table order (the layer numbers them from 100).
enum RegistryControl { Label0, Roots, Label1, Key, Label2, ValueName, Label3, Value, Write, Exit };
HWND part(HWND window, RegistryControl c) { return ::GetDlgItem(window, 100 + c); }

const wchar_t* kTestKey = L"Software\\kroProgramDll.tests\\RegistryWindow";

HWND showRegistryWindow(IDispatch* form) {
    CallResult r;
    callByName(form, L"Registry_Show", {}, r);
    EXPECT_EQ(r.hr, S_OK);
    return windowOfThisThread(L"frmRegistry");
}

std::wstring readValue(const std::wstring& name) {
    wchar_t buf[256] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueW(HKEY_CURRENT_USER, kTestKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buf;
}

void fill(HWND w, const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    ::SetWindowTextW(part(w, Key), key.c_str());
    ::SetWindowTextW(part(w, ValueName), name.c_str());
    ::SetWindowTextW(part(w, Value), value.c_str());
}

}  // namespace

TEST(RegistryWindow, ShowsItsCaptionsRootsAndTabOrder) {
    ComPtr<IDispatch> form = create(L"FormCls");
    HWND w = showRegistryWindow(form.get());
    ASSERT_NE(w, nullptr);
    SeenWindow seen = inspect(w);
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.caption, L"レジストリの操作");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.client.cx, px(9420));
    EXPECT_EQ(seen.client.cy, px(2220));

    EXPECT_EQ(textOf(part(w, Label0)), L"ルート(&R):");
    EXPECT_EQ(textOf(part(w, Label1)), L"キー(&K):");
    EXPECT_EQ(textOf(part(w, Label2)), L"値の名前(&N):");
    EXPECT_EQ(textOf(part(w, Label3)), L"値(&V):");
    EXPECT_EQ(textOf(part(w, Write)), L"書き込み(&W)");
    EXPECT_EQ(textOf(part(w, Exit)), L"終了(&X)");
    EXPECT_EQ(textOf(part(w, Key)), L"Software\\");
    EXPECT_EQ(textOf(part(w, ValueName)), L"");

    RECT key{};
    ::GetWindowRect(part(w, Key), &key);
    ::MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&key), 2);
    EXPECT_EQ(key.left, px(180));
    EXPECT_EQ(key.top, px(990));
    EXPECT_EQ(key.right - key.left, px(9105));

    // Seven roots in table order, each carrying its root handle as a signed 32-bit number.
    HWND roots = part(w, Roots);
    const wchar_t* names[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                              L"HKEY_PERFORMANCE_DATA", L"HKEY_CURRENT_CONFIG", L"HKEY_DYN_DATA"};
    ASSERT_EQ(::SendMessageW(roots, CB_GETCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        wchar_t item[64] = {};
        ::SendMessageW(roots, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, names[i]);
        LRESULT data = ::SendMessageW(roots, CB_GETITEMDATA, i, 0);
        EXPECT_EQ(data, static_cast<LRESULT>(static_cast<LONG>(0x80000000u + i))) << i;
    }
    EXPECT_EQ(::SendMessageW(roots, CB_GETCURSEL, 0, 0), CB_ERR) << "nothing selected at load";
    EXPECT_EQ(textOf(roots), L"");

    // Tab order: roots, key, value name, value, write, exit, and round again.
    HWND order[] = {part(w, Key), part(w, ValueName), part(w, Value), part(w, Write), part(w, Exit), roots};
    HWND at = roots;
    for (HWND next : order) {
        at = ::GetNextDlgTabItem(w, at, FALSE);
        EXPECT_EQ(at, next);
    }
    click(part(w, Exit));
}

TEST(RegistryWindow, WritesTheChosenRootRefusesNoRootAndStartsAfreshAfterExit) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    ComPtr<IDispatch> form = create(L"FormCls");
    HWND w = showRegistryWindow(form.get());
    ASSERT_NE(w, nullptr);
    HWND roots = part(w, Roots);

    // HKEY_CURRENT_USER chosen from the list: written, then the completion message.
    ::SendMessageW(roots, CB_SETCURSEL, 1, 0);
    fill(w, kTestKey, L"名前_é", L"値_한");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Write));
        ASSERT_TRUE(watcher.waitFor(1));
        auto seen = watcher.seen();
        EXPECT_EQ(seen[0].text, L"書き込みが終了しました");
        EXPECT_EQ(seen[0].icon, BoxIcon::Asterisk);
        EXPECT_EQ(seen[0].caption, L"kro project program dll library");
    }
    EXPECT_EQ(readValue(L"名前_é"), L"値_한");

    // No root: a warning, and nothing is written anywhere.
    ::SendMessageW(roots, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    fill(w, kTestKey, L"名前_é", L"上書きされない");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Write));
        ASSERT_TRUE(watcher.waitFor(1));
        auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].icon, BoxIcon::Exclamation);
        EXPECT_NE(seen[0].text, L"書き込みが終了しました");
    }
    EXPECT_EQ(readValue(L"名前_é"), L"値_한");

    // A root name typed in full counts as chosen; a partial one does not.
    ::SetWindowTextW(roots, L"HKEY_CURRENT");
    fill(w, kTestKey, L"typed", L"no");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Write));
        ASSERT_TRUE(watcher.waitFor(1));
        EXPECT_EQ(watcher.seen()[0].icon, BoxIcon::Exclamation);
    }
    EXPECT_EQ(readValue(L"typed"), L"<missing>");
    ::SetWindowTextW(roots, L"hkey_current_user");
    fill(w, kTestKey, L"typed", L"yes");
    {
        UiWatcher watcher({IDOK});
        click(part(w, Write));
        ASSERT_TRUE(watcher.waitFor(1));
        EXPECT_EQ(watcher.seen()[0].icon, BoxIcon::Asterisk);
    }
    EXPECT_EQ(readValue(L"typed"), L"yes");

    // Hide then show keeps what was typed.
    CallResult r;
    callByName(form.get(), L"Registry_Hide", {}, r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_FALSE(::IsWindowVisible(w));
    EXPECT_EQ(showRegistryWindow(form.get()), w);
    EXPECT_EQ(textOf(part(w, Value)), L"yes");

    // Exit unloads; the next show starts from the initial texts.
    click(part(w, Exit));
    EXPECT_FALSE(::IsWindow(w));
    HWND again = showRegistryWindow(form.get());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(textOf(part(again, Key)), L"Software\\");
    EXPECT_EQ(textOf(part(again, Value)), L"");
    EXPECT_EQ(::SendMessageW(part(again, Roots), CB_GETCURSEL, 0, 0), CB_ERR);

    // Registry_Hide before any show loads the window hidden on a fresh thread.
    std::thread([] {
        ::CoInitialize(nullptr);
        {
            client::Object<_FormCls> typed(L"kroProgramDll.FormCls");
            EXPECT_EQ(typed->Registry_Hide(), S_OK);
            HWND hidden = windowOfThisThread(L"frmRegistry");
            ASSERT_NE(hidden, nullptr);
            EXPECT_FALSE(::IsWindowVisible(hidden));
            EXPECT_EQ(::SendMessageW(part(hidden, Roots), CB_GETCOUNT, 0, 0), 7);
            ::DestroyWindow(hidden);
        }
        ::CoUninitialize();
    }).join();

    click(part(again, Exit));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
}

TEST(Screenshot, RegistryWindow) {
    ComPtr<IDispatch> form = create(L"FormCls");
    HWND w = showRegistryWindow(form.get());
    ASSERT_NE(w, nullptr);
    ::SendMessageW(part(w, Roots), CB_SETCURSEL, 1, 0);
    fill(w, L"Software\\kroSample\\Settings", L"LastFolder", L"C:\\データ\\報告書");
    expectDrawnAsDesigned(w, {px(9420), px(2220)});
    EXPECT_TRUE(saveScreenshot(w, L"registry_window"));
    click(part(w, Exit));
}
