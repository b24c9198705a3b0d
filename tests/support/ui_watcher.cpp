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

}  // namespace

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
