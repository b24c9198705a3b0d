#include "frame/module.h"

#include <oleauto.h>

#include "frame/per_thread.h"

namespace kro::module {
namespace {
HINSTANCE g_handle = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;
ITypeLib* g_typeLib = nullptr;
constexpr LONG kMaxThreadSlots = 32;
DWORD g_threadSlots[kMaxThreadSlots];
LONG g_threadSlotCount = 0;
constexpr LONG kMaxUnloadActions = 8;
void (*g_unloadActions[kMaxUnloadActions])() = {};
LONG g_unloadActionCount = 0;
constexpr LONG kMaxThreadActions = 4;
void (*g_threadActions[kMaxThreadActions])() = {};
LONG g_threadActionCount = 0;
// The objects living on this thread (a plain value: no destructor runs at thread exit).
thread_local LONG t_objects = 0;
}  // namespace

void atLastObjectOfThread(void (*action)()) {
    LONG at = ::InterlockedIncrement(&g_threadActionCount) - 1;
    if (at < kMaxThreadActions) g_threadActions[at] = action;
}

void atUnload(void (*action)()) {
    LONG at = ::InterlockedIncrement(&g_unloadActionCount) - 1;
    if (at < kMaxUnloadActions) g_unloadActions[at] = action;
}

void runUnloadActions() {
    LONG n = g_unloadActionCount < kMaxUnloadActions ? g_unloadActionCount : kMaxUnloadActions;
    for (LONG i = 0; i < n; ++i)
        if (g_unloadActions[i]) g_unloadActions[i]();
}

DWORD allocThreadSlot(PFLS_CALLBACK_FUNCTION release) {
    LONG at = ::InterlockedIncrement(&g_threadSlotCount) - 1;
    if (at >= kMaxThreadSlots) return FLS_OUT_OF_INDEXES;
    DWORD slot = ::FlsAlloc(release);
    g_threadSlots[at] = slot;
    return slot;
}

void freeThreadSlots() {
    LONG n = g_threadSlotCount < kMaxThreadSlots ? g_threadSlotCount : kMaxThreadSlots;
    for (LONG i = 0; i < n; ++i)
        if (g_threadSlots[i] != FLS_OUT_OF_INDEXES) ::FlsFree(g_threadSlots[i]);
}

HINSTANCE handle() {
    if (!g_handle) {
        // Linked into a test program rather than the library: use the module holding this code.
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&handle), &g_handle);
    }
    return g_handle;
}

void setHandle(HINSTANCE h) { g_handle = h; }

std::wstring path() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(handle(), buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) { buf.resize(n); return buf; }
        buf.resize(buf.size() * 2);
    }
}

void objectCreated() {
    ::InterlockedIncrement(&g_objects);
    ++t_objects;
}

void objectDestroyed() {
    // The actions run before the module-wide count falls, so the module cannot be unloaded
    // under them.
    if (--t_objects == 0) {
        LONG n = g_threadActionCount < kMaxThreadActions ? g_threadActionCount : kMaxThreadActions;
        for (LONG i = 0; i < n; ++i)
            if (g_threadActions[i]) g_threadActions[i]();
    }
    ::InterlockedDecrement(&g_objects);
}
void lock(bool on) { on ? ::InterlockedIncrement(&g_locks) : ::InterlockedDecrement(&g_locks); }
bool canUnload() { return g_objects == 0 && g_locks == 0; }

ITypeLib* typeLib() {
    if (!g_typeLib) {
        ITypeLib* loaded = nullptr;
        if (SUCCEEDED(::LoadTypeLibEx(path().c_str(), REGKIND_NONE, &loaded))) {
            // Kept for the life of the process: type information is handed out to every object.
            if (::InterlockedCompareExchangePointer(reinterpret_cast<void**>(&g_typeLib), loaded, nullptr) != nullptr)
                loaded->Release();
        }
    }
    return g_typeLib;
}

}  // namespace kro::module
