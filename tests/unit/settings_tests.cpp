#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "settings/ini.h"
#include "settings/registry.h"
#include "tests/support/test_files.h"

using namespace kro;

namespace {

// A key of its own under HKEY_CURRENT_USER\Software, removed with everything below it.
class RegistryCore : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("kro_unit_") + info->name();
        base_ = L"Software\\" + std::wstring(name.begin(), name.end());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, base_.c_str());
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, base_.c_str());
    }
    bool keyExists(const std::wstring& path) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        ::RegCloseKey(k);
        return true;
    }
    const HKEY hkcu = registry::rootKey(static_cast<LONG>(0x80000001));
    std::wstring base_;
};

std::vector<std::byte> bytesOf(std::initializer_list<int> values) {
    std::vector<std::byte> out;
    for (int v : values) out.push_back(static_cast<std::byte>(v));
    return out;
}

}  // namespace

TEST(RegistryStatusText, EveryListedCodeHasItsTextAndOthersNone) {
    EXPECT_EQ(registry::statusText(1009), L"レジストリデータベースが壊れています");
    EXPECT_EQ(registry::statusText(1010), L"レジストリキーが無効です");
    EXPECT_EQ(registry::statusText(1011), L"レジストリキーをオープンできません");
    EXPECT_EQ(registry::statusText(1012), L"レジストリキーを読みとれません");
    EXPECT_EQ(registry::statusText(1013), L"レジストリキーに書き込めません");
    EXPECT_EQ(registry::statusText(1014),
              L"ログや代替コピーを使ってレジストリデータベースのファイルの1つを復旧しました（復旧は成功しました）");
    EXPECT_EQ(registry::statusText(1015),
              L"レジストリが壊れています。レジストリデータを含むファイルの1つが壊れているか,メモリ内のファイルのイメージが"
              L"壊れているか、ログや代替コピーがないか壊れているために復旧できなかった、などの原因が考えられます");
    EXPECT_EQ(registry::statusText(1016),
              L"レジストリが修復不可能な入出力命令を実行しました。レジストリイメージを含むファイルの1つに対して、"
              L"読み出し書き込み、フラッシュができませんでした");
    EXPECT_EQ(registry::statusText(1017),
              L"システムはレジストリにファイルをロードまたは復旧しようとしましたが指定されたファイルはレジストリファイルの形式ではありません");
    EXPECT_EQ(registry::statusText(1018), L"削除のマークが付けられたレジストリキーに不正な操作をしようとしました");
    EXPECT_EQ(registry::statusText(1019), L"レジストリログに必要なスペースを割り当てることができませんでした");
    EXPECT_EQ(registry::statusText(1020), L"すでにサブキーや値を持つレジストリキーにはシンボリックリンクを作成できません");
    EXPECT_EQ(registry::statusText(1021), L"揮発性親キーの下に不揮発性のサブキーを作ることはできません");
    EXPECT_EQ(registry::statusText(1369), L"レジストリのサブツリーのトランザクションは要求された操作と相容れません");
    for (LONG code : {0L, 1L, 2L, 5L, 1008L, 1022L, 1368L, 1370L, -1L, -2147483647L - 1})
        EXPECT_EQ(registry::statusText(code), L"") << code;
}

TEST(RegistryStatusText, The1015TextHasOneAsciiCommaOnly) {
    std::wstring text = registry::statusText(1015);
    EXPECT_EQ(std::count(text.begin(), text.end(), L','), 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'、'), 2);
    EXPECT_EQ(text.find(L' '), std::wstring::npos);
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
}

TEST(RegistryValueText, StringTypesAreUtf16AndOtherTypesAnsiBytes) {
    std::wstring stored = L"日本語\0rest";
    stored.resize(9);
    auto raw = std::span(reinterpret_cast<const std::byte*>(stored.data()), stored.size() * 2);
    EXPECT_EQ(registry::valueAsText(REG_SZ, raw), L"日本語");
    EXPECT_EQ(registry::valueAsText(REG_EXPAND_SZ, raw), L"日本語");
    EXPECT_EQ(registry::valueAsText(REG_MULTI_SZ, raw), L"日本語");
    // Code page 932 bytes of 日本 followed by "ab", then a zero byte and more.
    auto ansi = bytesOf({0x93, 0xFA, 0x96, 0x7B, 'a', 'b', 0, 'x'});
    EXPECT_EQ(registry::valueAsText(REG_BINARY, ansi), L"日本ab");
    EXPECT_EQ(registry::valueAsText(REG_DWORD, bytesOf({'A', 0, 0, 0})), L"A");
    EXPECT_EQ(registry::valueAsText(REG_BINARY, bytesOf({'a', 'b', 'c'})), L"abc");  // no filler added
    EXPECT_EQ(registry::valueAsText(REG_SZ, bytesOf({'a', 0, 'b'})), L"a");          // odd byte dropped
}

TEST(RegistryKeyPath, EmptyPathsAndPathsThePlatformWouldCutAreRefused) {
    EXPECT_FALSE(registry::usableKeyPath(L""));
    EXPECT_FALSE(registry::usableKeyPath(std::wstring(L"Software\0Evil", 13)));
    EXPECT_FALSE(registry::usableKeyPath(std::wstring(40000, L'a')));
    EXPECT_TRUE(registry::usableKeyPath(L"Software"));
    EXPECT_TRUE(registry::usableValueName(L""));
    EXPECT_FALSE(registry::usableValueName(std::wstring(L"a\0b", 3)));
}

TEST_F(RegistryCore, PathWithNulNeverReachesTheShorterKey) {
    ASSERT_EQ(registry::createKey(hkcu, base_), 0);
    std::wstring withNul = base_ + std::wstring(L"\0\\x", 3);
    EXPECT_EQ(registry::deleteKey(hkcu, withNul), 1010);
    EXPECT_TRUE(keyExists(base_));
    EXPECT_EQ(registry::writeText(hkcu, base_, std::wstring(L"a\0b", 3), L"x"), ERROR_INVALID_PARAMETER);
    std::wstring text;
    EXPECT_EQ(registry::readText(hkcu, base_, L"a", text), 0);
    EXPECT_EQ(text, L"");
}

TEST_F(RegistryCore, KeyChainCreatesEveryLevel) {
    EXPECT_EQ(registry::makeKeyChain(hkcu, base_ + L"\\A\\B\\C"), 0);
    EXPECT_TRUE(keyExists(base_ + L"\\A"));
    EXPECT_TRUE(keyExists(base_ + L"\\A\\B"));
    EXPECT_TRUE(keyExists(base_ + L"\\A\\B\\C"));
    EXPECT_EQ(registry::makeKeyChain(hkcu, base_ + L"\\T\\"), 0);
    EXPECT_TRUE(keyExists(base_ + L"\\T"));
}

TEST_F(RegistryCore, StoredBytesOfATextAreThoseOfTheAnsiFunctions) {
    ASSERT_EQ(registry::writeText(hkcu, base_, L"w", L"日本語 text"), 0);
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_ALL_ACCESS, &k), 0);
    const char ansi[] = "\x93\xFA\x96\x7B\x8C\xEA text";  // the same text in code page 932
    ASSERT_EQ(::RegSetValueExA(k, "a", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), sizeof(ansi)), 0);
    auto raw = [&](const wchar_t* name) {
        std::vector<BYTE> data(256);
        DWORD size = static_cast<DWORD>(data.size()), type = 0;
        EXPECT_EQ(::RegQueryValueExW(k, name, nullptr, &type, data.data(), &size), 0);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        data.resize(size);
        return data;
    };
    EXPECT_EQ(raw(L"w"), raw(L"a"));
    EXPECT_EQ(raw(L"w").size(), 9u * 2);  // eight characters and the terminating NUL
    ::RegCloseKey(k);
}

TEST_F(RegistryCore, TextsReadAsBinaryGiveTheirAnsiBytes) {
    ASSERT_EQ(registry::writeText(hkcu, base_, L"t", L"日a"), 0);
    std::vector<std::byte> back;
    EXPECT_EQ(registry::readBinary(hkcu, base_, L"t", back), 0);
    EXPECT_EQ(back, bytesOf({0x93, 0xFA, 'a', 0}));
    // Texts beyond 32 KiB are written and read whole.
    std::wstring big(70000, L'字');
    ASSERT_EQ(registry::writeText(hkcu, base_, L"big", big), 0);
    std::wstring text;
    EXPECT_EQ(registry::readText(hkcu, base_, L"big", text), 0);
    EXPECT_EQ(text, big);
}

TEST_F(RegistryCore, SubkeysAreListedInFullPastTheFirstHundred) {
    EXPECT_TRUE(registry::subkeyNames(hkcu, base_).empty());
    for (int i = 0; i < 250; ++i) ASSERT_EQ(registry::createKey(hkcu, base_ + L"\\k" + std::to_wstring(i)), 0);
    std::wstring longName(255, L'名');
    ASSERT_EQ(registry::createKey(hkcu, base_ + L"\\" + longName), 0);
    auto names = registry::subkeyNames(hkcu, base_);
    ASSERT_EQ(names.size(), 251u);
    EXPECT_NE(std::find(names.begin(), names.end(), longName), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), L"k249"), names.end());
    EXPECT_TRUE(registry::subkeyNames(hkcu, base_ + L"\\missing").empty());
    EXPECT_TRUE(registry::subkeyNames(registry::rootKey(12345), L"x").empty());
    EXPECT_FALSE(registry::subkeyNames(hkcu, L"").empty());  // the root itself
}

TEST_F(RegistryCore, DeletingValuesAndKeysReportsThePlatformStatus) {
    ASSERT_EQ(registry::writeText(hkcu, base_ + L"\\a", L"v", L"1"), 0);
    EXPECT_EQ(registry::deleteValue(hkcu, base_ + L"\\a", L"v"), 0);
    EXPECT_EQ(registry::deleteValue(hkcu, base_ + L"\\a", L"v"), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(registry::deleteKey(hkcu, base_), 0);  // it still has a subkey
    EXPECT_EQ(registry::deleteKey(hkcu, base_ + L"\\a"), 0);
    EXPECT_EQ(registry::deleteKey(hkcu, base_ + L"\\a"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryCore, ReadsWorkWhereFullAccessIsRefusedAndWritesStillFail) {
    // A key as a standard user meets HKLM: readable, but neither values nor subkeys may be set.
    const std::wstring locked = base_ + L"\\locked";
    ASSERT_EQ(registry::writeText(hkcu, locked, L"Installed", L"C:\\Program Files\\App"), 0);
    {
        RegKey key;
        ASSERT_EQ(registry::createOrOpen(hkcu, locked, key), 0);
        PSECURITY_DESCRIPTOR sd = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &sd, nullptr));
        ASSERT_EQ(::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
        ::LocalFree(sd);
    }
    RegKey probe;
    ASSERT_EQ(registry::createOrOpen(hkcu, locked, probe), ERROR_ACCESS_DENIED);  // the refusal is in force

    std::wstring text;
    EXPECT_EQ(registry::readText(hkcu, locked, L"Installed", text), 0);
    EXPECT_EQ(text, L"C:\\Program Files\\App");
    std::vector<std::byte> bytes;
    EXPECT_EQ(registry::readBinary(hkcu, locked, L"Installed", bytes), 0);
    EXPECT_EQ(bytes.size(), std::string("C:\\Program Files\\App").size() + 1);
    EXPECT_EQ(registry::writeText(hkcu, locked, L"Installed", L"x"), ERROR_ACCESS_DENIED);
    // Where full access is granted a read still creates a missing key.
    EXPECT_EQ(registry::readText(hkcu, base_ + L"\\fresh", L"v", text), 0);
    EXPECT_TRUE(keyExists(base_ + L"\\fresh"));

    RegKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, locked.c_str(), 0, WRITE_DAC, key.put()), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1, &open, nullptr));
    ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, open);
    ::LocalFree(open);
}

TEST(IniBlock, LinesAreNulSeparatedAndEmptyLinesLeftOut) {
    EXPECT_EQ(ini::sectionBlock({L"a=1", L"b=2"}), std::wstring(L"a=1\0b=2\0\0", 9));
    EXPECT_EQ(ini::sectionBlock({L"a=1", L"", L"b=2"}), std::wstring(L"a=1\0b=2\0\0", 9));
    EXPECT_EQ(ini::sectionBlock({}), std::wstring(L"\0\0", 2));
    EXPECT_EQ(ini::sectionBlock({L"x"}), std::wstring(L"x\0\0", 3));
}

TEST(IniCore, ReadsValuesBeyondTheUsualBuffer) {
    test::TempDir dir;
    std::wstring file = dir / L"big.ini";
    std::wstring big(40000, L'v');
    big += L"end";
    ASSERT_NE(ini::writeValue(file.c_str(), L"s", L"k", big.c_str()), 0);
    std::wstring value;
    EXPECT_TRUE(ini::readValue(file.c_str(), L"s", L"k", L"", value));
    EXPECT_EQ(value, big);
    EXPECT_TRUE(ini::readValue(file.c_str(), L"s", L"missing", L"dflt", value));
    EXPECT_EQ(value, L"dflt");
    EXPECT_FALSE(ini::readValue(file.c_str(), L"s", L"missing", L"", value));
    EXPECT_EQ(value, L"");
    EXPECT_TRUE(ini::readValue(file.c_str(), nullptr, nullptr, L"", value));  // first section name
    EXPECT_EQ(value, L"s");
}
