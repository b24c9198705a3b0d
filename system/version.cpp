#include "system/version.h"

namespace kro::sysinfo {

VersionRecord queryVersion() {
    OSVERSIONINFOA info{};
    static_assert(sizeof(info) == 148, "the ANSI version record is 148 bytes");
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    VersionRecord r;
    r.major = static_cast<std::int32_t>(info.dwMajorVersion);
    r.minor = static_cast<std::int32_t>(info.dwMinorVersion);
    r.build = static_cast<std::int32_t>(info.dwBuildNumber);
    r.platformId = static_cast<std::int32_t>(info.dwPlatformId);
    return r;
}

std::wstring versionText(std::int32_t major, std::int32_t minor) {
    std::wstring padded = L"0" + std::to_wstring(minor);
    return std::to_wstring(major) + L"." + padded.substr(padded.size() - 2);
}

std::wstring buildText(std::int32_t build) { return std::to_wstring(build); }

}  // namespace kro::sysinfo
