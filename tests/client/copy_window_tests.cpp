// The copy progress window as a client drives it: FormCls.Copy_ShowEx, Copy_SetValue,
// Copy_CancelCheck and Copy_Hide through the vtable and through IDispatch, looked at through the
// UI watcher (style bits, size, controls, texts, the clip playing) and clicked like a person would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdint>

#include "frame/automation.h"
#include "tests/client/client_support.h"
#include "tests/client/filesystem_client.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::test;

namespace {

const std::wstring kCopyClass = L"kroProgramDll.frmCopy";
constexpr COLORREF kFolderColour = RGB(240, 192, 48);
constexpr COLORREF kPaperColour = RGB(255, 255, 255);

int px(int twips) { return static_cast<int>(std::lround(twips * 96 / 1440.0)); }

// ---- a small uncompressed AVI clip --------------------------------------------------------------

class RiffWriter {
public:
    std::vector<unsigned char> bytes;
    void fourcc(const char* f) { bytes.insert(bytes.end(), f, f + 4); }
    void u32(uint32_t v) { for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i))); }
    void u16(uint16_t v) { for (int i = 0; i < 2; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i))); }
    // Opens a chunk (or a RIFF/LIST with its type) and returns where its size goes.
    size_t open(const char* id, const char* type = nullptr) {
        fourcc(id);
        size_t at = bytes.size();
        u32(0);
        if (type) fourcc(type);
        return at;
    }
    void close(size_t at) {
        uint32_t size = static_cast<uint32_t>(bytes.size() - at - 4);
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(size >> (8 * i));
        if (bytes.size() % 2) bytes.push_back(0);
    }
};

// A 24-bit clip of `frames` frames, 96 x 40 pixels, 10 frames a second: a sheet of paper flying
// from one folder to another over a grey background (the top-left pixel, drawn transparent).
std::vector<unsigned char> copyClip(int frames = 8) {
    const int w = 96, h = 40, row = w * 3;
    const uint32_t frameBytes = static_cast<uint32_t>(row * h);
    auto frame = [&](int n) {
        std::vector<unsigned char> pixels(frameBytes);
        auto paint = [&](int x0, int y0, int x1, int y1, COLORREF c) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    size_t at = static_cast<size_t>((h - 1 - y) * row + x * 3);  // bottom-up rows, BGR
                    pixels[at] = GetBValue(c);
                    pixels[at + 1] = GetGValue(c);
                    pixels[at + 2] = GetRValue(c);
                }
        };
        paint(0, 0, w, h, RGB(192, 192, 192));
        paint(2, 14, 26, 36, RGB(120, 90, 20));
        paint(3, 15, 25, 35, kFolderColour);
        paint(70, 14, 94, 36, RGB(120, 90, 20));
        paint(71, 15, 93, 35, kFolderColour);
        int x = 14 + n * (66 - 14) / (frames > 1 ? frames - 1 : 1);
        int y = 10 - (n * (frames - 1 - n) * 8) / ((frames / 2) * (frames / 2) + 1);
        paint(x, y, x + 14, y + 18, RGB(60, 60, 60));
        paint(x + 1, y + 1, x + 13, y + 17, kPaperColour);
        for (int line = 0; line < 4; ++line) paint(x + 3, y + 4 + line * 3, x + 11, y + 5 + line * 3, RGB(40, 80, 200));
        return pixels;
    };

    RiffWriter r;
    size_t riff = r.open("RIFF", "AVI ");
    size_t hdrl = r.open("LIST", "hdrl");
    size_t avih = r.open("avih");
    r.u32(100000);                 // microseconds per frame
    r.u32(frameBytes * 10);        // max bytes per second
    r.u32(0);                      // padding
    r.u32(0x10);                   // has an index
    r.u32(static_cast<uint32_t>(frames));
    r.u32(0);                      // initial frames
    r.u32(1);                      // streams
    r.u32(frameBytes);             // suggested buffer
    r.u32(w);
    r.u32(h);
    for (int i = 0; i < 4; ++i) r.u32(0);
    r.close(avih);
    size_t strl = r.open("LIST", "strl");
    size_t strh = r.open("strh");
    r.fourcc("vids");
    r.fourcc("DIB ");
    r.u32(0);                      // flags
    r.u16(0);                      // priority
    r.u16(0);                      // language
    r.u32(0);                      // initial frames
    r.u32(1);                      // scale
    r.u32(10);                     // rate
    r.u32(0);                      // start
    r.u32(static_cast<uint32_t>(frames));
    r.u32(frameBytes);
    r.u32(0xFFFFFFFFu);            // quality
    r.u32(0);                      // sample size
    r.u16(0), r.u16(0), r.u16(w), r.u16(h);
    r.close(strh);
    size_t strf = r.open("strf");
    r.u32(40), r.u32(w), r.u32(h), r.u16(1), r.u16(24), r.u32(BI_RGB), r.u32(frameBytes);
    r.u32(0), r.u32(0), r.u32(0), r.u32(0);
    r.close(strf);
    r.close(strl);
    r.close(hdrl);
    size_t movi = r.open("LIST", "movi");
    std::vector<uint32_t> offsets;
    for (int n = 0; n < frames; ++n) {
        offsets.push_back(static_cast<uint32_t>(r.bytes.size() - (movi + 4)));
        size_t chunk = r.open("00db");
        auto pixels = frame(n);
        r.bytes.insert(r.bytes.end(), pixels.begin(), pixels.end());
        r.close(chunk);
    }
    r.close(movi);
    size_t idx1 = r.open("idx1");
    for (uint32_t offset : offsets) {
        r.fourcc("00db");
        r.u32(0x10);  // key frame
        r.u32(offset);
        r.u32(frameBytes);
    }
    r.close(idx1);
    r.close(riff);
    return r.bytes;
}

// ---- looking at the window ----------------------------------------------------------------------

// This thread's copy windows (the library keeps one per client thread).
std::vector<HWND> copyWindowsOfThisThread() {
    std::vector<HWND> mine;
    for (HWND w : topLevelWindows(kCopyClass))
        if (::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId()) mine.push_back(w);
    return mine;
}

HWND theCopyWindow() {
    auto windows = copyWindowsOfThisThread();
    return windows.size() == 1 ? windows[0] : nullptr;
}

const SeenControl* childOfClass(const SeenWindow& w, const wchar_t* cls, int nth = 0) {
    for (auto& c : w.controls)
        if (_wcsicmp(c.className.c_str(), cls) == 0 && nth-- == 0) return &c;
    return nullptr;
}

struct CopyView {
    std::wstring title, fileName, message, amount;
    int barMax = -1, barPos = -1;
    bool visible = false;
};

CopyView look(HWND window) {
    CopyView v;
    SeenWindow w = inspect(window);
    v.title = w.caption;
    v.visible = w.visible;
    if (auto* c = childOfClass(w, L"Static", 0)) v.fileName = c->text;
    if (auto* c = childOfClass(w, L"Static", 1)) v.message = c->text;
    if (auto* c = childOfClass(w, L"Static", 2)) v.amount = c->text;
    if (auto* bar = childOfClass(w, PROGRESS_CLASSW)) {
        v.barMax = static_cast<int>(::SendMessageW(bar->hwnd, PBM_GETRANGE, FALSE, 0));
        v.barPos = static_cast<int>(::SendMessageW(bar->hwnd, PBM_GETPOS, 0, 0));
    }
    return v;
}

HWND cancelButton(HWND window) {
    auto* b = childOfClass(inspect(window), L"Button");
    return b ? b->hwnd : nullptr;
}

// The colours a control shows on the screen right now.
std::vector<COLORREF> shownPixels(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<COLORREF> pixels;
    if (w <= 0 || h <= 0) return pixels;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    auto* p = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    ::SelectObject(memory, old);
    ::DeleteObject(dib);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

size_t countColour(const std::vector<COLORREF>& pixels, COLORREF c) {
    return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), c));
}

void pumpFor(DWORD ms) {
    DWORD end = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    } while (static_cast<LONG>(::GetTickCount() - end) < 0);
}

std::wstring readAnsiFile(const std::wstring& path) {
    auto bytes = readBytes(path);
    int n = ::MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                                  nullptr, 0);
    std::wstring s(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                          s.data(), n);
    return s;
}

std::wstring errorReportPath() {
    std::wstring module = modulePath();
    return module.substr(0, module.find_last_of(L'\\') + 1) + L"ErrorFile.txt";
}

// ---- calling the members ------------------------------------------------------------------------

class CopyClient {
public:
    CopyClient() : form_(L"kroProgramDll.FormCls"), dispatch_(create(L"FormCls")) {}

    HRESULT showEx(const std::wstring& clip, short max, IDispatch* owner = nullptr, const wchar_t* caption = nullptr) {
        BSTR file = ::SysAllocString(clip.c_str());
        BSTR title = caption ? ::SysAllocString(caption) : nullptr;
        HRESULT hr = form_->Copy_ShowEx(&file, &max, &owner, caption ? &title : nullptr);
        ::SysFreeString(file);
        ::SysFreeString(title);
        return hr;
    }
    HRESULT setValue(short value, const std::wstring& name = L"a.txt", const std::wstring& from = L"C:\\a",
                     const std::wstring& to = L"D:\\b") {
        BSTR n = ::SysAllocString(name.c_str()), s = ::SysAllocString(from.c_str()), d = ::SysAllocString(to.c_str());
        HRESULT hr = form_->Copy_SetValue(&value, &n, &s, &d);
        ::SysFreeString(n);
        ::SysFreeString(s);
        ::SysFreeString(d);
        return hr;
    }
    bool cancelRequested() {
        VARIANT v;
        ::VariantInit(&v);
        EXPECT_EQ(form_->Copy_CancelCheck(&v), S_OK);
        EXPECT_EQ(v.vt, VT_BOOL);
        return v.vt == VT_BOOL && v.boolVal == VARIANT_TRUE;
    }
    HRESULT hide() { return form_->Copy_Hide(); }
    IDispatch* dispatch() const { return dispatch_.get(); }

private:
    client::Object<_FormCls> form_;
    ComPtr<IDispatch> dispatch_;
};

// A window of the test's own whose handler runs while the library pumps messages: it reads what
// the copy window shows at that moment.
struct PumpSpy {
    static constexpr UINT kLook = WM_APP + 7;
    HWND hwnd = nullptr;
    std::wstring amountSeen;
    static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
        if (m == kLook) {
            auto* self = reinterpret_cast<PumpSpy*>(lp);
            if (HWND copy = theCopyWindow()) self->amountSeen = look(copy).amount;
            return 0;
        }
        return ::DefWindowProcW(h, m, wp, lp);
    }
    PumpSpy() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"kroCopyPumpSpy";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~PumpSpy() { ::DestroyWindow(hwnd); }
    void lookDuringNextPump() { ::PostMessageW(hwnd, kLook, 0, reinterpret_cast<LPARAM>(this)); }
};

}  // namespace

TEST(CopyWindow, ShowsTheClipAndProgressThenClosesAtTheMaximum) {
    TempDir dir;
    writeBytes(dir / L"copy.avi", copyClip());
    CopyClient copy;
    UiWatcher watcher;
    ASSERT_EQ(copy.showEx(dir / L"copy.avi", 10), S_OK);
    HWND window = theCopyWindow();
    ASSERT_NE(window, nullptr);

    SeenWindow w = inspect(window);
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(w.caption, L"コピーしています...") << "title when the client gives none";
    EXPECT_EQ(w.style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(w.style & WS_SYSMENU, 0) << "close box";
    EXPECT_EQ(w.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(w.exStyle & WS_EX_TOOLWINDOW, 0) << "tool window, not in the taskbar";
    EXPECT_EQ(w.owner, nullptr);
    EXPECT_EQ(w.client.cx, px(6675));
    EXPECT_EQ(w.client.cy, px(2385));

    // The six controls at their places with their design texts.
    struct Expected { const wchar_t* cls; int nth, left, top, width, height; const wchar_t* text; };
    const Expected expected[] = {
        {L"Static", 0, 180, 1080, 2445, 240, L"????.exe"},
        {L"Static", 1, 180, 1530, 4875, 195, L"？？？から？？？？へ"},
        {L"Static", 2, 90, 2070, 2895, 240, L"残り???ファイル"},
        {PROGRESS_CLASSW, 0, 180, 1800, 5055, 240, L""},
        {L"Button", 0, 5355, 1755, 1230, 330, L"キャンセル"},
    };
    EXPECT_EQ(w.controls.size(), 6u);
    for (const Expected& e : expected) {
        const SeenControl* c = childOfClass(w, e.cls, e.nth);
        ASSERT_NE(c, nullptr) << e.text;
        EXPECT_EQ(c->text, e.text);
        EXPECT_EQ(c->rect.left, px(e.left)) << e.text;
        EXPECT_EQ(c->rect.top, px(e.top)) << e.text;
        EXPECT_EQ(c->rect.right - c->rect.left, px(e.width)) << e.text;
        EXPECT_EQ(c->rect.bottom - c->rect.top, px(e.height)) << e.text;
    }
    CopyView v = look(window);
    EXPECT_EQ(v.barMax, 10);
    EXPECT_EQ(v.barPos, 0);

    // The clip is shown and plays: its folders are on the screen and the paper moves.
    const SeenControl* animation = childOfClass(w, ANIMATE_CLASSW);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->rect.left, px(180));
    EXPECT_EQ(animation->rect.top, px(180));
    pumpFor(150);
    auto first = shownPixels(animation->hwnd);
    EXPECT_GT(countColour(first, kFolderColour), 600u);
    bool moved = false;
    for (int i = 0; i < 30 && !moved; ++i) {
        pumpFor(50);
        moved = shownPixels(animation->hwnd) != first;
    }
    EXPECT_TRUE(moved) << "the clip plays";

    // One step: texts, bar, files left.
    ASSERT_EQ(copy.setValue(3), S_OK);
    v = look(window);
    EXPECT_EQ(v.fileName, L"a.txt");
    EXPECT_EQ(v.message, L"'C:\\a' から 'D:\\b' へ");
    EXPECT_EQ(v.amount, L"残り7ファイル");
    EXPECT_EQ(v.barPos, 3);

    // Values the bar refuses fail with 380 before any text changes.
    for (short bad : {short(11), short(-1), short(32767)}) {
        EXPECT_EQ(client::errorNumber(copy.setValue(bad, L"x.txt", L"C:\\x", L"D:\\y")), 380) << bad;
        CopyView after = look(window);
        EXPECT_EQ(after.fileName, L"a.txt");
        EXPECT_EQ(after.message, v.message);
        EXPECT_EQ(after.amount, v.amount);
        EXPECT_EQ(after.barPos, 3);
    }

    // The last step shows 残り0ファイル during its pump pass, then the window unloads.
    PumpSpy spy;
    spy.lookDuringNextPump();
    ASSERT_EQ(copy.setValue(10, L"j.txt"), S_OK);
    EXPECT_EQ(spy.amountSeen, L"残り0ファイル");
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(copyWindowsOfThisThread().empty());
    EXPECT_TRUE(watcher.seen().empty()) << "no message box on the way";
}

TEST(CopyWindow, CancelButtonRaisesAFlagThatOutlivesTheWindow) {
    CopyClient copy;
    ASSERT_EQ(copy.showEx(L"", 4), S_OK);
    HWND window = theCopyWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(copy.cancelRequested());

    // The click waits in the queue until a pump runs; Copy_SetValue's pass runs it.
    ::PostMessageW(cancelButton(window), BM_CLICK, 0, 0);
    EXPECT_FALSE(copy.cancelRequested());
    ASSERT_EQ(copy.setValue(1), S_OK);
    EXPECT_TRUE(copy.cancelRequested());
    EXPECT_TRUE(::IsWindowVisible(window)) << "cancel only raises the flag";

    // The user's close box unloads the window; the flag stays and reading it loads nothing.
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    pumpFor(50);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(copy.cancelRequested());
    EXPECT_TRUE(copyWindowsOfThisThread().empty());

    // A step after the unload loads the window hidden, with the design maximum 100.
    ASSERT_EQ(copy.setValue(40), S_OK);
    HWND again = theCopyWindow();
    ASSERT_NE(again, nullptr);
    CopyView v = look(again);
    EXPECT_FALSE(v.visible);
    EXPECT_EQ(v.barMax, 100);
    EXPECT_EQ(v.amount, L"残り60ファイル");
    EXPECT_EQ(v.title, L"コピーしています...");
    EXPECT_EQ(client::errorNumber(copy.setValue(101)), 380);
    ASSERT_EQ(copy.setValue(100), S_OK);
    EXPECT_TRUE(copyWindowsOfThisThread().empty());

    // Copy_Hide loads the window hidden when needed, and hides a shown one.
    ASSERT_EQ(copy.hide(), S_OK);
    ASSERT_NE(theCopyWindow(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(theCopyWindow()));
    EXPECT_TRUE(copy.cancelRequested());

    // Only Copy_ShowEx clears the flag.
    ASSERT_EQ(copy.showEx(L"", 32767, nullptr, L"二回目"), S_OK);
    EXPECT_FALSE(copy.cancelRequested());
    ASSERT_EQ(copy.setValue(0, L"大きな.bin"), S_OK);
    EXPECT_EQ(look(theCopyWindow()).amount, L"残り32767ファイル");
    ASSERT_EQ(copy.hide(), S_OK);
    EXPECT_FALSE(::IsWindowVisible(theCopyWindow()));
    ::DestroyWindow(theCopyWindow());
}

// Steps faster than a frame are held back, never lost: the latest shows at the next pump after
// the frame, at the next step once a frame has passed, or when the window is shown again.
TEST(CopyWindow, EveryStepIsShownBeforeTheCallReturnsHoweverFastTheyCome) {
    // A client that reports a small file and then copies a large one without pumping must show
    // that large file's step, not the one before it.
    CopyClient copy;
    ASSERT_EQ(copy.showEx(L"", 100), S_OK);
    HWND window = theCopyWindow();
    ASSERT_NE(window, nullptr);
    for (short k = 1; k <= 6; ++k) {
        ASSERT_EQ(copy.setValue(k, std::to_wstring(k) + L".txt"), S_OK);
        CopyView v = look(window);
        EXPECT_EQ(v.fileName, std::to_wstring(k) + L".txt");
        EXPECT_EQ(v.amount, L"残り" + std::to_wstring(100 - k) + L"ファイル");
        EXPECT_EQ(v.barPos, k);
    }
    ASSERT_EQ(copy.setValue(100, L"last.txt"), S_OK);
    EXPECT_FALSE(::IsWindow(window));
}

TEST(CopyWindow, ShowExSkipsFailuresWithoutAClipAndReportsThemWithOne) {
    TempDir dir;
    writeBytes(dir / L"copy.avi", copyClip(2));
    writeBytes(dir / L"notes.avi", std::vector<unsigned char>(200, 'x'));
    CopyClient copy;
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr,
                                   nullptr, nullptr);
    ComPtr<IDispatch> ownerObject = makeWindowHandleObject(static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner)));
    ComPtr<IDispatch> notAWindow = create(L"FileSystemCls");
    auto raiseCancel = [&] {
        ::PostMessageW(cancelButton(theCopyWindow()), BM_CLICK, 0, 0);
        pumpFor(20);
        ASSERT_TRUE(copy.cancelRequested());
    };
    UiWatcher watcher;
    ::DeleteFileW(errorReportPath().c_str());

    // A missing clip is passed over: owner, maximum, value, title and flag are all set.
    ASSERT_EQ(copy.showEx(L"", 5), S_OK);
    raiseCancel();
    ASSERT_EQ(copy.showEx(dir / L"missing.avi", 7, ownerObject.get(), L"題"), S_OK);
    CopyView v = look(theCopyWindow());
    EXPECT_TRUE(v.visible);
    EXPECT_EQ(inspect(theCopyWindow()).owner, owner);
    EXPECT_EQ(v.barMax, 7);
    EXPECT_EQ(v.barPos, 0);
    EXPECT_EQ(v.title, L"題");
    EXPECT_FALSE(copy.cancelRequested());

    // A folder is no clip file: a refused maximum and a refused owner are passed over as well.
    raiseCancel();
    ASSERT_EQ(copy.setValue(2), S_OK);
    ASSERT_EQ(copy.showEx(dir.path(), 0, notAWindow.get(), L"次"), S_OK);
    v = look(theCopyWindow());
    EXPECT_EQ(v.barMax, 7) << "maximum kept";
    EXPECT_EQ(v.barPos, 0);
    EXPECT_EQ(v.title, L"次");
    EXPECT_FALSE(copy.cancelRequested());
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_FALSE(fileExists(errorReportPath()));

    // With an existing clip, a refused maximum goes to the error report and ends the call:
    // value, title and flag stay as they were, and the client sees success.
    ASSERT_EQ(copy.setValue(3), S_OK);
    raiseCancel();
    ASSERT_EQ(copy.showEx(dir / L"copy.avi", -5, nullptr, L"届かない題"), S_OK);
    ASSERT_TRUE(watcher.waitFor(1));
    v = look(theCopyWindow());
    EXPECT_EQ(v.barPos, 3);
    EXPECT_EQ(v.title, L"次");
    EXPECT_TRUE(copy.cancelRequested());
    std::wstring report = readAnsiFile(errorReportPath());
    EXPECT_NE(report.find(L"エラーを起こしたファイル名 = frmCopy\r\nエラーを起こしたステートメント名 = ShowEx\r\n\r\n"
                          L"エラー番号 = 380\r\n"),
              std::wstring::npos)
        << std::string(report.begin(), report.end());
    SeenDialog box = watcher.seen().at(0);
    EXPECT_EQ(box.caption, L"kro project program dll library");
    EXPECT_EQ(box.icon, BoxIcon::Exclamation);
    EXPECT_EQ(box.text.rfind(L"\"" + errorReportPath() + L"\"にエラーファイルを作成しました。", 0), 0u) << box.text.size();

    // A file that is no clip fails at the opening step: nothing after it is done.
    ASSERT_EQ(copy.showEx(dir / L"notes.avi", 9, nullptr, L"これも届かない"), S_OK);
    ASSERT_TRUE(watcher.waitFor(2));
    v = look(theCopyWindow());
    EXPECT_EQ(v.barMax, 7);
    EXPECT_EQ(v.title, L"次");
    EXPECT_TRUE(copy.cancelRequested());
    EXPECT_NE(readAnsiFile(errorReportPath()).find(L"エラー番号 = 321\r\n"), std::wstring::npos);

    // Late-bound with Caption omitted: the default title.
    Variant clip, max;
    clip.vt = VT_BSTR;
    clip.bstrVal = ::SysAllocString(L"");
    max.vt = VT_I4;
    max.lVal = 12;
    CallResult r;
    callByName(copy.dispatch(), L"Copy_ShowEx", {&clip, &max}, r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(look(theCopyWindow()).title, L"コピーしています...");
    EXPECT_EQ(look(theCopyWindow()).barMax, 12);
    EXPECT_EQ(watcher.seen().size(), 2u);
    EXPECT_EQ(inspect(theCopyWindow()).owner, nullptr);

    ::DestroyWindow(theCopyWindow());
    ::DestroyWindow(owner);
    ::DeleteFileW(errorReportPath().c_str());
}

TEST(Screenshot, CopyWindow) {
    TempDir dir;
    writeBytes(dir / L"copy.avi", copyClip());
    CopyClient copy;
    ASSERT_EQ(copy.showEx(dir / L"copy.avi", 12, nullptr, L"バックアップをコピーしています..."), S_OK);
    ASSERT_EQ(copy.setValue(5, L"見積書-2026.xlsx", L"C:\\Users\\kro\\Documents", L"D:\\Backup"), S_OK);
    pumpFor(350);
    expectDrawnAsDesigned(theCopyWindow(), {px(6675), px(2385)});
    EXPECT_TRUE(saveScreenshot(theCopyWindow(), L"copy_window"));
    ::DestroyWindow(theCopyWindow());
}
