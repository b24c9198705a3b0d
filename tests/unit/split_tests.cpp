// Names and index text of the split set.
#include <gtest/gtest.h>

#include "filesystem/split.h"
#include "frame/errors.h"

using namespace kro;

namespace {

long parseError(std::wstring_view text) {
    try {
        split::parseIndex(text);
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(SplitNames, FiveDigitsAtLeast) {
    EXPECT_EQ(split::volumeNumber(0), L"00000");
    EXPECT_EQ(split::volumeNumber(1), L"00001");
    EXPECT_EQ(split::volumeNumber(99999), L"99999");
    EXPECT_EQ(split::volumeNumber(100000), L"100000");
    EXPECT_EQ(split::volumePath(L"C:\\d\\stem", 12), L"C:\\d\\stem.00012");
}

TEST(SplitNames, VolumeFromIndexReplacesOnlyTheEnding) {
    EXPECT_EQ(split::volumePathFromIndex(L"C:\\a.00000\\set.00000", 3), L"C:\\a.00000\\set.00003");
    EXPECT_EQ(split::volumePathFromIndex(L"C:\\set.00000", 100000), L"C:\\set.100000");
    EXPECT_TRUE(split::hasIndexMark(L"C:\\set.00000"));
    EXPECT_TRUE(split::hasIndexMark(L"C:\\set.00000.bak"));
    EXPECT_FALSE(split::hasIndexMark(L"C:\\set.0000"));
}

TEST(SplitIndex, TextAndParse) {
    EXPECT_EQ(split::indexText(3, L"file.bin"), L"3\r\nfile.bin");
    auto index = split::parseIndex(L"3\r\nfile.bin");
    EXPECT_EQ(index.count, 3);
    EXPECT_EQ(index.fileName, L"file.bin");
    index = split::parseIndex(L" 12 \r\nname\r\nextra");
    EXPECT_EQ(index.count, 12);
    EXPECT_EQ(index.fileName, L"name");
    EXPECT_EQ(split::parseIndex(L"0\r\n").fileName, L"");
}

TEST(SplitIndex, BadIndexTexts) {
    EXPECT_EQ(parseError(L"3"), err::SubscriptOutOfRange);
    EXPECT_EQ(parseError(L""), err::SubscriptOutOfRange);
    EXPECT_EQ(parseError(L"3\nfile"), err::SubscriptOutOfRange);
    EXPECT_EQ(parseError(L"three\r\nfile"), err::TypeMismatch);
    EXPECT_EQ(parseError(L"\r\nfile"), err::TypeMismatch);
    EXPECT_EQ(parseError(L"3x\r\nfile"), err::TypeMismatch);
    EXPECT_EQ(parseError(L"99999999999999999999\r\nfile"), err::Overflow);
    EXPECT_EQ(split::parseIndex(L"9223372036854775807\r\nf").count, INT64_MAX);
}

TEST(SplitIndex, UsableSets) {
    EXPECT_TRUE(split::isUsable({1, L"a.bin"}));
    EXPECT_FALSE(split::isUsable({0, L"a.bin"}));
    EXPECT_FALSE(split::isUsable({-2, L"a.bin"}));
    EXPECT_FALSE(split::isUsable({1, L""}));
    EXPECT_FALSE(split::isUsable({1, L"..\\..\\evil.bin"}));
    EXPECT_FALSE(split::isUsable({1, L"C:evil.bin"}));
    EXPECT_FALSE(split::isUsable({1, L"sub/evil.bin"}));
    EXPECT_FALSE(split::isUsable({1, L".."}));
}
