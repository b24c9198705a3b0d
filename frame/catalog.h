#pragma once
// The 17 public classes: identity and a creator for each.
#include <windows.h>

#include <cstddef>

namespace kro {

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;  // ProgID is "kroProgramDll." + name
    HRESULT (*create)(REFIID iid, void** out);
};

const ClassEntry* classCatalog(std::size_t* count);
const ClassEntry* findClass(REFCLSID clsid);

inline constexpr const wchar_t* kLibraryName = L"kroProgramDll";

}  // namespace kro
