#pragma once
// Module-wide facts: the module handle and path, the count of live objects and factory locks
// (for DllCanUnloadNow), and the type library embedded in the module.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace kro::module {

HINSTANCE handle();
void setHandle(HINSTANCE h);
// Full path of the library's own module file.
std::wstring path();

// Runs `action` when the module is unloaded while the process goes on (at most 8 actions).
void atUnload(void (*action)());
// Runs the actions registered with atUnload (DllMain, module unload).
void runUnloadActions();

// Runs `action` on a thread whenever the last library object living on it has gone (at most 4
// actions), while the client's COM is still initialised there.
void atLastObjectOfThread(void (*action)());

void objectCreated();
void objectDestroyed();
void lock(bool on);
bool canUnload();

// The embedded type library (resource TYPELIB 1), loaded once; null if it cannot be loaded.
ITypeLib* typeLib();

}  // namespace kro::module
