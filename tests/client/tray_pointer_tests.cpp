// Tray icons, taskbar button, topmost state, the application pointer and the click-handler help
// of ProgramCls and ApplicationCls, as a client sees them on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::test;

namespace {

template <class I>
ComPtr<I> make(const wchar_t* className) {
    ComPtr<I> object;
    if (ComPtr<IDispatch> d = create(className)) d->QueryInterface(__uuidof(I), object.putVoid());
    return object;
}

// A window of this thread whose own pointer is the I-beam, unlike every shape the tests set.
class TestWindow {
public:
    explicit TestWindow(HWND owner = nullptr) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
        wc.lpszClassName = L"KroPointerTestWindow";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 40, 50, 300, 200, owner, nullptr, nullptr, nullptr);
    }
    ~TestWindow() { ::DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }
    LONG handle() const { return static_cast<LONG>(reinterpret_cast<INT_PTR>(hwnd_)); }
    // What the system sends when the mouse moves over the client area; the cursor after it.
    HCURSOR mouseOver() const {
        ::SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    }
private:
    HWND hwnd_ = nullptr;
};

HCURSOR cursor(LPCWSTR id) { return ::LoadCursorW(nullptr, id); }

// Icons in the display's stand-alone notification area (there is no taskbar under Xvfb).
int trayIcons() {
    HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
    int shown = 0;
    for (HWND i = nullptr; tray && (i = ::FindWindowExW(tray, i, L"__winex11_tray_icon", nullptr));) ++shown;
    return shown;
}

bool trayShows(int count) {
    for (int tries = 0; tries < 100 && trayIcons() != count; ++tries) ::Sleep(50);
    return trayIcons() == count;
}

// Counts loads of one module file: a hook left behind by an unloaded module makes the system
// load that module again to call it.
class ModuleLoadCounter {
public:
    explicit ModuleLoadCounter(const wchar_t* baseName) : name_(baseName) {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        auto reg = reinterpret_cast<LONG(WINAPI*)(ULONG, Callback, void*, void**)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "LdrRegisterDllNotification")));
        unregister_ = reinterpret_cast<LONG(WINAPI*)(void*)>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "LdrUnregisterDllNotification")));
        if (reg) reg(0, &ModuleLoadCounter::notified, this, &cookie_);
    }
    ~ModuleLoadCounter() { if (cookie_) unregister_(cookie_); }
    bool watching() const { return cookie_ != nullptr; }
    LONG loads = 0;
private:
    struct Name { USHORT length, maximum; PWSTR buffer; };
    struct Data { ULONG flags; const Name* fullName; const Name* baseName; };
    using Callback = void(CALLBACK*)(ULONG, const Data*, void*);
    static void CALLBACK notified(ULONG reason, const Data* data, void* context) {
        auto* self = static_cast<ModuleLoadCounter*>(context);
        if (reason == 1 && ::CompareStringOrdinal(data->baseName->buffer, data->baseName->length / 2, self->name_, -1, TRUE) == CSTR_EQUAL)
            ::InterlockedIncrement(&self->loads);
    }
    const wchar_t* name_;
    LONG(WINAPI* unregister_)(void*) = nullptr;
    void* cookie_ = nullptr;
};

}  // namespace

TEST(TrayAndWindows, RealIconTaskbarOwnerAndTopmostBits) {
    auto program = make<_ProgramCls>(L"ProgramCls");
    auto app = make<_ApplicationCls>(L"ApplicationCls");
    ASSERT_TRUE(program && app);
    TestWindow owner, window(owner.get());
    LONG hwnd = window.handle(), id = 1, result = -1, none = 0;
    LONG icon = static_cast<LONG>(reinterpret_cast<INT_PTR>(::LoadIconW(nullptr, IDI_APPLICATION)));
    Bstr tipText(L"トレイのテスト");
    BSTR tip = tipText.get();
    const int others = trayIcons();
    // Each class deletes what the other added: the platform finds icons by window and id alone.
    ASSERT_EQ(program->Tasktray_Set(&hwnd, &icon, &id, &tip, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(trayShows(others + 1));
    ASSERT_EQ(app->Tasktray_Exit(&hwnd, &icon, &id), S_OK);
    EXPECT_TRUE(trayShows(others));
    ASSERT_EQ(app->Tasktray_Set(&hwnd, &icon, &id, &tip, &result), S_OK);
    EXPECT_TRUE(trayShows(others + 1));
    ASSERT_EQ(program->Tasktray_Exit(&hwnd, &id), S_OK);
    EXPECT_TRUE(trayShows(others));
    // A request the platform refuses still answers 0.
    result = -1;
    EXPECT_EQ(app->Tasktray_Set(&none, &none, &none, &tip, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(hwnd == window.handle() && id == 1 && tip == tipText.get());

    ASSERT_EQ(program->AddButtonForTaskBar(&hwnd), S_OK);
    EXPECT_EQ(::GetWindow(window.get(), GW_OWNER), ::GetDesktopWindow());
    auto topmost = [&] { return (::GetWindowLongW(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    RECT before{}, after{};
    ::GetWindowRect(window.get(), &before);
    VARIANT_BOOL on = VARIANT_TRUE, off = VARIANT_FALSE;
    ASSERT_EQ(app->Set_Window_Top(&hwnd, &on), S_OK);
    ::GetWindowRect(window.get(), &after);
    EXPECT_TRUE(topmost() && ::IsWindowVisible(window.get()) && ::EqualRect(&before, &after));
    ASSERT_EQ(app->Set_Window_Top(&hwnd, &off), S_OK);
    EXPECT_FALSE(topmost());
    ASSERT_EQ(app->Set_Window_Top(&hwnd, &on), S_OK);
    ASSERT_EQ(app->Set_Window_Top(&hwnd, nullptr), S_OK);  // omitted: not topmost
    EXPECT_FALSE(topmost());
    EXPECT_EQ(app->Set_Window_Top(&none, &on), S_OK);  // errors are ignored
}

TEST(Pointer, ShapeThroughGetCursorAndWmSetCursorRestoredInReleaseOrder) {
    TestWindow window;
    auto first = make<_ProgramCls>(L"ProgramCls");
    auto second = make<_ApplicationCls>(L"ApplicationCls");
    auto idle = make<_ProgramCls>(L"ProgramCls");
    ASSERT_TRUE(first && second && idle);
    ASSERT_EQ(first->SetPointer(nullptr), S_OK);  // omitted: the hourglass; saves 0
    EXPECT_EQ(::GetCursor(), cursor(IDC_WAIT));
    EXPECT_EQ(window.mouseOver(), cursor(IDC_WAIT));
    LONG cross = 2, custom = 99, noDrop = 12;
    ASSERT_EQ(first->SetPointer(&cross), S_OK);  // keeps the saved 0
    EXPECT_EQ(window.mouseOver(), cursor(IDC_CROSS));
    ASSERT_EQ(first->SetPointer(&custom), S_OK);  // no custom cursor: the window's own
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
    ASSERT_EQ(second->SetPointer(&noDrop), S_OK);  // saves 99
    for (LONG bad : {16L, -1L, 98L, 100L}) {
        LONG code = bad;
        EXPECT_EQ(idle->SetPointer(&code), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380)) << bad;
    }
    EXPECT_EQ(window.mouseOver(), cursor(IDC_NO));
    idle = {};  // never changed anything: puts nothing back
    EXPECT_EQ(window.mouseOver(), cursor(IDC_NO));
    second = {};
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
    ASSERT_EQ(first->SetPointer(&noDrop), S_OK);
    first = {};
    EXPECT_NE(::GetCursor(), cursor(IDC_NO));
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
}

// Released first-to-last, two objects leave a shape in force with no object alive: the module
// must stay loaded for it, and when it is unloaded all the same its hook must go with it. A
// private copy of the module keeps the one COM loaded out of this, and a process of its own keeps
// the loading and unloading of that copy (and any crash) away from the other tests.
TEST(Pointer, NoHookOutlivesTheModule) {
    EXPECT_EQ(runDisabledTestInOwnProcess(L"Pointer.DISABLED_NoHookOutlivesTheModuleInThisProcess"), 0u);
}

TEST(Pointer, DISABLED_NoHookOutlivesTheModuleInThisProcess) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring copy = std::wstring(folder) + L"kro_pointer_unload_copy.dll";
    ASSERT_TRUE(::CopyFileW(modulePath().c_str(), copy.c_str(), FALSE));
    HMODULE module = ::LoadLibraryW(copy.c_str());
    ASSERT_TRUE(module);
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    auto classObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    TestWindow window;
    {
        ComPtr<IClassFactory> programs, apps;
        ComPtr<_ProgramCls> first;
        ComPtr<_ApplicationCls> second;
        ASSERT_EQ(classObject(CLSID_ProgramCls, IID_IClassFactory, programs.putVoid()), S_OK);
        ASSERT_EQ(classObject(CLSID_ApplicationCls, IID_IClassFactory, apps.putVoid()), S_OK);
        ASSERT_EQ(programs->CreateInstance(nullptr, __uuidof(_ProgramCls), first.putVoid()), S_OK);
        ASSERT_EQ(apps->CreateInstance(nullptr, __uuidof(_ApplicationCls), second.putVoid()), S_OK);
        LONG hourglass = 11, cross = 2;
        ASSERT_EQ(first->SetPointer(&hourglass), S_OK);  // saves 0
        ASSERT_EQ(second->SetPointer(&cross), S_OK);     // saves 11
        first = {};
        second = {};
    }
    EXPECT_EQ(window.mouseOver(), cursor(IDC_WAIT));
    EXPECT_EQ(canUnload(), S_FALSE);

    ModuleLoadCounter counter(L"kro_pointer_unload_copy.dll");
    ASSERT_TRUE(counter.watching());
    ::FreeLibrary(module);
    ASSERT_EQ(::GetModuleHandleW(copy.c_str()), nullptr);
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
    EXPECT_EQ(counter.loads, 0);
    ::DeleteFileW(copy.c_str());
}

TEST(ClickHandlerHelp, ShownInAnInformationBoxThenReturned) {
    auto app = make<_ApplicationCls>(L"ApplicationCls");
    ASSERT_TRUE(app);
    UiWatcher watcher({IDOK});
    Bstr result;
    ASSERT_EQ(app->Help_Get_Check_ClickKey(result.put()), S_OK);
    const std::wstring text(result.view());
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 22);  // 23 lines
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), 22);
    const std::wstring ending = L"\r\n   End Select\r\n\r\nEnd Sub";
    EXPECT_EQ(text.rfind(ending), text.size() - ending.size());
    EXPECT_NE(text.find(L"\r\n   Select Case X \\ Screen.TwipsPerPixelX\r\n\r\n   '左クリック\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n       Case WM_LBUTTONDBLCLK   'ダブルクリック\r\n\r\n   '右クリック\r\n"), std::wstring::npos);
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"このコードは戻り値に記載されています。");
    EXPECT_EQ(seen[0].text, text);
    EXPECT_EQ(seen[0].icon, BoxIcon::Asterisk);
    EXPECT_EQ(seen[0].buttons.size(), 1u);
}
