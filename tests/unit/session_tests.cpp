// The session end sequence runs against a recording platform table: nothing here may end the
// session of the machine that runs the tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/session.h"

using namespace kro;

namespace {

struct Recorder {
    std::int32_t platformId = 2;
    bool openSucceeds = true;
    bool lookupSucceeds = true;
    std::vector<std::string> calls;
    DWORD access = 0;
    HANDLE processSeen = nullptr;
    std::string systemName, privilegeName;
    bool disableAll = true;
    DWORD count = 0, attributes = 0;
    LUID luidSeen{};
    HANDLE tokenAdjusted = nullptr, tokenClosed = nullptr;
    UINT flags = 0xFFFFFFFF;
    DWORD reserved = 0xFFFFFFFF;

    static HANDLE fakeProcess() { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1)); }
    static HANDLE fakeToken() { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1234)); }

    session::Platform platform() {
        return session::Platform{
            [this] { calls.push_back("version"); return platformId; },
            [this] { calls.push_back("process"); return fakeProcess(); },
            [this](HANDLE process, DWORD a, HANDLE* token) {
                calls.push_back("open");
                processSeen = process;
                access = a;
                if (!openSucceeds) return FALSE;
                *token = fakeToken();
                return TRUE;
            },
            [this](const char* system, const char* privilege, LUID* luid) {
                calls.push_back("lookup");
                systemName = system ? system : "(null)";
                privilegeName = privilege;
                if (!lookupSucceeds) return FALSE;
                luid->LowPart = 19;
                luid->HighPart = 0;
                return TRUE;
            },
            [this](HANDLE token, BOOL disable, TOKEN_PRIVILEGES* state) {
                calls.push_back("adjust");
                tokenAdjusted = token;
                disableAll = disable;
                count = state->PrivilegeCount;
                attributes = state->Privileges[0].Attributes;
                luidSeen = state->Privileges[0].Luid;
                return TRUE;
            },
            [this](HANDLE handle) { calls.push_back("close"); tokenClosed = handle; },
            [this](UINT f, DWORD r) { calls.push_back("exit"); flags = f; reserved = r; return FALSE; },
        };
    }
};

}  // namespace

TEST(SessionEnd, NtFamilyEnablesTheShutdownPrivilegeFirst) {
    Recorder r;
    session::endSession(r.platform(), 1);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"version", "process", "open", "lookup", "adjust", "close", "exit"}));
    EXPECT_EQ(r.processSeen, Recorder::fakeProcess());
    EXPECT_EQ(r.access, 0x28u);
    EXPECT_EQ(r.systemName, "");
    EXPECT_EQ(r.privilegeName, "SeShutdownPrivilege");
    EXPECT_EQ(r.tokenAdjusted, Recorder::fakeToken());
    EXPECT_FALSE(r.disableAll);
    EXPECT_EQ(r.count, 1u);
    EXPECT_EQ(r.attributes, 2u);
    EXPECT_EQ(r.luidSeen.LowPart, 19u);
    EXPECT_EQ(r.tokenClosed, Recorder::fakeToken());
    EXPECT_EQ(r.flags, 1u);
    EXPECT_EQ(r.reserved, 0u);
}

TEST(SessionEnd, LogOffStillEnablesThePrivilege) {
    Recorder r;
    session::endSession(r.platform(), 0);
    EXPECT_EQ(r.privilegeName, "SeShutdownPrivilege");
    EXPECT_EQ(r.calls.back(), "exit");
    EXPECT_EQ(r.flags, 0u);
}

TEST(SessionEnd, CombinedOptionReachesThePlatformUnchanged) {
    for (std::int32_t option : {5, 2 + 4, 8 + 4 + 1, 1 + 2 + 4 + 8, 16}) {
        Recorder r;
        session::endSession(r.platform(), option);
        EXPECT_EQ(r.flags, static_cast<UINT>(option));
    }
}

TEST(SessionEnd, OtherPlatformsSkipThePrivilegeStep) {
    for (std::int32_t id : {0, 1, 3}) {
        Recorder r;
        r.platformId = id;
        session::endSession(r.platform(), 2);
        EXPECT_EQ(r.calls, (std::vector<std::string>{"version", "exit"})) << id;
        EXPECT_EQ(r.flags, 2u);
    }
}

TEST(SessionEnd, FailedPrivilegeStepsStillReachExitWindows) {
    Recorder r;
    r.openSucceeds = false;
    r.lookupSucceeds = false;
    EXPECT_NO_THROW(session::endSession(r.platform(), 4));
    EXPECT_EQ(r.calls.back(), "exit");
    EXPECT_EQ(r.flags, 4u);
    // No token was opened, so none is closed.
    EXPECT_EQ(r.tokenClosed, nullptr);
}

TEST(NtFamily, OnlyPlatformTwoIsNt) {
    for (std::int32_t id : {0, 1, 2, 3}) {
        Recorder r;
        r.platformId = id;
        EXPECT_EQ(session::isNtFamily(r.platform()), id == 2) << id;
    }
    EXPECT_TRUE(session::isNtFamily(session::systemPlatform()));  // Wine reports the NT family
}

// The real privilege functions with only ExitWindowsEx replaced: afterwards this process's
// token has the shutdown privilege enabled, and the option reached the last step.
namespace {

LUID shutdownLuid() {
    LUID luid{};
    ::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
    return luid;
}

// Whether this process's token has the shutdown privilege enabled.
bool shutdownPrivilegeEnabled() {
    LUID luid = shutdownLuid();
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size ? size : 1);
    bool enabled = false;
    if (::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
            if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
                enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    ::CloseHandle(token);
    return enabled;
}

void disableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return;
    TOKEN_PRIVILEGES state{};
    state.PrivilegeCount = 1;
    state.Privileges[0].Luid = shutdownLuid();
    state.Privileges[0].Attributes = 0;
    ::AdjustTokenPrivileges(token, FALSE, &state, 0, nullptr, nullptr);
    ::CloseHandle(token);
}

}  // namespace

TEST(SessionEnd, RealPrivilegeFunctionsEnableTheTokenPrivilege) {
    disableShutdownPrivilege();
    ASSERT_FALSE(shutdownPrivilegeEnabled());
    session::Platform platform = session::systemPlatform();
    UINT seenFlags = 0xFFFFFFFF;
    platform.exitWindows = [&](UINT flags, DWORD) { seenFlags = flags; return FALSE; };
    session::endSession(platform, 5);
    EXPECT_EQ(seenFlags, 5u);
    EXPECT_TRUE(shutdownPrivilegeEnabled());
}
