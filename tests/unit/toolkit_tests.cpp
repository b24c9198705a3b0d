// The window toolkit as a person meets it: message boxes found on screen, read and answered.
#include <gtest/gtest.h>

#include "frame/toolkit.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using kro::test::BoxIcon;
using kro::test::UiWatcher;

TEST(MessageBox, DefaultCaptionTextButtonAndIcon) {
    UiWatcher watcher({IDOK});
    int answer = toolkit::messageBox(L"一行目\r\n二行目", MB_ICONEXCLAMATION);
    EXPECT_EQ(answer, IDOK);
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"kro project program dll library");
    EXPECT_EQ(seen[0].text, L"一行目\r\n二行目");
    EXPECT_EQ(seen[0].buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(seen[0].icon, BoxIcon::Exclamation);
}

TEST(MessageBox, RetryCancelReportsThePressedButton) {
    UiWatcher watcher({IDRETRY, IDCANCEL});
    EXPECT_EQ(toolkit::messageBox(L"again?", MB_RETRYCANCEL | MB_ICONHAND, L"Error"), IDRETRY);
    EXPECT_EQ(toolkit::messageBox(L"again?", 21, L"Error"), IDCANCEL);
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, L"Error");
    EXPECT_EQ(seen[1].icon, BoxIcon::Hand);
    EXPECT_EQ(seen[1].buttons.size(), 2u);
}

TEST(MessagePump, RunsPendingMessagesOnceAndKeepsQuit) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // make sure the thread has a queue
    static int ticks = 0;
    ticks = 0;
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    auto proc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_APP) ++ticks;
        return ::DefWindowProcW(h, m, w, l);
    };
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+proc));
    ::PostMessageW(window, WM_APP, 0, 0);
    ::PostMessageW(window, WM_APP, 0, 0);
    toolkit::pumpMessages();
    EXPECT_EQ(ticks, 2);
    ::PostQuitMessage(3);
    toolkit::pumpMessages();
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // left for the client's loop
    EXPECT_EQ(msg.wParam, 3u);
    ::DestroyWindow(window);
}

