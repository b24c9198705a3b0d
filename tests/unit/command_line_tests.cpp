#include <gtest/gtest.h>

#include <string>

#include "frame/errors.h"
#include "system/command_line.h"
#include "system/version.h"

using namespace kro;

namespace {

long errorOf(const std::wstring& command, const std::wstring& delimiter = L";") {
    try {
        cmdline::parse(command, delimiter);
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(CommandLine, OnlySpacesGiveEmptyWords) {
    EXPECT_EQ(cmdline::parse(L" "), L"");
    EXPECT_EQ(cmdline::parse(L"   "), L";;");
    EXPECT_EQ(cmdline::parse(L"a "), L"a;");
    EXPECT_EQ(cmdline::parse(L"a  "), L"a;;");
}

TEST(CommandLine, SpacesBetweenHeadAndQuoteFollowTheWords) {
    // One space before the quote is a separator; two or more give an empty quoted item.
    EXPECT_EQ(cmdline::parse(L"abc  \"def\""), L"abc;;def");
    // A command whose text before the quote is only spaces keeps them as a piece.
    EXPECT_EQ(cmdline::parse(L"  \"a\""), L";a");
    EXPECT_EQ(cmdline::parse(L" \"a\""), L"a");
}

TEST(CommandLine, LeadingSpacesBeforeTheHeadDoNotRepeatIt) {
    EXPECT_EQ(cmdline::parse(L"  abc \"def ghi\" jkl"), L"abc;def ghi;jkl");
    EXPECT_EQ(cmdline::parse(L" a b \"c\""), L"a;b;c");
    EXPECT_EQ(cmdline::parse(L" a b \"c\""), cmdline::parse(L"a b \"c\""));
}

TEST(CommandLine, LongDelimiterIsDroppedAsAWholeCopy) {
    EXPECT_EQ(cmdline::parse(L"a b", L", "), L"a, b");
    EXPECT_EQ(cmdline::parse(L"\"x\" \"y\"", L"::"), L"x::y");
    EXPECT_EQ(cmdline::parse(L"a \"b\"", L"<->"), L"a<->b");
    EXPECT_EQ(cmdline::parse(L"", L"::"), L"");
    EXPECT_EQ(cmdline::parse(L" ", L"::"), L"");
    // Only a whole copy counts: a lone ':' at the end is content.
    EXPECT_EQ(cmdline::parse(L"a:", L"::"), L"a:");
}

TEST(CommandLine, EmptyDelimiterJoinsDirectly) {
    EXPECT_EQ(cmdline::parse(L"a b \"c d\"", L""), L"abc d");
    EXPECT_EQ(cmdline::parse(L"", L""), L"");
}

TEST(CommandLine, SixteenBitLimits) {
    std::wstring spaces(32766, L'x');
    EXPECT_EQ(errorOf(spaces + L"\"q\""), 0);  // quote at 32,767
    EXPECT_EQ(errorOf(spaces + L"x\"q\""), err::Overflow);  // quote at 32,768
    // 32,766 quotes make 32,767 pieces; one more quote is one piece too many.
    std::wstring quotes(32766, L'"');
    EXPECT_EQ(errorOf(L"\"" + quotes.substr(1)), 0);
    EXPECT_EQ(errorOf(quotes + L"\""), err::Overflow);
    // Without a quote there is no position to overflow.
    EXPECT_EQ(cmdline::parse(std::wstring(40000, L'y')).size(), 40000u);
}

TEST(VersionText, MinorVersionKeepsItsLastTwoDigits) {
    EXPECT_EQ(sysinfo::versionText(5, 1), L"5.01");
    EXPECT_EQ(sysinfo::versionText(4, 10), L"4.10");
    EXPECT_EQ(sysinfo::versionText(4, 90), L"4.90");
    EXPECT_EQ(sysinfo::versionText(4, 0), L"4.00");
    EXPECT_EQ(sysinfo::versionText(6, 0), L"6.00");
    EXPECT_EQ(sysinfo::versionText(6, 123), L"6.23");
    EXPECT_EQ(sysinfo::versionText(0, 0), L"0.00");
}

TEST(VersionText, BuildNumberIsTheWholeSignedField) {
    EXPECT_EQ(sysinfo::buildText(7601), L"7601");
    EXPECT_EQ(sysinfo::buildText(0x04000950), L"67111248");
    EXPECT_EQ(sysinfo::buildText(static_cast<std::int32_t>(0xC0000A5Du)), L"-1073739171");
}

TEST(VersionText, QueryReportsTheRunningSystem) {
    OSVERSIONINFOW expected{};
    expected.dwOSVersionInfoSize = sizeof(expected);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(::GetVersionExW(&expected));
#pragma GCC diagnostic pop
    sysinfo::VersionRecord v = sysinfo::queryVersion();
    EXPECT_EQ(v.major, static_cast<std::int32_t>(expected.dwMajorVersion));
    EXPECT_EQ(v.minor, static_cast<std::int32_t>(expected.dwMinorVersion));
    EXPECT_EQ(v.build, static_cast<std::int32_t>(expected.dwBuildNumber));
    EXPECT_EQ(v.platformId, static_cast<std::int32_t>(expected.dwPlatformId));
}
