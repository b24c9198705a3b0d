#pragma once
// Ending the Windows session and the NT family test. The platform calls are reached through a
// table so that the sequence (version query, privilege, ExitWindowsEx) can be followed by a
// recording table without ending anyone's session.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace kro::session {

struct Platform {
    // GetVersionExA's platform identifier (0 when the query fails).
    std::function<std::int32_t()> platformId;
    std::function<HANDLE()> currentProcess;
    std::function<BOOL(HANDLE process, DWORD access, HANDLE* token)> openProcessToken;
    std::function<BOOL(const char* systemName, const char* privilege, LUID* luid)> lookupPrivilegeValue;
    std::function<BOOL(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state)> adjustTokenPrivileges;
    std::function<void(HANDLE handle)> closeHandle;
    std::function<BOOL(UINT flags, DWORD reserved)> exitWindows;
};

// The real kernel32, advapi32 and user32 functions.
const Platform& systemPlatform();

// Token access asked for: adjust privileges plus query (0x28).
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

// On the NT family, enables the shutdown privilege of the calling process; then asks the
// platform to end the session with `option` (EWX_* flags, passed on unchanged) on every
// platform. Failures of the platform calls are not reported: whether the session ends is up
// to the platform.
void endSession(const Platform& platform, std::int32_t option);

bool isNtFamily(const Platform& platform);

}  // namespace kro::session
