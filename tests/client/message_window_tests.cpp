// The message window, the introduction notice, key state and tracing as a client sees them:
// created by ProgID, called through the vtable and through IDispatch, and looked at the way a
// person would (style bits, size, texts, icon, owner) through the UI watcher.
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <cmath>
#include <cstring>
#include <vector>
#include <thread>

#include "frame/automation.h"
#include "tests/client/client_support.h"
#include "tests/client/filesystem_client.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::test;

namespace {

const std::wstring kMessageClass = L"kroProgramDll.frmMessage";

int px(int twips) { return static_cast<int>(std::lround(twips * 96 / 1440.0)); }

// This thread's message windows (the library keeps one per client thread).
std::vector<HWND> messageWindowsOfThisThread() {
    std::vector<HWND> mine;
    for (HWND w : topLevelWindows(kMessageClass))
        if (::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId()) mine.push_back(w);
    return mine;
}

HWND makeOwner(int x, int y) {
    HWND w = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 500, 300, nullptr,
                               nullptr, nullptr, nullptr);
    return w;
}

POINT centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

const SeenControl* childOfClass(const SeenWindow& w, const wchar_t* cls, LONG typeBits, LONG typeMask) {
    for (auto& c : w.controls)
        if (_wcsicmp(c.className.c_str(), cls) == 0 && (c.style & typeMask) == typeBits) return &c;
    return nullptr;
}

HICON shownIcon(const SeenWindow& w) {
    const SeenControl* image = childOfClass(w, L"Static", SS_ICON, SS_TYPEMASK);
    return image ? reinterpret_cast<HICON>(::SendMessageW(image->hwnd, STM_GETICON, 0, 0)) : nullptr;
}

// The pixels of an icon drawn on white: a copy of an icon draws the same.
std::vector<DWORD> iconPixels(HICON icon) {
    std::vector<DWORD> pixels(32 * 32);
    if (!icon) return pixels;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, 32, 32};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    std::memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

HRESULT showMessage(IDispatch* form, const std::wstring& message, VARIANT* owner = nullptr, VARIANT* icon = nullptr) {
    Variant text;
    text.vt = VT_BSTR;
    text.bstrVal = ::SysAllocString(message.c_str());
    std::vector<VARIANT*> args{&text};
    if (owner || icon) {
        static VARIANT missing{};
        missing.vt = VT_ERROR;
        missing.scode = DISP_E_PARAMNOTFOUND;
        args.push_back(owner ? owner : &missing);
        if (icon) args.push_back(icon);
    }
    CallResult r;
    callByName(form, L"Message_Show", args, r);
    if (r.hr == DISP_E_EXCEPTION) return r.excep.scode;
    return r.hr;
}

}  // namespace

TEST(MessageWindow, LooksLikeANoticeAndIsReusedWithNewTextAndIcon) {
    ComPtr<IDispatch> form = create(L"FormCls");
    const std::wstring longText =
        L"ファイルをコピーしています。しばらくお待ちください。この通知は処理が終わるまで表示されます。";
    ASSERT_EQ(showMessage(form.get(), longText), S_OK);

    auto windows = messageWindowsOfThisThread();
    ASSERT_EQ(windows.size(), 1u);
    SeenWindow w = inspect(windows[0]);
    EXPECT_TRUE(w.visible);
    EXPECT_NE(w.style & WS_DLGFRAME, 0);
    EXPECT_NE(w.style & WS_CAPTION, WS_CAPTION) << "no title bar";
    EXPECT_EQ(w.style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(w.exStyle & WS_EX_TOOLWINDOW, 0) << "not in the taskbar";
    EXPECT_EQ(w.owner, nullptr);
    EXPECT_EQ(w.client.cx, px(6450));
    EXPECT_EQ(w.client.cy, px(1320));

    // Unowned: centred on the screen's work area.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(centre(w.windowRect).x, centre(work).x, 2);
    EXPECT_NEAR(centre(w.windowRect).y, centre(work).y, 2);

    const SeenControl* label = childOfClass(w, L"Static", SS_LEFT, SS_TYPEMASK);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, longText);
    EXPECT_EQ(label->rect.left, px(930));
    EXPECT_EQ(label->rect.top, px(450));
    EXPECT_EQ(label->rect.right - label->rect.left, px(5505));
    // The long text wraps inside the label: it needs more than one line of the label's font.
    HDC dc = ::GetDC(label->hwnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label->hwnd, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, label->rect.right - label->rect.left, 0};
    ::DrawTextW(dc, longText.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(label->hwnd, dc);
    EXPECT_GT(needed.bottom, tm.tmHeight);
    EXPECT_LE(needed.bottom, label->rect.bottom - label->rect.top);

    HICON libraryIcon = shownIcon(w);
    EXPECT_NE(libraryIcon, nullptr) << "icon 100 when no picture is given";
    const std::vector<DWORD> libraryPixels = iconPixels(libraryIcon);

    // Second call: another text and a picture of the client's, same window.
    PICTDESC desc{sizeof(desc), PICTYPE_ICON};
    desc.icon.hicon = ::LoadIconW(nullptr, IDI_WARNING);
    ComPtr<IPictureDisp> picture;
    ASSERT_EQ(::OleCreatePictureIndirect(&desc, IID_IPictureDisp, FALSE, picture.putVoid()), S_OK);
    Variant icon;
    icon.vt = VT_DISPATCH;
    icon.pdispVal = picture.get();
    picture->AddRef();
    Variant nothing;
    nothing.vt = VT_DISPATCH;
    nothing.pdispVal = nullptr;
    ASSERT_EQ(showMessage(form.get(), L"二回目", &nothing, &icon), S_OK);
    ASSERT_EQ(messageWindowsOfThisThread(), windows);
    w = inspect(windows[0]);
    EXPECT_EQ(childOfClass(w, L"Static", SS_LEFT, SS_TYPEMASK)->text, L"二回目");
    // The window shows its own copy of the client's icon and keeps no reference to the picture.
    EXPECT_NE(shownIcon(w), nullptr);
    EXPECT_EQ(iconPixels(shownIcon(w)), iconPixels(desc.icon.hicon));
    EXPECT_NE(iconPixels(shownIcon(w)), libraryPixels);

    // Third call without a picture: back to the library's icon; Nothing as owner is no owner.
    ASSERT_EQ(showMessage(form.get(), L"三回目", &nothing), S_OK);
    w = inspect(windows[0]);
    HICON third = shownIcon(w);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(iconPixels(third), libraryPixels);
    EXPECT_EQ(w.owner, nullptr);

}

TEST(MessageWindow, OwnerFromHandleOrObjectAndClosingWithIt) {
    ComPtr<IDispatch> form = create(L"FormCls");
    HWND owner = makeOwner(40, 60);
    ASSERT_NE(owner, nullptr);

    // A number that is a window handle.
    Variant handle;
    handle.vt = VT_I4;
    handle.lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner));
    ASSERT_EQ(showMessage(form.get(), L"owned by a handle", &handle), S_OK);
    HWND message = messageWindowsOfThisThread().at(0);
    SeenWindow w = inspect(message);
    EXPECT_EQ(w.owner, owner);
    RECT ownerRect{};
    ::GetWindowRect(owner, &ownerRect);
    EXPECT_NEAR(centre(w.windowRect).x, centre(ownerRect).x, 2);
    EXPECT_NEAR(centre(w.windowRect).y, centre(ownerRect).y, 2);

    // Through the vtable, with an object whose hWnd property is the window.
    HWND second = makeOwner(300, 200);
    ComPtr<IDispatch> ownerObject = makeWindowHandleObject(static_cast<LONG>(reinterpret_cast<LONG_PTR>(second)));
    client::Object<_FormCls> typed(L"kroProgramDll.FormCls");
    BSTR text = ::SysAllocString(L"owned by an object");
    IDispatch* ownerArg = ownerObject.get();
    IPictureDisp* noIcon = nullptr;
    EXPECT_EQ(typed->Message_Show(&text, &ownerArg, &noIcon), S_OK);
    ::SysFreeString(text);
    EXPECT_EQ(inspect(message).owner, second);

    // The owner closing takes the notice with it; the next call loads it afresh.
    ::DestroyWindow(second);
    EXPECT_FALSE(::IsWindow(message));
    EXPECT_TRUE(messageWindowsOfThisThread().empty());
    ASSERT_EQ(showMessage(form.get(), L"again", &handle), S_OK);
    ASSERT_EQ(messageWindowsOfThisThread().size(), 1u);
    EXPECT_TRUE(::IsWindowVisible(messageWindowsOfThisThread()[0]));
    ::DestroyWindow(owner);
    EXPECT_TRUE(messageWindowsOfThisThread().empty());
}

TEST(MessageWindow, BadOwnersFailWithTypeMismatchBeforeAnythingIsShown) {
    // A fresh thread has no message window yet: nothing may appear for a refused owner.
    std::thread([] {
        ::CoInitialize(nullptr);
        {
            ComPtr<IDispatch> form = create(L"FormCls");
            ComPtr<IDispatch> notAWindow = create(L"FileSystemCls");
            Variant word, stray, object, nullValue;
            word.vt = VT_BSTR;
            word.bstrVal = ::SysAllocString(L"abc");
            stray.vt = VT_I4;
            stray.lVal = 0x7654321;
            object.vt = VT_DISPATCH;
            object.pdispVal = notAWindow.get();
            notAWindow->AddRef();
            nullValue.vt = VT_NULL;
            for (VARIANT* bad : {static_cast<VARIANT*>(&word), static_cast<VARIANT*>(&stray),
                                 static_cast<VARIANT*>(&object), static_cast<VARIANT*>(&nullValue)}) {
                HRESULT hr = showMessage(form.get(), L"never shown", bad);
                EXPECT_TRUE(hr == DISP_E_TYPEMISMATCH || client::errorNumber(hr) == 13) << std::hex << hr;
            }
            EXPECT_TRUE(messageWindowsOfThisThread().empty());
            // Empty is no owner.
            Variant empty;
            EXPECT_EQ(showMessage(form.get(), L"shown", &empty), S_OK);
            EXPECT_EQ(messageWindowsOfThisThread().size(), 1u);
        }
        ::CoUninitialize();
    }).join();
}

TEST(Introduction, ShowsTheNoticeForOneSecondWithoutSpinning) {
    ComPtr<IDispatch> form = create(L"FormCls");
    ASSERT_EQ(showMessage(form.get(), L"a client's notice"), S_OK);
    ComPtr<IDispatch> main = create(L"MainCls");

    std::wstring seenText;
    std::thread watcher([&] {
        HWND w = waitForWindow(kMessageClass, L"", 3000);
        for (int i = 0; w && i < 20 && seenText.find(L"ソフト名") == std::wstring::npos; ++i) {
            for (auto& c : inspect(w).controls)
                if (c.text.find(L"開発者") != std::wstring::npos) seenText = c.text;
            ::Sleep(20);
        }
    });
    FILETIME created, exited, kernel0, user0, kernel1, user1;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel0, &user0);
    LARGE_INTEGER f, t0, t1;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t0);
    CallResult r;
    callByName(main.get(), L"紹介", {}, r);
    ::QueryPerformanceCounter(&t1);
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel1, &user1);
    watcher.join();
    ASSERT_EQ(r.hr, S_OK);

    double seconds = double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
    EXPECT_NEAR(seconds, 1.0, 0.2);
    auto ticks = [](FILETIME a) { return (ULONGLONG(a.dwHighDateTime) << 32) | a.dwLowDateTime; };
    double cpu = double(ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0)) / 1e7;
    EXPECT_LT(cpu, 0.4) << "the wait must not spin";
    EXPECT_EQ(seenText, L"開発者:kro\r\nソフト名:kro program dll");
    // The notice is gone, the client's earlier message window with it.
    EXPECT_TRUE(messageWindowsOfThisThread().empty());
}

TEST(Screenshot, MessageWindow) {
    ComPtr<IDispatch> form = create(L"FormCls");
    // Owned by a hidden window (so centred on the screen), which takes it along when it goes.
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Variant handle;
    handle.vt = VT_I4;
    handle.lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner));
    ASSERT_EQ(showMessage(form.get(), L"データを保存しています。しばらくお待ちください…", &handle), S_OK);
    expectDrawnAsDesigned(messageWindowsOfThisThread().at(0), {px(6450), px(1320)});
    EXPECT_TRUE(saveScreenshot(messageWindowsOfThisThread().at(0), L"message_window"));
    ::DestroyWindow(owner);
}

TEST(KeyState, ReadsTheThreadsKeyboardStateAndRefusesCodesOutsideTheTable) {
    HWND focus = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 30, nullptr, nullptr, nullptr,
                                   nullptr);
    ::SetForegroundWindow(focus);
    ::SetFocus(focus);
    client::Object<_KeyCodeCls> keys(L"kroProgramDll.KeyCodeCls");
    auto down = [&](LONG code, HRESULT* hr = nullptr) {
        utd_ApiKeyCodes key = static_cast<utd_ApiKeyCodes>(code);
        VARIANT_BOOL result = 123;
        HRESULT h = keys->key_Down(&key, &result);
        if (hr) *hr = h;
        return result;
    };
    auto settle = [] {
        MSG msg;
        for (int i = 0; i < 10; ++i) {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
            ::Sleep(10);
        }
    };
    // Under X the window becomes the foreground one only when the focus event has been handled:
    // input sent before that goes to whichever window had the focus.
    settle();
    ASSERT_EQ(::GetForegroundWindow(), focus);
    ::keybd_event(VK_SHIFT, 0, 0, 0);
    settle();
    EXPECT_EQ(down(VK_SHIFT), VARIANT_TRUE);
    EXPECT_EQ(down('A'), VARIANT_FALSE);
    ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    settle();
    EXPECT_EQ(down(VK_SHIFT), VARIANT_FALSE);

    HRESULT hr = S_OK;
    EXPECT_EQ(down(256, &hr), VARIANT_FALSE);
    EXPECT_EQ(hr, S_OK);
    for (LONG bad : {257L, -1L, 0x10000L}) {
        down(bad, &hr);
        EXPECT_EQ(client::errorNumber(hr), 9) << bad;
    }
    ::DestroyWindow(focus);
}
