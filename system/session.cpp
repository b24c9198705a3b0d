#include "system/session.h"

#include "system/version.h"

namespace kro::session {

const Platform& systemPlatform() {
    static const Platform platform{
        [] { return sysinfo::queryVersion().platformId; },
        [] { return ::GetCurrentProcess(); },
        [](HANDLE process, DWORD access, HANDLE* token) { return ::OpenProcessToken(process, access, token); },
        [](const char* systemName, const char* privilege, LUID* luid) {
            return ::LookupPrivilegeValueA(systemName, privilege, luid);
        },
        [](HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state) {
            return ::AdjustTokenPrivileges(token, disableAll, state, 0, nullptr, nullptr);
        },
        [](HANDLE handle) { ::CloseHandle(handle); },
        [](UINT flags, DWORD reserved) { return ::ExitWindowsEx(flags, reserved); },
    };
    return platform;
}

namespace {

void enableShutdownPrivilege(const Platform& platform) {
    HANDLE token = nullptr;
    platform.openProcessToken(platform.currentProcess(), kTokenAccess, &token);
    TOKEN_PRIVILEGES request{};
    platform.lookupPrivilegeValue("", kShutdownPrivilege, &request.Privileges[0].Luid);
    request.PrivilegeCount = 1;
    request.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    platform.adjustTokenPrivileges(token, FALSE, &request);
    // The token is only needed for the adjustment; keeping it open would leak one handle per call.
    if (token) platform.closeHandle(token);
}

}  // namespace

void endSession(const Platform& platform, std::int32_t option) {
    if (platform.platformId() == sysinfo::kPlatformNt) enableShutdownPrivilege(platform);
    platform.exitWindows(static_cast<UINT>(option), 0);
}

bool isNtFamily(const Platform& platform) { return platform.platformId() == sysinfo::kPlatformNt; }

}  // namespace kro::session
