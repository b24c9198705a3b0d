// The module's own resources: type library, icons, string table and version block.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

#include "tests/client/client_support.h"

using namespace kro::test;

namespace {

std::wstring versionString(const std::vector<BYTE>& block, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT len = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &len)) return L"<missing>";
    return std::wstring(value, len ? len - 1 : 0);
}

}  // namespace

TEST(Resources, TypeLibraryIconsAndStrings) {
    HMODULE data = ::LoadLibraryExW(modulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(data);
    EXPECT_TRUE(::FindResourceW(data, MAKEINTRESOURCEW(1), L"TYPELIB"));
    EXPECT_TRUE(::FindResourceExW(data, RT_GROUP_ICON, MAKEINTRESOURCEW(100), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
    EXPECT_TRUE(::FindResourceExW(data, RT_GROUP_ICON, MAKEINTRESOURCEW(999), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
    wchar_t text[100] = {};
    EXPECT_GT(::LoadStringW(data, 1, text, 100), 0);
    EXPECT_EQ(std::wstring(text), L"kro project program dll library");
    ::FreeLibrary(data);
}

TEST(Resources, VersionBlock) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(modulePath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(modulePath().c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000003u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000003u);
    DWORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
    EXPECT_EQ(*translation, 0x04B00411u);
    EXPECT_EQ(versionString(block, L"FileVersion"), L"1.00.0003");
    EXPECT_EQ(versionString(block, L"ProductVersion"), L"1.00.0003");
    EXPECT_EQ(versionString(block, L"CompanyName"), L"kro");
    EXPECT_EQ(versionString(block, L"ProductName"), L"kro project program dll library");
    EXPECT_EQ(versionString(block, L"InternalName"), L"kro project program dll library");
    EXPECT_EQ(versionString(block, L"OriginalFilename"), L"kro project program dll library.dll");
    EXPECT_EQ(versionString(block, L"OLESelfRegister"), L"");
}

TEST(Resources, JapaneseMemberNameCarriesItsLookupHash) {
    HMODULE data = ::LoadLibraryExW(modulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(data);
    HRSRC res = ::FindResourceW(data, MAKEINTRESOURCEW(1), L"TYPELIB");
    ASSERT_TRUE(res);
    const auto* bytes = static_cast<const unsigned char*>(::LockResource(::LoadResource(data, res)));
    DWORD size = ::SizeofResource(data, res);
    const std::string name = "\x8f\xd0\x89\xee";  // the member name in code page 932
    std::string all(reinterpret_cast<const char*>(bytes), size);
    size_t at = all.find(name);
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(at, 12u);
    EXPECT_EQ(bytes[at - 4], name.size());  // length byte of the name entry
    unsigned stored = bytes[at - 2] | (bytes[at - 1] << 8);
    EXPECT_EQ(stored, ::LHashValOfNameSysA(SYS_WIN32, 0x409, name.c_str()) & 0xFFFFu);
    ::FreeLibrary(data);
}
