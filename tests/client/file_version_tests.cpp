#include "tests/client/filesystem_client.h"
#include "tests/support/test_files.h"

using namespace kro;
using namespace kro::client;

TEST(GetFileVersionClient, KnownModuleThroughTheVtable) {
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    Text name(programFolder() + L"version_sample.dll"), file(L"old"), product(L"old");
    VARIANT result;
    result.vt = VT_I4;  // an [out] value holds garbage on entry
    EXPECT_HRESULT_SUCCEEDED(fs->GetFileVersion(&name.b, &file.b, &product.b, &result));
    EXPECT_EQ(file.str(), L"32768.1.65535.40000");
    EXPECT_EQ(product.str(), L"5.1.2600.0");
    EXPECT_EQ(result.vt, VT_EMPTY);

    // Without the optional product version.
    Text file2;
    EXPECT_HRESULT_SUCCEEDED(fs->GetFileVersion(&name.b, &file2.b, nullptr, &result));
    EXPECT_EQ(file2.str(), L"32768.1.65535.40000");
}

TEST(GetFileVersionClient, FailuresGiveZeroInBoth) {
    test::TempDir dir;
    test::writeBytes(dir / L"text.txt", {'a'});
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    for (const std::wstring& path : {dir / L"text.txt", dir / L"missing.dll", std::wstring()}) {
        Text name(path), file(L"1.2.3.4"), product(L"1.2.3.4");
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_HRESULT_SUCCEEDED(fs->GetFileVersion(&name.b, &file.b, &product.b, &result));
        EXPECT_EQ(file.str(), L"0");
        EXPECT_EQ(product.str(), L"0");
        EXPECT_EQ(result.vt, VT_EMPTY);
    }
}

TEST(GetFileVersionClient, ByNameWritesBackIntoTheCallersVariables) {
    Object<_FileSystemCls> fs(L"kroProgramDll.FileSystemCls");
    ASSERT_TRUE(fs.p);
    Text name(programFolder() + L"version_sample.dll");
    VARIANT file, product;  // script variables: Variants passed by reference
    ::VariantInit(&file);
    ::VariantInit(&product);
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_HRESULT_SUCCEEDED(callByName(fs.p, L"GetFileVersion", {byRef(&name.b), byRef(&file), byRef(&product)}, &result));
    ASSERT_EQ(file.vt, VT_BSTR);
    EXPECT_STREQ(file.bstrVal, L"32768.1.65535.40000");
    ASSERT_EQ(product.vt, VT_BSTR);
    EXPECT_STREQ(product.bstrVal, L"5.1.2600.0");
    EXPECT_EQ(result.vt, VT_EMPTY);
    ::VariantClear(&file);
    ::VariantClear(&product);

    // The optional product version left out.
    ASSERT_HRESULT_SUCCEEDED(callByName(fs.p, L"GetFileVersion", {byRef(&name.b), byRef(&file)}, &result));
    ASSERT_EQ(file.vt, VT_BSTR);
    EXPECT_STREQ(file.bstrVal, L"32768.1.65535.40000");
    ::VariantClear(&file);
}
