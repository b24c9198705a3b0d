#pragma once
// The running Windows version as start-up code wants it, and the platform family test.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kro::sysinfo {

// The fields of the ANSI OS version record that the library uses. A failed query leaves them 0.
struct VersionRecord {
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t build = 0;
    std::int32_t platformId = 0;
};

// Queries GetVersionExA with the 148-byte record; its success is not needed by any caller.
VersionRecord queryVersion();

// "major.minor" with the minor version as its last two decimal digits after a leading "0":
// 5/1 -> "5.01", 4/10 -> "4.10", 4/0 -> "4.00", 6/123 -> "6.23".
std::wstring versionText(std::int32_t major, std::int32_t minor);

// The build number field as a signed decimal (the whole 32-bit field, not only its low word).
std::wstring buildText(std::int32_t build);

// Platform identifier 2 is the NT family.
constexpr std::int32_t kPlatformNt = 2;

}  // namespace kro::sysinfo
