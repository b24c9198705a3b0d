// The tray record as the platform receives it, followed through a recording table: the bytes
// must match the platform's own first-version layout of this architecture.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "system/shell_services.h"

using namespace kro;

namespace {

#ifdef _WIN64
constexpr std::size_t kSize = 104, kWindowAt = 8, kIdAt = 16, kFlagsAt = 20, kMessageAt = 24, kIconAt = 32, kTipAt = 40;
constexpr std::size_t kHandleBytes = 8;
#else
constexpr std::size_t kSize = 88, kWindowAt = 4, kIdAt = 8, kFlagsAt = 12, kMessageAt = 16, kIconAt = 20, kTipAt = 24;
constexpr std::size_t kHandleBytes = 4;
#endif

struct Call {
    DWORD message;
    std::vector<unsigned char> bytes;  // as many as the record's size field announces
};

struct Recorder {
    std::vector<Call> calls;
    shell::Platform platform() {
        return shell::Platform{[this](DWORD message, NOTIFYICONDATAA* record) {
            const auto* p = reinterpret_cast<const unsigned char*>(record);
            calls.push_back({message, std::vector<unsigned char>(p, p + record->cbSize)});
            return FALSE;  // a refusal must change nothing for the caller
        }};
    }
};

std::uint64_t field(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    std::memcpy(&value, bytes.data() + at, width);
    return value;
}

std::string tip(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin() + kTipAt, bytes.begin() + kTipAt + 64); }

std::string padded(std::string text) {
    text.push_back('\0');
    text.resize(64, ' ');
    return text;
}

}  // namespace

TEST(TrayRecord, AddAndBothDeletesCarryTheArchitecturesLayoutWidenedHandlesAndFillers) {
    Recorder recorder;
    const shell::Platform platform = recorder.platform();
    // Handles beyond 0x7FFFFFFF reach the member as negative Longs.
    HWND window = shell::handleFrom<HWND>(-2);
    HICON icon = shell::handleFrom<HICON>(static_cast<std::int32_t>(0x80000010u));
    shell::addTrayIcon(platform, shell::iconToAdd(window, icon, 0xFFFFFFFFu, L"テスト tip"));
    shell::deleteTrayIcon(platform, shell::programIconToDelete(window, 7));
    shell::deleteTrayIcon(platform, shell::applicationIconToDelete(window, icon, 7));
    ASSERT_EQ(recorder.calls.size(), 3u);

    const std::uint64_t widenedWindow = kHandleBytes == 8 ? 0xFFFFFFFFFFFFFFFEull : 0xFFFFFFFEull;
    const std::uint64_t widenedIcon = kHandleBytes == 8 ? 0xFFFFFFFF80000010ull : 0x80000010ull;
    for (const Call& c : recorder.calls) {
        ASSERT_EQ(c.bytes.size(), kSize);
        EXPECT_EQ(field(c.bytes, 0, 4), kSize);
        EXPECT_EQ(field(c.bytes, kWindowAt, kHandleBytes), widenedWindow);
        EXPECT_EQ(field(c.bytes, kFlagsAt, 4), 7u);
    }

    const Call& add = recorder.calls[0];
    EXPECT_EQ(add.message, 0u);
    EXPECT_EQ(field(add.bytes, kIdAt, 4), 0xFFFFFFFFu);
    EXPECT_EQ(field(add.bytes, kMessageAt, 4), 512u);
    EXPECT_EQ(field(add.bytes, kIconAt, kHandleBytes), widenedIcon);
    EXPECT_EQ(tip(add.bytes), padded("\x83\x65\x83\x58\x83\x67 tip"));

    const Call& programDelete = recorder.calls[1];
    EXPECT_EQ(programDelete.message, 2u);
    EXPECT_EQ(field(programDelete.bytes, kIdAt, 4), 7u);
    EXPECT_EQ(field(programDelete.bytes, kMessageAt, 4), 512u);
    EXPECT_EQ(field(programDelete.bytes, kIconAt, kHandleBytes), 0u);
    EXPECT_EQ(tip(programDelete.bytes), padded("Test"));

    const Call& applicationDelete = recorder.calls[2];
    EXPECT_EQ(applicationDelete.message, 2u);
    EXPECT_EQ(field(applicationDelete.bytes, kMessageAt, 4), 0u);
    EXPECT_EQ(field(applicationDelete.bytes, kIconAt, kHandleBytes), widenedIcon);
    EXPECT_EQ(tip(applicationDelete.bytes), std::string(64, ' '));
}

TEST(TrayRecord, LongTooltipsKeepAtMost63BytesAndNeverHalfACharacter) {
    // 70 characters: cut to 64, of which the field holds 63 and the terminating NUL.
    const std::wstring seventy = L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!?012345";
    ASSERT_EQ(seventy.size(), 70u);
    shell::TooltipField f = shell::tooltipField(seventy);
    EXPECT_EQ(std::string(f.data(), 64), std::string("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!") + '\0');

    // One byte, then double-byte characters: 1 + 31 * 2 = 63 bytes fit exactly.
    std::wstring odd = L"a" + std::wstring(40, L'あ');
    f = shell::tooltipField(odd);
    std::string expected = "a";
    for (int i = 0; i < 31; ++i) expected += "\x82\xA0";
    EXPECT_EQ(std::string(f.data(), 64), expected + '\0');

    // Two bytes first: the 31st double-byte character would need bytes 63 and 64, so it stays out.
    f = shell::tooltipField(L"ab" + std::wstring(40, L'あ'));
    expected = "ab";
    for (int i = 0; i < 30; ++i) expected += "\x82\xA0";
    EXPECT_EQ(std::string(f.data(), 64), expected + '\0' + ' ');

    // An empty text: NUL first, spaces after it.
    f = shell::tooltipField(L"");
    EXPECT_EQ(std::string(f.data(), 64), padded(""));
}
