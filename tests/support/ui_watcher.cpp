#include "tests/support/ui_watcher.h"

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

bool saveScreenshot(HWND window, const std::wstring& bmpPath) {
    RECT r{};
    if (!::GetWindowRect(window, &r)) return false;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, dib);
    bool ok = ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    ::GdiFlush();
    DWORD rowBytes = static_cast<DWORD>((w * 3 + 3) & ~3);
    DWORD imageBytes = rowBytes * static_cast<DWORD>(h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    HANDLE out = ok ? ::CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr) : INVALID_HANDLE_VALUE;
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ok = ::WriteFile(out, &file, sizeof(file), &written, nullptr) &&
             ::WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
             ::WriteFile(out, bits, imageBytes, &written, nullptr);
        ::CloseHandle(out);
    } else {
        ok = false;
    }
    ::SelectObject(memory, old);
    ::DeleteObject(dib);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
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
