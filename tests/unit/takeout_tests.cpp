#include <gtest/gtest.h>

#include <cstring>

#include "filesystem/file.h"
#include "filesystem/takeout.h"
#include "frame/errors.h"
#include "tests/support/test_files.h"

using namespace kro;
using Bytes = std::vector<unsigned char>;

namespace {

void put16(Bytes& b, size_t at, unsigned v) { b[at] = v & 0xFF; b[at + 1] = (v >> 8) & 0xFF; }
void put32(Bytes& b, size_t at, unsigned v) { for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF; }

struct Section {
    unsigned rawSize;
    unsigned rawOffset;
};

// A PE executable made by hand: DOS header, PE header at `peOffset`, an optional header of
// `optionalSize` bytes (SizeOfHeaders at its offset 60 when it is long enough), the section
// table, and the file padded to `length` bytes.
Bytes makePe(unsigned peOffset, unsigned optionalSize, const std::vector<Section>& sections, size_t length,
             unsigned sizeOfHeaders = 0) {
    Bytes b(length, 0xCC);
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 60, peOffset);
    std::memcpy(b.data() + peOffset, "PE\0\0", 4);
    put16(b, peOffset + 6, static_cast<unsigned>(sections.size()));
    put16(b, peOffset + 20, optionalSize);
    if (optionalSize >= 64) put32(b, peOffset + 24 + 60, sizeOfHeaders);
    size_t table = peOffset + 24 + optionalSize;
    for (size_t i = 0; i < sections.size(); ++i) {
        put32(b, table + 40 * i + 16, sections[i].rawSize);
        put32(b, table + 40 * i + 20, sections[i].rawOffset);
    }
    return b;
}

std::uint64_t imageEndOf(const std::wstring& path) {
    file::File f(path, file::Mode::Read);
    return takeout::imageEnd(f);
}

std::wstring systemFile(bool wow64, const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    UINT n = wow64 ? ::GetSystemWow64DirectoryW(dir, MAX_PATH) : ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring path = std::wstring(dir) + L"\\" + name;
    return test::fileExists(path) ? path : std::wstring();
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Checks a real executable. The system's executables carry a symbol table after their last
// section (its file offset is in the file header): that counts as embedded. Cut at the symbol
// table the executable holds nothing; with bytes appended they come out after the symbol table.
void checkRealExecutable(const std::wstring& exe, unsigned short expectedMachine) {
    test::TempDir dir;
    Bytes whole = test::readBytes(exe);
    ASSERT_GT(whole.size(), 1024u);
    unsigned pe = whole[60] | (whole[61] << 8) | (whole[62] << 16) | (whole[63] << 24);
    ASSERT_EQ(whole[pe + 4] | (whole[pe + 5] << 8), expectedMachine);
    size_t symbols = whole[pe + 12] | (whole[pe + 13] << 8) | (whole[pe + 14] << 16) | (whole[pe + 15] << 24);
    size_t imageSize = symbols != 0 ? symbols : whole.size();
    ASSERT_LE(imageSize, whole.size());
    Bytes image(whole.begin(), whole.begin() + static_cast<long>(imageSize));
    Bytes trailer(whole.begin() + static_cast<long>(imageSize), whole.end());

    test::writeBytes(dir / L"plain.exe", image);
    EXPECT_EQ(imageEndOf(dir / L"plain.exe"), image.size());
    EXPECT_FALSE(takeout::extract(dir / L"plain.exe", dir / L"none.bin"));
    EXPECT_FALSE(test::fileExists(dir / L"none.bin"));

    Bytes appended = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    test::writeBytes(dir / L"joined.exe", concat(image, appended));
    EXPECT_EQ(imageEndOf(dir / L"joined.exe"), image.size());
    EXPECT_TRUE(takeout::extract(dir / L"joined.exe", dir / L"out.bin"));
    EXPECT_EQ(test::readBytes(dir / L"out.bin"), appended);

    test::writeBytes(dir / L"whole.exe", concat(whole, appended));
    EXPECT_TRUE(takeout::extract(dir / L"whole.exe", dir / L"whole.bin"));
    EXPECT_EQ(test::readBytes(dir / L"whole.bin"), concat(trailer, appended));

    // Cut inside its section data: the headers point outside the file, so it is no executable
    // and the whole content counts as embedded.
    Bytes cut(image.begin(), image.begin() + static_cast<long>(image.size() / 2));
    test::writeBytes(dir / L"cut.exe", cut);
    EXPECT_EQ(imageEndOf(dir / L"cut.exe"), 0u);
    EXPECT_TRUE(takeout::extract(dir / L"cut.exe", dir / L"cut.bin"));
    EXPECT_EQ(test::readBytes(dir / L"cut.bin"), cut);
}

}  // namespace

TEST(TakeOutRealExecutables, SystemFolderExecutable) {
    std::wstring exe = systemFile(false, L"notepad.exe");
    ASSERT_FALSE(exe.empty());
    checkRealExecutable(exe, sizeof(void*) == 8 ? 0x8664 : 0x014C);
}

TEST(TakeOutRealExecutables, OtherArchitectureExecutable) {
    std::wstring exe;
    unsigned short machine = 0;
    if (sizeof(void*) == 8) {
        // The 32-bit system folder, or else the 32-bit programs of the Wine installation.
        exe = systemFile(true, L"notepad.exe");
        if (exe.empty() && test::fileExists(L"Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\notepad.exe"))
            exe = L"Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\notepad.exe";
        machine = 0x014C;
    } else {
        // A 32-bit program sees the 64-bit system folder as "sysnative".
        wchar_t windows[MAX_PATH] = {};
        ::GetWindowsDirectoryW(windows, MAX_PATH);
        std::wstring path = std::wstring(windows) + L"\\sysnative\\notepad.exe";
        if (test::fileExists(path)) exe = path;
        machine = 0x8664;
    }
    if (exe.empty()) GTEST_SKIP() << "no executable of the other architecture here";
    checkRealExecutable(exe, machine);
}

TEST(TakeOutImageEnd, LargestSectionEndWhateverTheTableOrder) {
    test::TempDir dir;
    // PE32+ optional header (240 bytes); the last table entry is not the last data in the file.
    Bytes pe = makePe(0x80, 240, {{0x200, 0x400}, {0x600, 0x600}, {0x100, 0x300}}, 0xC00 + 7, 0x300);
    test::writeBytes(dir / L"a.exe", pe);
    EXPECT_EQ(imageEndOf(dir / L"a.exe"), 0xC00u);
    EXPECT_TRUE(takeout::extract(dir / L"a.exe", dir / L"a.bin"));
    EXPECT_EQ(test::readBytes(dir / L"a.bin"), Bytes(7, 0xCC));
}

TEST(TakeOutImageEnd, SectionsWithoutRawDataAreSkipped) {
    test::TempDir dir;
    // An uninitialised-data section records an offset but no bytes in the file.
    Bytes pe = makePe(0x40, 224, {{0x200, 0x200}, {0, 0x5000}}, 0x400 + 3, 0x200);
    test::writeBytes(dir / L"b.exe", pe);
    EXPECT_EQ(imageEndOf(dir / L"b.exe"), 0x400u);
}

TEST(TakeOutImageEnd, PeHeaderBeyondTheFirst32KiB) {
    test::TempDir dir;
    Bytes pe = makePe(0x9000, 224, {{0x100, 0x9200}}, 0x9300 + 5, 0x9200);
    test::writeBytes(dir / L"far.exe", pe);
    EXPECT_EQ(imageEndOf(dir / L"far.exe"), 0x9300u);
}

TEST(TakeOutImageEnd, NoSectionsEndsAfterTheHeaders) {
    test::TempDir dir;
    Bytes pe = makePe(0x40, 240, {}, 0x200 + 4, 0x200);
    test::writeBytes(dir / L"nosec.exe", pe);
    EXPECT_EQ(imageEndOf(dir / L"nosec.exe"), 0x200u);
    EXPECT_TRUE(takeout::extract(dir / L"nosec.exe", dir / L"nosec.bin"));
    EXPECT_EQ(test::readBytes(dir / L"nosec.bin"), Bytes(4, 0xCC));

    // Without SizeOfHeaders (a short optional header) the section table's end is the image end.
    Bytes bare = makePe(0x40, 0, {}, 0x40 + 24 + 6);
    test::writeBytes(dir / L"bare.exe", bare);
    EXPECT_EQ(imageEndOf(dir / L"bare.exe"), 0x40u + 24);
}

TEST(TakeOutImageEnd, TruncatedOrBrokenHeadersAreNoExecutable) {
    test::TempDir dir;
    Bytes good = makePe(0x80, 240, {{0x200, 0x400}}, 0x600, 0x400);

    // Cut inside the section table.
    Bytes cut(good.begin(), good.begin() + 0x80 + 24 + 240 + 20);
    test::writeBytes(dir / L"cut.exe", cut);
    EXPECT_EQ(imageEndOf(dir / L"cut.exe"), 0u);

    // Cut inside the PE header, and inside the DOS header.
    test::writeBytes(dir / L"pe.exe", Bytes(good.begin(), good.begin() + 0x80 + 10));
    EXPECT_EQ(imageEndOf(dir / L"pe.exe"), 0u);
    test::writeBytes(dir / L"mz.exe", Bytes{'M', 'Z', 0x90});
    EXPECT_EQ(imageEndOf(dir / L"mz.exe"), 0u);

    // PE header offset beyond the end, or negative as a signed number.
    Bytes distant = good;
    put32(distant, 60, 0x10000);
    test::writeBytes(dir / L"distant.exe", distant);
    EXPECT_EQ(imageEndOf(dir / L"distant.exe"), 0u);
    Bytes negative = good;
    put32(negative, 60, 0xFFFFFFF0u);
    test::writeBytes(dir / L"neg.exe", negative);
    EXPECT_EQ(imageEndOf(dir / L"neg.exe"), 0u);

    // Section data beyond the end, and offsets that overflow 32 bits when added.
    Bytes beyond = makePe(0x80, 240, {{0x200, 0x400}}, 0x500, 0x400);
    test::writeBytes(dir / L"beyond.exe", beyond);
    EXPECT_EQ(imageEndOf(dir / L"beyond.exe"), 0u);
    Bytes overflow = makePe(0x80, 240, {{0xFFFFFF00u, 0x200}}, 0x600, 0x400);
    test::writeBytes(dir / L"overflow.exe", overflow);
    EXPECT_EQ(imageEndOf(dir / L"overflow.exe"), 0u);

    // "PE" without its two zero bytes, and no "MZ".
    Bytes signature = good;
    signature[0x82] = 'X';
    test::writeBytes(dir / L"sig.exe", signature);
    EXPECT_EQ(imageEndOf(dir / L"sig.exe"), 0u);
    Bytes noMz = good;
    noMz[0] = 'Z';
    test::writeBytes(dir / L"nomz.exe", noMz);
    EXPECT_EQ(imageEndOf(dir / L"nomz.exe"), 0u);
}

TEST(TakeOutExtract, NonExecutableIsCopiedWholeAndEmptyHoldsNothing) {
    test::TempDir dir;
    Bytes data(100);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7);
    test::writeBytes(dir / L"data.bin", data);
    EXPECT_TRUE(takeout::extract(dir / L"data.bin", dir / L"copy.bin"));
    EXPECT_EQ(test::readBytes(dir / L"copy.bin"), data);

    test::writeBytes(dir / L"empty.bin", {});
    EXPECT_FALSE(takeout::extract(dir / L"empty.bin", dir / L"never.bin"));
    EXPECT_FALSE(test::fileExists(dir / L"never.bin"));
}

TEST(TakeOutExtract, MissingExecutableRaises53AndWritesNothing) {
    test::TempDir dir;
    try {
        takeout::extract(dir / L"missing.exe", dir / L"out.bin");
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 53);
    }
    EXPECT_FALSE(test::fileExists(dir / L"out.bin"));
}

TEST(TakeOutExtract, LongerOutputIsCutAndNothingStaysOpen) {
    test::TempDir dir;
    Bytes pe = makePe(0x40, 224, {{0x100, 0x200}}, 0x300 + 3, 0x200);
    test::writeBytes(dir / L"app.exe", pe);
    test::writeBytes(dir / L"out.bin", Bytes(50, 0x11));

    // A file the caller holds open stays open.
    HANDLE mine = ::CreateFileW((dir / L"mine.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(mine, INVALID_HANDLE_VALUE);

    EXPECT_TRUE(takeout::extract(dir / L"app.exe", dir / L"out.bin"));
    EXPECT_EQ(test::readBytes(dir / L"out.bin"), Bytes(3, 0xCC));

    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(mine, "x", 1, &written, nullptr));
    EXPECT_TRUE(::CloseHandle(mine));
    // Both files of the extraction are closed: they can be deleted at once.
    EXPECT_TRUE(::DeleteFileW((dir / L"app.exe").c_str()));
    EXPECT_TRUE(::DeleteFileW((dir / L"out.bin").c_str()));
}

TEST(TakeOutExtract, UnwritableOutputRaisesTheFileError) {
    test::TempDir dir;
    test::writeBytes(dir / L"data.bin", {1, 2, 3});
    try {
        takeout::extract(dir / L"data.bin", dir / L"no\\such\\folder\\out.bin");
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 76);
    }
}

TEST(TakeOutExtract, OutputNamingTheExecutableItselfIsRefusedUnderAnySpelling) {
    test::TempDir dir;
    Bytes joined = concat(makePe(0x40, 224, {{0x100, 0x200}}, 0x300, 0x200), Bytes(10, 0x5A));
    test::writeBytes(dir / L"app.exe", joined);
    // A hard link stands in for an 8.3 name here: another name of the same file.
    ASSERT_TRUE(::CreateHardLinkW((dir / L"APP~1.EXE").c_str(), (dir / L"app.exe").c_str(), nullptr));
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.path().c_str()));
    for (const std::wstring& out : {dir / L"APP.EXE", std::wstring(L"app.exe"), std::wstring(L".\\APP~1.EXE")}) {
        try {
            takeout::extract(dir / L"app.exe", out);
            ADD_FAILURE() << "no error for " << std::string(out.begin(), out.end());
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.number(), 75);
        }
        EXPECT_EQ(test::readBytes(dir / L"app.exe"), joined);
    }
    ::SetCurrentDirectoryW(before);
}
