// Object browsers show each member's description from the registered type library: every class,
// enumeration and member has one, and the type library's fix-up (real member names, text
// defaults) leaves them where the platform finds them.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"

using namespace kro;

namespace {

std::wstring describe(ITypeInfo* info, MEMBERID id, std::wstring* name = nullptr) {
    BSTR n = nullptr, doc = nullptr;
    HRESULT hr = info->GetDocumentation(id, &n, &doc, nullptr, nullptr);
    std::wstring text = SUCCEEDED(hr) && doc ? doc : L"";
    if (name) *name = SUCCEEDED(hr) && n ? n : L"";
    ::SysFreeString(n);
    ::SysFreeString(doc);
    return text;
}

}  // namespace

TEST(Documentation, EveryClassEnumerationAndMemberOfTheRegisteredLibraryHasADescription) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_kroProgramDll, 4, 0, LOCALE_NEUTRAL, lib.put()), S_OK);
    int classes = 0, enums = 0, members = 0;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(lib->GetTypeInfo(i, info.put()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        std::wstring typeName;
        std::wstring typeDoc = describe(info.get(), MEMBERID_NIL, &typeName);
        if (attr->typekind == TKIND_COCLASS || attr->typekind == TKIND_ENUM) {
            EXPECT_FALSE(typeDoc.empty()) << "no description for " << typeName;
            (attr->typekind == TKIND_COCLASS ? classes : enums)++;
        }
        if (attr->typekind == TKIND_DISPATCH) {
            for (UINT f = 0; f < attr->cFuncs; ++f) {
                FUNCDESC* desc = nullptr;
                ASSERT_EQ(info->GetFuncDesc(f, &desc), S_OK);
                if (desc->memid >= 0x60030000) {  // the interface's own members, not IDispatch's
                    std::wstring memberName;
                    std::wstring memberDoc = describe(info.get(), desc->memid, &memberName);
                    EXPECT_GE(memberDoc.size(), 10u)
                        << typeName << "." << memberName << " has no description";
                    EXPECT_FALSE(memberName.empty());
                    ++members;
                }
                info->ReleaseFuncDesc(desc);
            }
        }
        info->ReleaseTypeAttr(attr);
    }
    EXPECT_EQ(classes, 17);
    EXPECT_EQ(enums, 6);
    EXPECT_EQ(members, 140);  // every member of the catalogue, property accessors counted one by one
}

TEST(Documentation, TheIntroductionMemberKeepsItsRealNameAndItsDescription) {
    ComPtr<IDispatch> main = test::create(L"MainCls");
    ASSERT_TRUE(main);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(main->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"紹介");
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(main->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    std::wstring realName;
    EXPECT_NE(describe(info.get(), id, &realName).find(L"introduction notice"), std::wstring::npos);
    EXPECT_EQ(realName, L"紹介");
}
