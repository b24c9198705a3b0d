#include "tests/support/ui_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kro::test {
namespace {

std::wstring windowText(HWND w) {
    wchar_t buf[4096] = {};
    ::GetWindowTextW(w, buf, 4096);
    return buf;
}

std::wstring className(HWND w) {
    wchar_t buf[64] = {};
    ::GetClassNameW(w, buf, 64);
    return buf;
}

BoxIcon iconOf(HICON icon) {
    if (!icon) return BoxIcon::None;
    if (icon == ::LoadIconW(nullptr, IDI_HAND)) return BoxIcon::Hand;
    if (icon == ::LoadIconW(nullptr, IDI_QUESTION)) return BoxIcon::Question;
    if (icon == ::LoadIconW(nullptr, IDI_EXCLAMATION)) return BoxIcon::Exclamation;
    if (icon == ::LoadIconW(nullptr, IDI_ASTERISK)) return BoxIcon::Asterisk;
    return BoxIcon::Other;
}

struct Found { std::vector<HWND> dialogs; };

BOOL CALLBACK collect(HWND w, LPARAM p) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w) && className(w) == L"#32770")
        reinterpret_cast<Found*>(p)->dialogs.push_back(w);
    return TRUE;
}

struct Children { std::vector<HWND> list; };

BOOL CALLBACK collectChild(HWND w, LPARAM p) {
    reinterpret_cast<Children*>(p)->list.push_back(w);
    return TRUE;
}

struct ClassSearch {
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectByClass(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<ClassSearch*>(p);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == ::GetCurrentProcessId() && className(w) == search->className) search->found.push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> topLevelWindows(const std::wstring& cls) {
    ClassSearch search{cls, {}};
    ::EnumWindows(&collectByClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(const std::wstring& cls, const std::wstring& title, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    do {
        for (HWND w : topLevelWindows(cls))
            if (::IsWindowVisible(w) && (title.empty() || windowText(w) == title)) return w;
        ::Sleep(20);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

SeenWindow inspect(HWND window) {
    SeenWindow seen;
    seen.hwnd = window;
    seen.className = className(window);
    seen.caption = windowText(window);
    seen.style = ::GetWindowLongW(window, GWL_STYLE);
    seen.exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
    seen.owner = ::GetWindow(window, GW_OWNER);
    seen.visible = ::IsWindowVisible(window) != FALSE;
    ::GetWindowRect(window, &seen.windowRect);
    RECT client{};
    ::GetClientRect(window, &client);
    seen.client = {client.right, client.bottom};
    Children children;
    ::EnumChildWindows(window, &collectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND c : children.list) {
        SeenControl control;
        control.hwnd = c;
        control.className = className(c);
        control.text = windowText(c);
        control.visible = ::IsWindowVisible(c) != FALSE;
        control.style = ::GetWindowLongW(c, GWL_STYLE);
        ::GetWindowRect(c, &control.rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&control.rect), 2);
        seen.controls.push_back(std::move(control));
    }
    return seen;
}

void pressButton(HWND button) {
    ::PostMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

ScreenPixels screenPixels(HWND window) {
    ScreenPixels shot;
    RECT r{};
    if (!::GetWindowRect(window, &r)) return shot;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return shot;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};  // top-down rows
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HGDIOBJ old = ::SelectObject(memory, dib);
        if (::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
            ::GdiFlush();
            const auto* p = static_cast<const DWORD*>(bits);
            shot.width = w;
            shot.height = h;
            shot.pixels.assign(p, p + size_t(w) * size_t(h));
        }
        ::SelectObject(memory, old);
        ::DeleteObject(dib);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

bool saveScreenshot(HWND window, const std::wstring& bmpPath) {
    ScreenPixels shot = screenPixels(window);
    if (shot.pixels.empty()) return false;
    // 24-bit rows from the bottom up: no alpha channel for a viewer to read as transparent.
    const size_t rowBytes = (size_t(shot.width) * 3 + 3) & ~size_t(3);
    std::vector<BYTE> image(rowBytes * size_t(shot.height));
    for (int y = 0; y < shot.height; ++y) {
        BYTE* row = image.data() + rowBytes * size_t(shot.height - 1 - y);
        for (int x = 0; x < shot.width; ++x) {
            DWORD p = shot.pixels[size_t(y) * size_t(shot.width) + size_t(x)];
            row[x * 3] = BYTE(p);
            row[x * 3 + 1] = BYTE(p >> 8);
            row[x * 3 + 2] = BYTE(p >> 16);
        }
    }
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), shot.width, shot.height, 1, 24, BI_RGB};
    const DWORD imageBytes = static_cast<DWORD>(image.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    HANDLE out = ::CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(out, &file, sizeof(file), &written, nullptr) &&
              ::WriteFile(out, &header, sizeof(header), &written, nullptr) &&
              ::WriteFile(out, image.data(), imageBytes, &written, nullptr) && written == imageBytes;
    ::CloseHandle(out);
    return ok;
}

namespace {

void repaintNow(HWND control) {
    // Through the parent: a transparent control (a group box) leaves its old text on the screen
    // when it repaints itself alone.
    HWND parent = ::GetParent(control);
    RECT area{};
    ::GetWindowRect(control, &area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    ::RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG msg;
    for (int i = 0; i < 3; ++i) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(15);
    }
}

size_t differingPixels(const ScreenPixels& a, const ScreenPixels& b) {
    if (a.pixels.size() != b.pixels.size()) return a.pixels.size();
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += (a.pixels[i] & 0xFFFFFF) != (b.pixels[i] & 0xFFFFFF);
    return n;
}

// A group box's rectangle holds the controls inside the frame; its text is in the top rows only.
ScreenPixels textArea(HWND control) {
    ScreenPixels shot = screenPixels(control);
    wchar_t cls[32] = {};
    ::GetClassNameW(control, cls, 32);
    if (_wcsicmp(cls, L"Button") != 0 || (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX)
        return shot;
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    shot.height = std::min<int>(shot.height, tm.tmHeight + 2);
    shot.pixels.resize(size_t(shot.width) * size_t(shot.height));
    return shot;
}

}  // namespace

LabelLook lookOfLabel(HWND label) {
    LabelLook look;
    const std::wstring text = windowText(label);
    repaintNow(label);
    ScreenPixels shown = textArea(label);
    ::SetWindowTextW(label, L"");
    repaintNow(label);
    ScreenPixels empty = textArea(label);
    // A character no font has: drawn as the font's missing-glyph box, the same for every one.
    ::SetWindowTextW(label, std::wstring(text.size(), L'\xE000').c_str());
    repaintNow(label);
    ScreenPixels boxes = textArea(label);
    ::SetWindowTextW(label, text.c_str());
    repaintNow(label);
    look.unlikeEmpty = differingPixels(shown, empty);
    look.unlikeBoxes = differingPixels(shown, boxes);
    return look;
}

void expectDrawnAsDesigned(HWND window, SIZE client) {
    SeenWindow seen = inspect(window);
    EXPECT_EQ(seen.client.cx, client.cx) << "client width";
    EXPECT_EQ(seen.client.cy, client.cy) << "client height";
    int labels = 0;
    for (const SeenControl& c : seen.controls) {
        bool japanese = std::any_of(c.text.begin(), c.text.end(), [](wchar_t ch) { return ch >= 0x3000; });
        if (!c.visible || !japanese) continue;
        ++labels;
        LabelLook look = lookOfLabel(c.hwnd);
        // Every character of a Japanese font changes a few dozen pixels at this size.
        EXPECT_GT(look.unlikeEmpty, 10 * c.text.size()) << "no text drawn in \"" << c.text << "\"";
        EXPECT_GT(look.unlikeBoxes, look.unlikeEmpty / 4) << "\"" << c.text << "\" drawn as missing-glyph boxes";
    }
    EXPECT_GT(labels, 0) << "the window shows no Japanese text";
}

bool saveScreenshot(HWND window, const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1) + L"screens\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    // Let the window finish painting before the screen is read.
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(40);
    }
    return saveScreenshot(window, folder + name + L".bmp");
}

UiWatcher::UiWatcher(std::vector<int> answers) : answers_(std::move(answers)) {
    ::InitializeCriticalSection(&lock_);
    thread_ = ::CreateThread(nullptr, 0, &UiWatcher::run, this, 0, nullptr);
}

UiWatcher::~UiWatcher() {
    ::InterlockedExchange(&stop_, 1);
    if (thread_) {
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }
    ::DeleteCriticalSection(&lock_);
}

std::vector<SeenDialog> UiWatcher::seen() const {
    ::EnterCriticalSection(&lock_);
    auto copy = seen_;
    ::LeaveCriticalSection(&lock_);
    return copy;
}

bool UiWatcher::waitFor(size_t count, DWORD timeoutMs) const {
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        if (seen().size() >= count) return true;
        ::Sleep(20);
    }
    return seen().size() >= count;
}

DWORD WINAPI UiWatcher::run(void* self) {
    auto* w = static_cast<UiWatcher*>(self);
    while (!w->stop_) {
        w->scan();
        ::Sleep(30);
    }
    return 0;
}

void UiWatcher::scan() {
    Found found;
    ::EnumWindows(&collect, reinterpret_cast<LPARAM>(&found));
    for (HWND dialog : found.dialogs) {
        if (std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) continue;
        SeenDialog d;
        d.caption = windowText(dialog);
        Children children;
        ::EnumChildWindows(dialog, &collectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND c : children.list) {
            std::wstring cls = className(c);
            LONG style = ::GetWindowLongW(c, GWL_STYLE);
            if (_wcsicmp(cls.c_str(), L"Button") == 0) {
                d.buttons.push_back(windowText(c));
            } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    d.icon = iconOf(reinterpret_cast<HICON>(::SendMessageW(c, STM_GETICON, 0, 0)));
                } else {
                    std::wstring t = windowText(c);
                    if (!t.empty()) d.text += (d.text.empty() ? L"" : L"\n") + t;
                }
            }
        }
        handled_.push_back(dialog);
        int answer;
        ::EnterCriticalSection(&lock_);
        size_t index = seen_.size();
        answer = answers_.empty() ? IDOK : answers_[std::min(index, answers_.size() - 1)];
        seen_.push_back(std::move(d));
        ::LeaveCriticalSection(&lock_);
        HWND button = ::GetDlgItem(dialog, answer);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
}

}  // namespace kro::test
