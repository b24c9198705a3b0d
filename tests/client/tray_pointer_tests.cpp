// Tray icons, taskbar button, topmost state, the application pointer and the click-handler help
// of ProgramCls and ApplicationCls, as a client sees them on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::test;

namespace {

long errorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr; }

template <class I>
ComPtr<I> make(const wchar_t* className) {
    ComPtr<I> object;
    ComPtr<IDispatch> d = create(className);
    if (d) d->QueryInterface(__uuidof(I), object.putVoid());
    return object;
}

// A top-level window of this thread whose own pointer is the I-beam, so that it differs from
// every shape the tests put in force.
class TestWindow {
public:
    explicit TestWindow(HWND owner = nullptr, DWORD style = WS_OVERLAPPEDWINDOW) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
        wc.lpszClassName = L"KroPointerTestWindow";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"test", style, 40, 50, 300, 200, owner, nullptr, wc.hInstance, nullptr);
    }
    ~TestWindow() { ::DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }
    LONG handle() const { return static_cast<LONG>(reinterpret_cast<INT_PTR>(hwnd_)); }
    // What the system sends when the mouse moves over the client area; returns the cursor after.
    HCURSOR mouseOver() const {
        ::SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    }
private:
    HWND hwnd_ = nullptr;
};

HCURSOR cursor(LPCWSTR id) { return ::LoadCursorW(nullptr, id); }

// Icons shown by the display's stand-alone notification area (there is no taskbar under Xvfb).
int trayIconCount() {
    HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
    int count = 0;
    for (HWND child = tray ? ::FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr) : nullptr; child;
         child = ::FindWindowExW(tray, child, L"__winex11_tray_icon", nullptr))
        ++count;
    return count;
}

// Counts the loads of one module file by the loader, whoever asks for them: a hook left behind by
// an unloaded module makes the system load that module again to call it.
class ModuleLoadCounter {
public:
    explicit ModuleLoadCounter(std::wstring baseName) : name_(std::move(baseName)) {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        reg_ = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "LdrRegisterDllNotification")));
        unreg_ = reinterpret_cast<UnregisterFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "LdrUnregisterDllNotification")));
        if (reg_) reg_(0, &ModuleLoadCounter::notified, this, &cookie_);
    }
    ~ModuleLoadCounter() { if (cookie_ && unreg_) unreg_(cookie_); }
    bool watching() const { return cookie_ != nullptr; }
    LONG loads() const { return loads_; }

private:
    struct Name { USHORT length, maximum; PWSTR buffer; };
    struct Data { ULONG flags; const Name* fullName; const Name* baseName; void* base; ULONG size; };
    using Callback = void(CALLBACK*)(ULONG, const Data*, void*);
    using RegisterFn = LONG(WINAPI*)(ULONG, Callback, void*, void**);
    using UnregisterFn = LONG(WINAPI*)(void*);
    static void CALLBACK notified(ULONG reason, const Data* data, void* context) {
        auto* self = static_cast<ModuleLoadCounter*>(context);
        const std::wstring base(data->baseName->buffer, data->baseName->length / sizeof(wchar_t));
        if (reason == 1 && ::CompareStringOrdinal(base.c_str(), -1, self->name_.c_str(), -1, TRUE) == CSTR_EQUAL)
            ::InterlockedIncrement(&self->loads_);
    }
    std::wstring name_;
    RegisterFn reg_ = nullptr;
    UnregisterFn unreg_ = nullptr;
    void* cookie_ = nullptr;
    LONG loads_ = 0;
};

bool waitForTrayIcons(int expected) {
    for (int i = 0; i < 100; ++i) {
        if (trayIconCount() == expected) return true;
        ::Sleep(50);
    }
    return false;
}

}  // namespace

TEST(TrayIcon, BothClassesAddAndDeleteARealIconAndAlwaysReturnZero) {
    auto program = make<_ProgramCls>(L"ProgramCls");
    auto app = make<_ApplicationCls>(L"ApplicationCls");
    ASSERT_TRUE(program && app);
    TestWindow window;
    LONG hwnd = window.handle();
    LONG icon = static_cast<LONG>(reinterpret_cast<INT_PTR>(::LoadIconW(nullptr, IDI_APPLICATION)));
    LONG id = 1;
    Bstr tipText(L"トレイのテスト");
    BSTR tip = tipText.get();
    const int before = trayIconCount();

    LONG result = -1;
    ASSERT_EQ(program->Tasktray_Set(&hwnd, &icon, &id, &tip, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(waitForTrayIcons(before + 1));
    ASSERT_EQ(program->Tasktray_Exit(&hwnd, &id), S_OK);
    EXPECT_TRUE(waitForTrayIcons(before));

    id = 2;
    result = -1;
    ASSERT_EQ(app->Tasktray_Set(&hwnd, &icon, &id, &tip, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(waitForTrayIcons(before + 1));
    ASSERT_EQ(app->Tasktray_Exit(&hwnd, &icon, &id), S_OK);
    EXPECT_TRUE(waitForTrayIcons(before));
    // The by-reference arguments come back unchanged.
    EXPECT_EQ(hwnd, window.handle());
    EXPECT_EQ(id, 2);

    // A request the platform refuses (no such window) still answers 0, and deleting an icon
    // that is not there is no error.
    LONG none = 0;
    result = -1;
    ASSERT_EQ(app->Tasktray_Set(&none, &none, &none, &tip, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(program->Tasktray_Exit(&none, &none), S_OK);
    EXPECT_EQ(tip, tipText.get());
    EXPECT_TRUE(waitForTrayIcons(before));
}

TEST(WindowServices, TaskbarButtonOwnerAndTopmostStyleBits) {
    auto program = make<_ProgramCls>(L"ProgramCls");
    auto app = make<_ApplicationCls>(L"ApplicationCls");
    ASSERT_TRUE(program && app);
    TestWindow owner;
    TestWindow owned(owner.get());
    ASSERT_EQ(::GetWindow(owned.get(), GW_OWNER), owner.get());
    LONG hwnd = owned.handle();
    ASSERT_EQ(program->AddButtonForTaskBar(&hwnd), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(::GetWindowLongPtrW(owned.get(), GWLP_HWNDPARENT)), ::GetDesktopWindow());

    RECT before{};
    ::GetWindowRect(owned.get(), &before);
    auto topmost = [&] { return (::GetWindowLongW(owned.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    VARIANT_BOOL on = VARIANT_TRUE, off = VARIANT_FALSE;
    ASSERT_EQ(app->Set_Window_Top(&hwnd, &on), S_OK);
    EXPECT_TRUE(topmost());
    EXPECT_TRUE(::IsWindowVisible(owned.get()));
    RECT after{};
    ::GetWindowRect(owned.get(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    ASSERT_EQ(app->Set_Window_Top(&hwnd, &off), S_OK);
    EXPECT_FALSE(topmost());

    // Omitted SetTop, by name: not topmost.
    ASSERT_EQ(app->Set_Window_Top(&hwnd, &on), S_OK);
    CallResult r;
    VARIANT w = i4(hwnd);
    callByName(create(L"ApplicationCls").get(), L"Set_Window_Top", {&w}, r);
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_FALSE(topmost());

    // Errors are ignored: no window, a destroyed window.
    LONG none = 0, gone = 0;
    {
        TestWindow temporary;
        gone = temporary.handle();
    }
    EXPECT_EQ(app->Set_Window_Top(&none, &on), S_OK);
    EXPECT_EQ(app->Set_Window_Top(&gone, &on), S_OK);
    EXPECT_EQ(program->AddButtonForTaskBar(&gone), S_OK);
}

TEST(Pointer, ShapeSeenThroughGetCursorAndWmSetCursorUntilTheObjectGoes) {
    TestWindow window;
    ASSERT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
    {
        auto app = make<_ApplicationCls>(L"ApplicationCls");
        ASSERT_TRUE(app);
        // Omitted: the hourglass, at once and after the window procedure answered WM_SETCURSOR.
        ASSERT_EQ(app->SetPointer(nullptr), S_OK);
        EXPECT_EQ(::GetCursor(), cursor(IDC_WAIT));
        EXPECT_EQ(window.mouseOver(), cursor(IDC_WAIT));
        // A second call changes the shape but not what is put back at the end.
        LONG cross = 2;
        ASSERT_EQ(app->SetPointer(&cross), S_OK);
        EXPECT_EQ(window.mouseOver(), cursor(IDC_CROSS));
        // Codes without a shape of their own leave the window's pointer.
        LONG custom = 99;
        ASSERT_EQ(app->SetPointer(&custom), S_OK);
        EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
        LONG sizeAll = 15;
        ASSERT_EQ(app->SetPointer(&sizeAll), S_OK);
        EXPECT_EQ(window.mouseOver(), cursor(IDC_SIZEALL));

        // Not a pointer code: 380, nothing changed.
        for (LONG bad : {16L, -1L, 98L, 100L, 0x7FFFFFFFL}) {
            LONG code = bad;
            HRESULT hr = app->SetPointer(&code);
            EXPECT_EQ(errorNumber(hr), 380) << bad;
            EXPECT_EQ(window.mouseOver(), cursor(IDC_SIZEALL)) << bad;
        }
        ComPtr<IErrorInfo> info;
        LONG code = 16;
        app->SetPointer(&code);
        ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
        Bstr description;
        info->GetDescription(description.put());
        EXPECT_EQ(description.view(), L"Invalid property value");

        // An object that never changed the pointer changes nothing when it goes, nor does one
        // whose only call failed.
        auto idle = make<_ProgramCls>(L"ProgramCls");
        auto failed = make<_ProgramCls>(L"ProgramCls");
        LONG bad = 200;
        EXPECT_EQ(errorNumber(failed->SetPointer(&bad)), 380);
        idle = {};
        failed = {};
        EXPECT_EQ(window.mouseOver(), cursor(IDC_SIZEALL));
    }
    // Released: the pointer in force before its first call (none), at once and on the next move.
    EXPECT_NE(::GetCursor(), cursor(IDC_SIZEALL));
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));

    // By name, as scripts call it: omitted means 11, text that is no number fails with 13.
    {
        auto program = create(L"ProgramCls");
        CallResult r;
        callByName(program.get(), L"SetPointer", {}, r);
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_EQ(window.mouseOver(), cursor(IDC_WAIT));
        CallResult r2;
        VARIANT t = text(L"abc");
        callByName(program.get(), L"SetPointer", {&t}, r2);
        EXPECT_EQ(r2.hr, DISP_E_TYPEMISMATCH);
        ::VariantClear(&t);
    }
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
}

TEST(Pointer, TwoObjectsRestoreInReleaseOrder) {
    TestWindow window;
    auto first = make<_ProgramCls>(L"ProgramCls");
    auto second = make<_ApplicationCls>(L"ApplicationCls");
    ASSERT_TRUE(first && second);
    LONG hourglass = 11, noDrop = 12;
    ASSERT_EQ(first->SetPointer(&hourglass), S_OK);   // saves 0
    ASSERT_EQ(second->SetPointer(&noDrop), S_OK);     // saves 11
    EXPECT_EQ(window.mouseOver(), cursor(IDC_NO));
    second = {};
    EXPECT_EQ(window.mouseOver(), cursor(IDC_WAIT));
    first = {};
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
}

// The other release order leaves a shape in force with no object alive: the module must stay
// loaded for it, and when it is unloaded all the same its hook must not stay behind. A private
// copy of the module is used so that the one COM loaded is not disturbed.
TEST(Pointer, NoHookOutlivesTheModule) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring copy = std::wstring(folder) + L"kro_pointer_unload_copy.dll";
    ASSERT_TRUE(::CopyFileW(modulePath().c_str(), copy.c_str(), FALSE));
    HMODULE module = ::LoadLibraryW(copy.c_str());
    ASSERT_TRUE(module);
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    auto classObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    ASSERT_TRUE(canUnload && classObject);
    auto makeFrom = [&](REFCLSID clsid, REFIID iid, void** out) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(classObject(clsid, IID_IClassFactory, factory.putVoid()), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, iid, out), S_OK);
    };

    TestWindow window;
    {
        ComPtr<_ProgramCls> first;
        ComPtr<_ApplicationCls> second;
        makeFrom(CLSID_ProgramCls, __uuidof(_ProgramCls), first.putVoid());
        makeFrom(CLSID_ApplicationCls, __uuidof(_ApplicationCls), second.putVoid());
        ASSERT_TRUE(first && second);
        LONG hourglass = 11, cross = 2;
        ASSERT_EQ(first->SetPointer(&hourglass), S_OK);  // saves 0
        ASSERT_EQ(second->SetPointer(&cross), S_OK);     // saves 11
        first = {};
        EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
        second = {};
    }
    EXPECT_EQ(window.mouseOver(), cursor(IDC_WAIT));
    EXPECT_EQ(canUnload(), S_FALSE);

    // A shape without an object: unload anyway (as a client may), then move over the window.
    // A hook left behind would call into the unloaded code (or make the system load it again).
    ModuleLoadCounter loads(L"kro_pointer_unload_copy.dll");
    ASSERT_TRUE(loads.watching());
    ::FreeLibrary(module);
    ASSERT_EQ(::GetModuleHandleW(copy.c_str()), nullptr);
    EXPECT_EQ(window.mouseOver(), cursor(IDC_IBEAM));
    EXPECT_EQ(loads.loads(), 0);
    ::DeleteFileW(copy.c_str());
}

TEST(ClickHandlerHelp, ShownInAnInformationBoxThenReturned) {
    auto app = make<_ApplicationCls>(L"ApplicationCls");
    ASSERT_TRUE(app);
    UiWatcher watcher({IDOK});
    BSTR result = nullptr;
    ASSERT_EQ(app->Help_Get_Check_ClickKey(&result), S_OK);
    Bstr owned = Bstr::attach(result);
    const std::wstring text(owned.view());

    std::vector<std::wstring> lines;
    for (std::size_t start = 0;;) {
        std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 22);  // no bare line feeds or returns
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), 22);
    EXPECT_EQ(lines[0], L"Private Sub Form_MouseMove( _");
    EXPECT_EQ(lines[4], L"   Select Case X \\ Screen.TwipsPerPixelX");
    EXPECT_EQ(lines[7], L"       Case WM_LBUTTONDOWN     'マウスダウン");
    EXPECT_EQ(lines[18], L"       Case WM_RBUTTONDBLCLK   'ダブルクリック");
    EXPECT_EQ(lines[22], L"End Sub");
    for (int empty : {2, 5, 8, 10, 12, 15, 17, 19, 21}) EXPECT_EQ(lines[empty], L"") << empty;

    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"このコードは戻り値に記載されています。");
    EXPECT_EQ(seen[0].text, text);
    EXPECT_EQ(seen[0].icon, BoxIcon::Asterisk);
    EXPECT_EQ(seen[0].buttons.size(), 1u);
}
