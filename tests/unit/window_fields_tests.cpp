// How the ready-made windows read their string-table entries and typed numbers.
#include <gtest/gtest.h>

#include "dialogs/registry_window.h"
#include "dialogs/shortcut_window.h"

using namespace kro::ui;

TEST(RegistryWindowRoots, EntriesAreNamesAndSigned32BitHexLiterals) {
    std::wstring name;
    LONG number = 0;
    ASSERT_TRUE(parseRootEntry(L"HKEY_CURRENT_USER|&H80000001", name, number));
    EXPECT_EQ(name, L"HKEY_CURRENT_USER");
    EXPECT_EQ(number, static_cast<LONG>(0x80000001u));
    ASSERT_TRUE(parseRootEntry(L"small|&h7f", name, number));
    EXPECT_EQ(number, 0x7f);
    for (const wchar_t* bad : {L"no separator", L"x|123", L"x|&H", L"x|&HZZ", L"x|&H123456789", L"x|&H8000 0001"}) {
        number = 99;
        EXPECT_FALSE(parseRootEntry(bad, name, number)) << bad;
        EXPECT_EQ(number, 99);
    }
}

TEST(ShortcutWindowStyle, NumbersAsTheRuntimeReadsThemAndNothingElse) {
    short v = -1;
    ASSERT_TRUE(readWindowStyle(L"3", v));
    EXPECT_EQ(v, 3);
    ASSERT_TRUE(readWindowStyle(L" 7 ", v));
    EXPECT_EQ(v, 7);
    ASSERT_TRUE(readWindowStyle(L"&H2", v));
    EXPECT_EQ(v, 2);
    ASSERT_TRUE(readWindowStyle(L"-32768", v));
    EXPECT_EQ(v, -32768);
    for (const wchar_t* bad : {L"", L"abc", L"最大", L"32768", L"1e9"}) {
        v = 5;
        EXPECT_FALSE(readWindowStyle(bad, v)) << bad;
        EXPECT_EQ(v, 5);
    }
    EXPECT_FALSE(readWindowStyle(std::wstring(L"3\0" L"9", 3), v));
}
