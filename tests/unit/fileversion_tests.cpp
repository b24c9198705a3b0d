#include <gtest/gtest.h>

#include "filesystem/fileversion.h"
#include "filesystem/path.h"
#include "tests/support/test_files.h"

using namespace kro;

namespace {

// The module with a known version record, built beside the test programs.
std::wstring versionSample() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return path::folderOf(self) + L"version_sample.dll";
}

}  // namespace

TEST(FileVersionText, UnsignedPartsInOrder) {
    EXPECT_EQ(fileversion::versionText(MAKELONG(1, 5), MAKELONG(0, 2600)), L"5.1.2600.0");
    EXPECT_EQ(fileversion::versionText(MAKELONG(1, 32768), MAKELONG(65535, 40000)), L"32768.1.40000.65535");
    EXPECT_EQ(fileversion::versionText(0, 0), L"0.0.0.0");
    EXPECT_EQ(fileversion::versionText(0xFFFFFFFFu, 0xFFFFFFFFu), L"65535.65535.65535.65535");
}

TEST(FileVersionQuery, KnownModule) {
    ASSERT_TRUE(test::fileExists(versionSample()));
    auto v = fileversion::query(versionSample());
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->file, L"32768.1.65535.40000");
    EXPECT_EQ(v->product, L"5.1.2600.0");
}

TEST(FileVersionQuery, NoVersionRecord) {
    test::TempDir dir;
    test::writeBytes(dir / L"text.txt", {'a', 'b', 'c'});
    EXPECT_FALSE(fileversion::query(dir / L"text.txt").has_value());
    EXPECT_FALSE(fileversion::query(dir / L"missing.dll").has_value());
    EXPECT_FALSE(fileversion::query(L"").has_value());
}
