#include "system/pointer.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "frame/errors.h"
#include "frame/module.h"

namespace kro::pointer {
namespace {

// The standard cursor of a code, null for the codes that leave the window's own pointer.
HCURSOR shapeOf(long code) {
    LPCWSTR id = nullptr, fallback = IDC_ARROW;
    switch (code) {
    case 1: id = IDC_ARROW; break;
    case 2: id = IDC_CROSS; break;
    case 3: id = IDC_IBEAM; break;
    case 4: id = IDC_ICON; break;
    case 5: id = IDC_SIZE; fallback = IDC_SIZEALL; break;
    case 6: id = IDC_SIZENESW; break;
    case 7: id = IDC_SIZENS; break;
    case 8: id = IDC_SIZENWSE; break;
    case 9: id = IDC_SIZEWE; break;
    case 10: id = IDC_UPARROW; break;
    case 11: id = IDC_WAIT; break;
    case 12: id = IDC_NO; break;
    case 13: id = IDC_APPSTARTING; break;
    case 14: id = IDC_HELP; break;
    case 15: id = IDC_SIZEALL; break;
    default: return nullptr;
    }
    // The two oldest shapes are missing from some systems: use their nearest standard one.
    HCURSOR cursor = ::LoadCursorW(nullptr, id);
    return cursor ? cursor : ::LoadCursorW(nullptr, fallback);
}

std::atomic<long> g_code{kDefault};

LRESULT CALLBACK afterWindowProcedure(int action, WPARAM wParam, LPARAM lParam) {
    if (action == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (message->message == WM_SETCURSOR) {
            if (HCURSOR shape = shapeOf(g_code.load())) ::SetCursor(shape);
        }
    }
    return ::CallNextHookEx(nullptr, action, wParam, lParam);
}

// The hooks of the threads that put a shape in force. While there is one, the module holds a
// lock so that DllCanUnloadNow keeps it loaded; when the module is unloaded all the same, the
// destructor removes them before their code goes.
class Hooks {
public:
    Hooks() = default;
    Hooks(const Hooks&) = delete;
    Hooks& operator=(const Hooks&) = delete;
    ~Hooks() { removeAll(); }

    void installOnThisThread() {
        const DWORD thread = ::GetCurrentThreadId();
        ::AcquireSRWLockExclusive(&lock_);
        bool present = false;
        for (const Entry& e : entries_) present = present || e.thread == thread;
        if (!present) {
            HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, afterWindowProcedure, module::handle(), thread);
            if (hook) {
                if (entries_.empty()) module::lock(true);
                entries_.push_back({thread, hook});
            }
        }
        ::ReleaseSRWLockExclusive(&lock_);
    }

    void removeAll() {
        ::AcquireSRWLockExclusive(&lock_);
        if (!entries_.empty()) {
            for (const Entry& e : entries_) ::UnhookWindowsHookEx(e.hook);
            entries_.clear();
            module::lock(false);
        }
        ::ReleaseSRWLockExclusive(&lock_);
    }

private:
    struct Entry {
        DWORD thread;
        HHOOK hook;
    };
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<Entry> entries_;
};

Hooks g_hooks;

// Shows the new pointer on the calling thread now rather than at the next mouse move. When a
// shape goes and the thread still shows it, the window under the mouse chooses its own again.
void showNow(long before, long after) {
    if (HCURSOR shape = shapeOf(after)) {
        ::SetCursor(shape);
        return;
    }
    HCURSOR old = shapeOf(before);
    if (!old || ::GetCursor() != old) return;
    POINT at{};
    ::GetCursorPos(&at);
    HWND window = ::WindowFromPoint(at);
    if (window && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
        LRESULT hit = ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
        ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
    } else {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
}

void apply(long code) {
    const long before = g_code.exchange(code);
    if (shapeOf(code)) {
        g_hooks.installOnThisThread();
    } else {
        g_hooks.removeAll();
    }
    showNow(before, code);
}

}  // namespace

bool isPointerCode(long code) { return (code >= 0 && code <= 15) || code == kCustom; }

namespace {
void requirePointerCode(long code) {
    if (!isPointerCode(code)) raise(kInvalidPropertyValue, L"Invalid property value");
}
}  // namespace

long current() { return g_code.load(); }

void set(long code) {
    requirePointerCode(code);
    apply(code);
}

SavedPointer::~SavedPointer() {
    if (saved_) apply(*saved_);
}

void SavedPointer::change(long code) {
    requirePointerCode(code);
    if (!saved_) saved_ = current();
    apply(code);
}

}  // namespace kro::pointer
