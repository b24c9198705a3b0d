// Text and positioned binary file access of the file members.
#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "filesystem/file.h"
#include "filesystem/fileio.h"
#include "frame/errors.h"
#include "tests/support/test_files.h"

using namespace kro;
using kro::test::TempDir;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

long errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

std::span<const std::byte> spanOf(const Bytes& b) { return std::as_bytes(std::span<const unsigned char>(b)); }

}  // namespace

TEST(TextFile, LineEndsAsRead) {
    TempDir dir;
    struct Case { std::string content; std::wstring text; } cases[] = {
        {"", L""},
        {"\r\n", L""},
        {"a\r\nb\r\n", L"a\r\nb"},
        {"a\r\nb", L"a\r\nb"},
        {"a\rb", L"a\r\nb"},
        {"a\nb\n", L"a\nb\n"},
        {"a\r\n\r\n", L"a\r\n"},
        {"a\r\rb", L"a\r\n\r\nb"},
        {"a\r", L"a"},
    };
    for (const auto& c : cases) {
        std::wstring p = dir / L"t.txt";
        test::writeBytes(p, bytesOf(c.content));
        EXPECT_EQ(fileio::readText(p), c.text) << c.content;
    }
}

TEST(TextFile, CrLfSplitAcrossReadBlocks) {
    TempDir dir;
    std::string content(64 * 1024 - 1, 'x');
    content += "\r\nsecond";
    test::writeBytes(dir / L"big.txt", bytesOf(content));
    std::wstring text = fileio::readText(dir / L"big.txt");
    ASSERT_EQ(text.size(), 64u * 1024 - 1 + 2 + 6);
    EXPECT_EQ(text.substr(64 * 1024 - 1), L"\r\nsecond");
}

TEST(TextFile, AnsiCodePageRoundTrip) {
    TempDir dir;
    std::wstring p = dir / L"jp.txt";
    fileio::writeLine(p, L"日本語のテキスト", false);
    Bytes raw = test::readBytes(p);
    // Code page 932: eight double-byte characters and CR LF.
    EXPECT_EQ(raw.size(), 18u);
    EXPECT_EQ(raw[16], '\r');
    EXPECT_EQ(fileio::readText(p), L"日本語のテキスト");
}

TEST(TextFile, MissingFileKeepsPartialResultEmpty) {
    TempDir dir;
    std::wstring partial;
    EXPECT_EQ(errorOf([&] { fileio::appendTextLines(dir / L"none.txt", partial); }), err::FileNotFound);
    EXPECT_TRUE(partial.empty());
    EXPECT_FALSE(test::fileExists(dir / L"none.txt"));
}

TEST(BinaryWrite, FirstByteOffsets) {
    EXPECT_EQ(fileio::firstByteOffset(1, false, 10), 0u);
    EXPECT_EQ(fileio::firstByteOffset(1, true, 10), 10u);
    EXPECT_EQ(fileio::firstByteOffset(3, true, 10), 12u);
    EXPECT_EQ(fileio::firstByteOffset(-9, true, 10), 0u);
    EXPECT_EQ(errorOf([] { fileio::firstByteOffset(-10, true, 10); }), err::BadRecordNumber);
    EXPECT_EQ(errorOf([] { fileio::firstByteOffset(0, false, 10); }), err::BadRecordNumber);
    // Lengths beyond 4 GiB count in 64 bits.
    const std::uint64_t big = (5ull << 30) + 7;
    EXPECT_EQ(fileio::firstByteOffset(1, true, big), big);
    EXPECT_EQ(fileio::firstByteOffset(0x7FFFFFFF, true, big), big + 0x7FFFFFFE);
}

TEST(BinaryWrite, AppendsBeyondFourGiB) {
    TempDir dir;
    std::wstring p = dir / L"sparse.bin";
    const std::uint64_t length = (4ull << 30) + 5;  // a sparse file: only its last byte is written
    {
        file::File f(p, file::Mode::ReadWrite);
        f.seek(length - 1);
        std::byte last{0x5A};
        f.write(std::span<const std::byte>(&last, 1));
    }
    Bytes tail{1, 2, 3};
    fileio::writeAt(p, spanOf(tail), 2, true);
    file::File f(p, file::Mode::Read);
    ASSERT_EQ(f.size(), length + 4);
    f.seek(length - 1);
    std::byte got[5];
    f.readExact(got);
    EXPECT_EQ(got[0], std::byte{0x5A});
    EXPECT_EQ(got[1], std::byte{0});
    EXPECT_EQ(got[2], std::byte{1});
    EXPECT_EQ(got[4], std::byte{3});
}

TEST(BinaryWrite, PositionedAppendedAndGapLeavingWritesCloseTheFileEachTime) {
    TempDir dir;
    std::wstring file = dir / L"written.bin";
    test::writeBytes(file, Bytes{9, 9, 9, 9});
    fileio::writeAt(file, spanOf(Bytes{1, 2}), 2, false);
    fileio::writeAt(file, spanOf(Bytes{3}), 1, true);
    fileio::writeAt(file, spanOf(Bytes{4}), 2, true);
    EXPECT_EQ(errorOf([&] { fileio::writeAt(file, spanOf(Bytes{5}), 0, false); }), err::BadRecordNumber);
    EXPECT_EQ(test::readBytes(file), (Bytes{9, 1, 2, 9, 3, 0, 4}));
    EXPECT_TRUE(::DeleteFileW(file.c_str())) << "no handle is left open";
    EXPECT_EQ(errorOf([&] { fileio::writeAt(dir / L"no\\such.bin", spanOf(Bytes{1}), 1, false); }), err::PathNotFound);
}

TEST(BinaryWrite, ExistenceTestSkipsSystemFilesAndFolders) {
    TempDir dir;
    std::wstring normal = dir / L"n.bin", hidden = dir / L"h.bin", system = dir / L"s.bin";
    for (const auto& p : {normal, hidden, system}) test::writeBytes(p, Bytes{1});
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(fileio::visibleFileExists(normal));
    EXPECT_TRUE(fileio::visibleFileExists(hidden));
    EXPECT_FALSE(fileio::visibleFileExists(system));
    EXPECT_FALSE(fileio::visibleFileExists(dir.path()));
    EXPECT_FALSE(fileio::visibleFileExists(dir / L"*.bin"));
    fileio::deleteIfVisible(hidden);
    fileio::deleteIfVisible(system);
    EXPECT_FALSE(test::fileExists(hidden));
    EXPECT_TRUE(test::fileExists(system));
}
