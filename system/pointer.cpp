#include "system/pointer.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "frame/errors.h"
#include "frame/module.h"
#include "frame/per_thread.h"

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

// Made on a thread when it gets its hook; deleted when the thread ends (or the module unloads).
struct HookedThread {
    DWORD id = ::GetCurrentThreadId();
    ~HookedThread();
};

// The code in force and the hooks of the threads that put a shape in force, changed together
// under one lock. While there is a hook, the module holds a lock so that DllCanUnloadNow keeps
// it loaded; when the module is unloaded all the same, the destructor removes the hooks before
// their code goes.
class PointerState {
public:
    PointerState() = default;
    PointerState(const PointerState&) = delete;
    PointerState& operator=(const PointerState&) = delete;
    ~PointerState() { removeHooks(); }

    // Puts `code` in force; returns the code it replaces.
    long change(long code) {
        ::AcquireSRWLockExclusive(&lock_);
        const long before = g_code.exchange(code);
        if (shapeOf(code)) {
            hookThisThread();
        } else {
            removeHooks();
        }
        ::ReleaseSRWLockExclusive(&lock_);
        return before;
    }

private:
    void hookThisThread() {
        const DWORD thread = ::GetCurrentThreadId();
        for (const Entry& e : entries_)
            if (e.thread == thread) return;
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, afterWindowProcedure, module::handle(), thread);
        if (!hook) return;
        if (entries_.empty()) module::lock(true);
        entries_.push_back({thread, hook});
        perThread<HookedThread>();  // drops this record when the thread ends
    }

public:
    // A thread that ended took its hook with it: its record goes too, so that a later thread
    // given the same id gets a hook of its own, and no record of a dead thread holds the module.
    void threadEnded(DWORD thread) {
        ::AcquireSRWLockExclusive(&lock_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->thread != thread) continue;
            ::UnhookWindowsHookEx(it->hook);
            entries_.erase(it);
            if (entries_.empty()) module::lock(false);
            break;
        }
        ::ReleaseSRWLockExclusive(&lock_);
    }

private:

    void removeHooks() {
        if (entries_.empty()) return;
        for (const Entry& e : entries_) ::UnhookWindowsHookEx(e.hook);
        entries_.clear();
        module::lock(false);
    }

    struct Entry {
        DWORD thread;
        HHOOK hook;
    };
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<Entry> entries_;
};

PointerState g_state;

HookedThread::~HookedThread() { g_state.threadEnded(id); }

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
    const long before = g_state.change(code);
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
