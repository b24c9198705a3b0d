#pragma once
// The file and product versions of an executable or library, from its fixed version record.
#include <windows.h>

#include <optional>
#include <string>

namespace kro::fileversion {

struct Versions {
    std::wstring file;     // e.g. "5.1.2600.0"
    std::wstring product;
};

// "a.b.c.d" from the most and least significant halves of a version: each part an unsigned
// 16-bit number in decimal.
std::wstring versionText(DWORD mostSignificant, DWORD leastSignificant);

// Both versions of `path`; nothing when the file is missing or holds no version record.
std::optional<Versions> query(const std::wstring& path);

}  // namespace kro::fileversion
