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
constexpr std::size_t kSize = 104, kWindowAt = 8, kIdAt = 16, kMessageAt = 24, kIconAt = 32, kTipAt = 40, kHandle = 8;
#else
constexpr std::size_t kSize = 88, kWindowAt = 4, kIdAt = 8, kMessageAt = 16, kIconAt = 20, kTipAt = 24, kHandle = 4;
#endif

std::uint64_t field(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t width = 4) {
    std::uint64_t value = 0;
    std::memcpy(&value, bytes.data() + at, width);
    return value;
}

std::string padded(std::string text) { return (text + '\0').append(64 - text.size() - 1, ' '); }
std::string field64(const shell::TooltipField& f) { return std::string(f.data(), f.size()); }

}  // namespace

TEST(TrayRecord, AddAndBothDeletesCarryTheArchitecturesLayoutWidenedHandlesAndFillers) {
    std::vector<std::pair<DWORD, std::vector<unsigned char>>> calls;
    const shell::Platform recorder{[&](DWORD message, NOTIFYICONDATAA* record) {
        const auto* p = reinterpret_cast<const unsigned char*>(record);
        calls.emplace_back(message, std::vector<unsigned char>(p, p + record->cbSize));
        return FALSE;
    }};
    // Handles beyond 0x7FFFFFFF reach the members as negative Longs.
    HWND window = shell::handleFrom<HWND>(-2);
    HICON icon = shell::handleFrom<HICON>(static_cast<std::int32_t>(0x80000010u));
    shell::addTrayIcon(recorder, shell::iconToAdd(window, icon, 0xFFFFFFFFu, L"テスト tip"));
    shell::deleteTrayIcon(recorder, shell::programIconToDelete(window, 7));
    shell::deleteTrayIcon(recorder, shell::applicationIconToDelete(window, icon, 7));
    ASSERT_EQ(calls.size(), 3u);

    const std::uint64_t wideWindow = kHandle == 8 ? 0xFFFFFFFFFFFFFFFEull : 0xFFFFFFFEull;
    const std::uint64_t wideIcon = kHandle == 8 ? 0xFFFFFFFF80000010ull : 0x80000010ull;
    // message, id, callback, icon, tooltip of each call
    const struct { DWORD message; std::uint64_t id, callback, icon; std::string tip; } expected[] = {
        {NIM_ADD, 0xFFFFFFFFu, 512, wideIcon, padded("\x83\x65\x83\x58\x83\x67 tip")},
        {NIM_DELETE, 7, 512, 0, padded("Test")},
        {NIM_DELETE, 7, 0, wideIcon, std::string(64, ' ')},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& [message, bytes] = calls[i];
        ASSERT_EQ(bytes.size(), kSize);
        EXPECT_EQ(message, expected[i].message) << i;
        EXPECT_EQ(field(bytes, 0), kSize) << i;
        EXPECT_EQ(field(bytes, kWindowAt, kHandle), wideWindow) << i;
        EXPECT_EQ(field(bytes, kIdAt), expected[i].id) << i;
        EXPECT_EQ(field(bytes, kIdAt + 4), 7u) << i;  // flags
        EXPECT_EQ(field(bytes, kMessageAt), expected[i].callback) << i;
        EXPECT_EQ(field(bytes, kIconAt, kHandle), expected[i].icon) << i;
        EXPECT_EQ(std::string(bytes.begin() + kTipAt, bytes.end()), expected[i].tip) << i;
    }
}

TEST(TrayRecord, LongTooltipsKeepAtMost63BytesAndNeverHalfACharacter) {
    // 70 characters: cut to 64, of which the field holds 63 and the terminating NUL.
    const std::string seventy = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!?012345";
    EXPECT_EQ(field64(shell::tooltipField(std::wstring(seventy.begin(), seventy.end()))), seventy.substr(0, 63) + '\0');
    // One byte and 31 double-byte characters fill the 63 bytes exactly; after two bytes the
    // 31st double-byte character would need bytes 63 and 64, so it stays out.
    std::string kana;
    for (int i = 0; i < 31; ++i) kana += "\x82\xA0";
    EXPECT_EQ(field64(shell::tooltipField(L"a" + std::wstring(40, L'あ'))), "a" + kana + '\0');
    EXPECT_EQ(field64(shell::tooltipField(L"ab" + std::wstring(40, L'あ'))), padded("ab" + kana.substr(2)));
    EXPECT_EQ(field64(shell::tooltipField(L"")), padded(""));
}
