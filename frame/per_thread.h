#pragma once
// Per-thread module data. A C++ thread_local object with a destructor cannot be used here: the
// 32-bit compiler registers its destructor with the wrong calling convention and the process
// crashes when the thread ends. Instead each thread's object is made on first use and deleted by
// a fiber-local-storage callback when the thread ends (or when the module is unloaded).
#include <windows.h>

namespace kro::module {

// Allocates a fiber-local-storage slot whose values are released by `release`; the slot is freed
// when the module unloads. FLS_OUT_OF_INDEXES when none is left.
DWORD allocThreadSlot(PFLS_CALLBACK_FUNCTION release);
// Frees every slot (module unload).
void freeThreadSlots();

}  // namespace kro::module

namespace kro {

template <class T>
void WINAPI releaseThreadObject(void* object) {
    delete static_cast<T*>(object);
}

// This thread's instance of T, made on first use.
template <class T>
T& perThread() {
    static const DWORD slot = module::allocThreadSlot(&releaseThreadObject<T>);
    thread_local T* mine = nullptr;
    if (!mine) {
        T* made = new T();
        // Without a slot the object stays for the process's life rather than crash at thread end.
        if (slot != FLS_OUT_OF_INDEXES) ::FlsSetValue(slot, made);
        mine = made;
    }
    return *mine;
}

}  // namespace kro
