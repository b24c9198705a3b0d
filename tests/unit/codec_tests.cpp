#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "coding/codec.h"
#include "coding/text.h"
#include "frame/errors.h"

using namespace kro;
using codec::ByteMap;

namespace {

// The stored format's steps taken literally, one step of 255 at a time, in 64-bit numbers; a
// value that leaves the 32-bit range is the overflow the format ends in.
constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

// `literal` walks a value that moves away from the range all the way to the overflow
// (millions of steps); otherwise such a value is taken as the overflow at once.
std::optional<int> stepCode(int b, std::int32_t c, bool literal = false) {
    std::int64_t v = std::int64_t{b} + c;
    if (v > kMax) return std::nullopt;
    if (v < 0 && !literal) return std::nullopt;
    while (v > 255 || v < 0) {
        v -= 255;
        if (v < kMin) return std::nullopt;
    }
    return static_cast<int>(v);
}

std::optional<int> stepDecode(int b, std::int32_t c, bool literal = false) {
    std::int64_t v = std::int64_t{b} - c;
    if (v < kMin || v > kMax) return std::nullopt;
    if (v > 255 && !literal) return std::nullopt;
    while (v > 255 || v < 0) {
        v += 255;
        if (v > kMax) return std::nullopt;
    }
    return static_cast<int>(v);
}

int stepXor(int b, std::int32_t x) {
    std::int64_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(x) ^ static_cast<std::uint32_t>(b));
    while (v > 255) v -= 255;
    while (v < 0) v += 255;
    return static_cast<int>(v);
}

long errorNumber(auto&& f) {
    try {
        f();
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

std::vector<std::byte> allValues(std::size_t n) {
    std::vector<std::byte> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::byte>((i * 167 + i / 256) & 0xFF);
    return v;
}

}  // namespace

// --- one byte ---------------------------------------------------------------------------------

TEST(CodecByte, CodingFollowsTheStepsOfTheFormatForEveryByteAndPassCode) {
    for (std::int32_t c = -300; c <= 600; ++c)
        for (int b = 0; b < 256; ++b) {
            auto expected = stepCode(b, c);
            auto got = codec::codeByte(static_cast<std::uint8_t>(b), c);
            ASSERT_EQ(got.has_value(), expected.has_value()) << "b=" << b << " c=" << c;
            if (got) {
                ASSERT_EQ(*got, *expected) << "b=" << b << " c=" << c;
            }
        }
}

TEST(CodecByte, DecodingFollowsTheStepsOfTheFormatForEveryByteAndPassCode) {
    for (std::int32_t c = -300; c <= 600; ++c)
        for (int b = 0; b < 256; ++b) {
            auto expected = stepDecode(b, c);
            auto got = codec::decodeByte(static_cast<std::uint8_t>(b), c);
            ASSERT_EQ(got.has_value(), expected.has_value()) << "b=" << b << " c=" << c;
            if (got) {
                ASSERT_EQ(*got, *expected) << "b=" << b << " c=" << c;
            }
        }
}

TEST(CodecByte, NegativeSumsOverflowAtTheEndOfTheStepping) {
    // Taken literally (millions of steps) for a few pass codes.
    for (std::int32_t c : {-1, -255, -256, -40000}) {
        for (int b : {0, 1, 200, 255}) {
            EXPECT_EQ(codec::codeByte(static_cast<std::uint8_t>(b), c).has_value(), stepCode(b, c, true).has_value());
            EXPECT_EQ(codec::decodeByte(static_cast<std::uint8_t>(b), c).has_value(), stepDecode(b, c, true).has_value());
        }
    }
}

TEST(CodecByte, WorkedExamplesWithPassCode200) {
    EXPECT_EQ(*codec::codeByte(100, 200), 45);
    EXPECT_EQ(*codec::decodeByte(45, 200), 100);
    EXPECT_EQ(*codec::codeByte(30, 200), 230);
    EXPECT_EQ(*codec::decodeByte(230, 200), 30);
    EXPECT_EQ(*codec::codeByte(0, 200), 200);
    EXPECT_EQ(*codec::codeByte(55, 200), 255);
    EXPECT_EQ(*codec::codeByte(56, 200), 1);
    EXPECT_EQ(*codec::codeByte(255, 200), 200);
    EXPECT_EQ(*codec::decodeByte(200, 200), 0);
}

TEST(CodecByte, EveryByteButTheCollisionComesBack) {
    for (std::int32_t c = 0; c <= 255; ++c)
        for (int b = 0; b < 255; ++b) ASSERT_EQ(*codec::decodeByte(*codec::codeByte(static_cast<std::uint8_t>(b), c), c), b);
    EXPECT_EQ(*codec::codeByte(255, 0), 255);  // pass code 0 changes nothing
    EXPECT_EQ(*codec::decodeByte(*codec::codeByte(255, 1), 1), 0);
}

TEST(XorByte, FollowsTheStepsOfTheFormat) {
    std::vector<std::int32_t> values;
    for (std::int32_t x = -70000; x <= 70000; x += 97) values.push_back(x);
    for (std::int32_t x = -600; x <= 600; ++x) values.push_back(x);
    for (std::int32_t x : values)
        for (int b = 0; b < 256; ++b) ASSERT_EQ(codec::xorByte(static_cast<std::uint8_t>(b), x), stepXor(b, x)) << "b=" << b << " x=" << x;
    for (std::int32_t x : {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(), -1})
        for (int b : {0, 1, 127, 255}) EXPECT_EQ(codec::xorByte(static_cast<std::uint8_t>(b), x), stepXor(b, x));
}

TEST(XorByte, WorkedExamples) {
    EXPECT_EQ(codec::xorByte(0, 256), 1);
    EXPECT_EQ(codec::xorByte(1, 256), 2);
    EXPECT_EQ(codec::xorByte(0, -1), 254);
    EXPECT_EQ(codec::xorByte(77, 0), 77);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(codec::xorByte(static_cast<std::uint8_t>(b), 255), 255 - b);
}

// --- whole arrays -----------------------------------------------------------------------------

TEST(ByteMapApply, ArraysMatchTheByteRuleAtEveryLengthAndOffset) {
    std::vector<std::int32_t> params = {0, 1, 77, 200, 254, 255, 256, 300, 65535, 65536 * 3 + 7, -1, -2, -256, -257, -70000,
                                        std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()};
    // The table loop is what a processor without SSE2 runs; it is checked here on any processor.
    std::vector<ByteMap::Loop> loops = {ByteMap::Loop::Table};
    if (ByteMap::fastestLoop() == ByteMap::Loop::Vector) loops.push_back(ByteMap::Loop::Vector);
    for (ByteMap::Loop loop : loops) {
        for (std::int32_t p : params) {
            for (int op = 0; op < 3; ++op) {
                ByteMap map = op == 0 ? ByteMap::coding(p) : op == 1 ? ByteMap::decoding(p) : ByteMap::xoring(p);
                if (map.canOverflow()) continue;  // covered below
                for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{79}, std::size_t{1000}}) {
                    for (std::size_t offset : {std::size_t{0}, std::size_t{3}}) {
                        auto source = allValues(n + offset);
                        auto data = source;
                        // The copy at any alignment (its bulk is written with aligned stores).
                        std::size_t copyAt = offset * 5;
                        std::vector<std::byte> copy(copyAt + n + 1, std::byte{0xEE});
                        map.apply({data.data() + offset, n}, copy.data() + copyAt, loop);
                        for (std::size_t i = 0; i < n; ++i) {
                            auto b = static_cast<std::uint8_t>(source[offset + i]);
                            int expected = op == 0 ? *codec::codeByte(b, p) : op == 1 ? *codec::decodeByte(b, p) : codec::xorByte(b, p);
                            ASSERT_EQ(static_cast<int>(data[offset + i]), expected)
                                << "loop " << static_cast<int>(loop) << " op " << op << " p " << p << " n " << n;
                            ASSERT_EQ(copy[copyAt + i], data[offset + i]);
                        }
                        ASSERT_EQ(copy[copyAt + n], std::byte{0xEE}) << "the copy is written past its end";
                        for (std::size_t i = 0; i < copyAt; ++i) ASSERT_EQ(copy[i], std::byte{0xEE}) << "written before the copy";
                        for (std::size_t i = 0; i < offset; ++i) ASSERT_EQ(data[i], source[i]) << "bytes before the span changed";
                    }
                }
            }
        }
    }
}

TEST(ByteMapApply, OverflowLeavesTheBytesBeforeItTransformed) {
    std::vector<std::byte> data = {std::byte{20}, std::byte{30}, std::byte{5}, std::byte{40}};
    EXPECT_EQ(errorNumber([&] { ByteMap::coding(-10).apply(data); }), err::Overflow);
    EXPECT_EQ(data, (std::vector<std::byte>{std::byte{10}, std::byte{20}, std::byte{5}, std::byte{40}}));

    data = {std::byte{10}, std::byte{250}, std::byte{20}};
    EXPECT_EQ(errorNumber([&] { ByteMap::decoding(-10).apply(data); }), err::Overflow);
    EXPECT_EQ(data, (std::vector<std::byte>{std::byte{20}, std::byte{250}, std::byte{20}}));

    // Bytes that stay in range are all transformed; an empty array never fails.
    data = {std::byte{200}, std::byte{255}};
    ByteMap::coding(-10).apply(data);
    EXPECT_EQ(data, (std::vector<std::byte>{std::byte{190}, std::byte{245}}));
    std::vector<std::byte> none;
    ByteMap::coding(-1000).apply(none);
    EXPECT_TRUE(ByteMap::coding(-1).canOverflow());
    EXPECT_FALSE(ByteMap::coding(255).canOverflow());
    EXPECT_FALSE(ByteMap::decoding(0).canOverflow());
}

// --- pass code --------------------------------------------------------------------------------

TEST(PassCode, SumsAnsiCodesAndFoldsAbove255AfterEachCharacter) {
    EXPECT_EQ(codec::passCode(L""), 0);
    EXPECT_EQ(codec::passCode(L"UUU"), 255);        // 85 * 3
    EXPECT_EQ(codec::passCode(L"UUV"), 1);          // 256
    EXPECT_EQ(codec::passCode(L"ddd"), 45);         // 300
    EXPECT_EQ(codec::passCode(L"~~~"), 123);        // 126, 252, 378 -> 123
    EXPECT_EQ(codec::passCode(L"\x7F\x7F\x7F\x7F"), 253);  // 127, 254, 381 -> 126, 253
    EXPECT_EQ(codec::passCode(L"abc"), 39);         // 97, 195, 294 -> 39
}

TEST(PassCode, DoubleByteCharactersCountAsSigned16BitCodes) {
    // Code page 932: HIRAGANA A is 0x82A0, read as a signed 16-bit number.
    EXPECT_EQ(codec::ansiCode(L'\x3042'), static_cast<std::int16_t>(0x82A0));
    EXPECT_EQ(codec::passCode(L"\x3042"), -32096);
    EXPECT_EQ(codec::passCode(L"\x3042" L"a"), -32096 + 97);
    // Negative sums are never folded; they may climb back above 255 and fold then.
    EXPECT_EQ(codec::passCode(L"\x3042" + std::wstring(254, L'~')), -92);
    EXPECT_EQ(codec::passCode(L"\x3042" + std::wstring(256, L'~')), 160);  // -92 + 126 = 34, + 126
    EXPECT_EQ(codec::ansiCode(L'A'), 65);
    EXPECT_EQ(codec::ansiCode(L'\xFF61'), 0xA1);  // half-width katakana: one byte in code page 932
}

TEST(PassCode, ASumBeyond32BitsOverflows) {
    std::wstring many(70000, L'\x3042');
    EXPECT_EQ(errorNumber([&] { codec::passCode(many); }), err::Overflow);
    EXPECT_EQ(codec::passCode(std::wstring(60000, L'\x3042')), -32096LL * 60000);
}

// --- text helpers -----------------------------------------------------------------------------

TEST(TrimText, RemovesEveryWholeCopyOfThePieceAtThatEnd) {
    EXPECT_EQ(text::rtrim(L"xxabcxx", L"x"), L"xxabc");
    EXPECT_EQ(text::ltrim(L"xxabcxx", L"x"), L"abcxx");
    EXPECT_EQ(text::trim(L"xxabcxx", L"x"), L"abc");
    EXPECT_EQ(text::rtrim(L"abab", L"ab"), L"");
    EXPECT_EQ(text::ltrim(L"abab", L"ab"), L"");
    EXPECT_EQ(text::rtrim(L"aab", L"ab"), L"a");
    EXPECT_EQ(text::rtrim(L"abcab", L"ab"), L"abc");
    EXPECT_EQ(text::ltrim(L"ababa", L"ab"), L"a");
    EXPECT_EQ(text::rtrim(L"bab", L"ab"), L"b");
}

TEST(TrimText, LeavesOtherTextsAlone) {
    EXPECT_EQ(text::rtrim(L"", L"x"), L"");
    EXPECT_EQ(text::trim(L"", L"x"), L"");
    EXPECT_EQ(text::trim(L"abc", L"x"), L"abc");
    EXPECT_EQ(text::trim(L"ABC", L"c"), L"ABC");  // case-sensitive
    EXPECT_EQ(text::trim(L"abc", L""), L"abc");   // empty piece
    EXPECT_EQ(text::rtrim(L"b", L"ab"), L"b");    // piece longer than the text
    EXPECT_EQ(text::trim(L"\x3042x\x3042", L"\x3042"), L"x");
}

TEST(TrimText, TextsBeyond32767CharactersOverflow) {
    std::wstring longest(32767, L'x');
    EXPECT_EQ(text::rtrim(longest, L"x"), L"");
    EXPECT_EQ(text::ltrim(longest + L"", L"y"), longest);
    std::wstring tooLong(32768, L'x');
    EXPECT_EQ(errorNumber([&] { text::rtrim(tooLong, L"x"); }), err::Overflow);
    EXPECT_EQ(errorNumber([&] { text::ltrim(tooLong, L"x"); }), err::Overflow);
    EXPECT_EQ(errorNumber([&] { text::trim(tooLong, L""); }), err::Overflow);
}

TEST(RepeatText, RepeatsThePieceCountTimes) {
    EXPECT_EQ(text::repeat(L"ab", 3), L"ababab");
    EXPECT_EQ(text::repeat(L"ab", 0), L"");
    EXPECT_EQ(text::repeat(L"ab", -5), L"");
    EXPECT_EQ(text::repeat(L"", 100), L"");
    std::wstring most = text::repeat(L"xy", 32766);
    EXPECT_EQ(most.size(), 65532u);
    EXPECT_EQ(most.substr(65530), L"xy");
    EXPECT_EQ(errorNumber([&] { text::repeat(L"xy", 32767); }), err::Overflow);
}
