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

void objectCreated();
void objectDestroyed();
void lock(bool on);
bool canUnload();

// The embedded type library (resource TYPELIB 1), loaded once; null if it cannot be loaded.
ITypeLib* typeLib();

}  // namespace kro::module
