// The password codec of CodeCls and StringHandCls, the XOR coder and the text helpers, as a
// client sees them through the vtable and through IDispatch.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstring>
#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/support/test_files.h"

using kro::test::TempDir;
using Bytes = std::vector<unsigned char>;

namespace {

template <class Itf>
Itf* create(const wchar_t* progId) {
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(progId, &clsid))) return nullptr;
    Itf* p = nullptr;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Itf), reinterpret_cast<void**>(&p));
    return p;
}

// The runtime error number a failed member reports.
long number(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : static_cast<long>(hr); }

SAFEARRAY* makeArray(const Bytes& bytes, LONG lower = 0) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lower};
    SAFEARRAY* a = ::SafeArrayCreate(VT_UI1, 1, &bound);
    if (!bytes.empty()) std::memcpy(a->pvData, bytes.data(), bytes.size());
    return a;
}

Bytes contents(SAFEARRAY* a) {
    if (!a) return {};
    auto* p = static_cast<unsigned char*>(a->pvData);
    return Bytes(p, p + a->rgsabound[0].cElements);
}

LONG lowerBound(SAFEARRAY* a) { LONG l = 0; ::SafeArrayGetLBound(a, 1, &l); return l; }
LONG upperBound(SAFEARRAY* a) { LONG u = 0; ::SafeArrayGetUBound(a, 1, &u); return u; }

// A BSTR owned by the test.
struct Text {
    BSTR b;
    explicit Text(const std::wstring& s) : b(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    ~Text() { ::SysFreeString(b); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
};

std::wstring text(BSTR b) { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); }

// The format's coding rule, for pass codes 0..255.
unsigned char coded(unsigned char b, int c) { int v = b + c; return static_cast<unsigned char>(v > 255 ? v - 255 : v); }

Bytes everyByte(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(i * 131 + i / 256);
    return b;
}

// "~" is 126; HIRAGANA A (code page 932: 0x82A0) is -32096: with 254 tildes the sum is -92.
const std::wstring kNegativePassword = L"\x3042" + std::wstring(254, L'~');
constexpr int kNegativeCode = -92;

}  // namespace

// --- the seven codec members, on both classes -----------------------------------------------

template <class Itf>
class Codec : public ::testing::Test {
protected:
    void SetUp() override {
        obj = create<Itf>(std::is_same_v<Itf, _CodeCls> ? L"kroProgramDll.CodeCls" : L"kroProgramDll.StringHandCls");
        ASSERT_NE(obj, nullptr);
    }
    void TearDown() override {
        if (obj) obj->Release();
    }
    LONG passCode(const std::wstring& password) {
        Text p(password);
        LONG code = 12345;
        EXPECT_EQ(obj->GetPassCode(&p.b, &code), S_OK);
        return code;
    }
    Itf* obj = nullptr;
};

using CodecClasses = ::testing::Types<_CodeCls, _StringHandCls>;
TYPED_TEST_SUITE(Codec, CodecClasses);

TYPED_TEST(Codec, PassCodeFoldsAnsiCodesIntoTheRing) {
    EXPECT_EQ(this->passCode(L""), 0);
    EXPECT_EQ(this->passCode(L"UUU"), 255);
    EXPECT_EQ(this->passCode(L"UUV"), 1);
    EXPECT_EQ(this->passCode(L"ddd"), 45);
    EXPECT_EQ(this->passCode(L"\x3042"), -32096);
    EXPECT_EQ(this->passCode(kNegativePassword), kNegativeCode);
}

TYPED_TEST(Codec, ByteToCodeChangesTheCallersArrayAndReturnsACopy) {
    Bytes plain = everyByte(1000);
    SAFEARRAY* a = makeArray(plain);
    Text p(L"ddd");  // 45
    SAFEARRAY* result = nullptr;
    ASSERT_EQ(this->obj->ByteToCode(&a, &p.b, &result), S_OK);
    ASSERT_NE(result, a);
    Bytes expected(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) expected[i] = coded(plain[i], 45);
    EXPECT_EQ(contents(a), expected);
    EXPECT_EQ(contents(result), expected);
    EXPECT_EQ(lowerBound(result), 0);

    SAFEARRAY* back = nullptr;
    ASSERT_EQ(this->obj->CodeToByte(&result, &p.b, &back), S_OK);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] != 255) ASSERT_EQ(contents(back)[i], plain[i]);
        else ASSERT_EQ(contents(back)[i], 0) << "255 and 0 share one place on the ring";
    }
    EXPECT_EQ(contents(result), contents(back));
    ::SafeArrayDestroy(a);
    ::SafeArrayDestroy(result);
    ::SafeArrayDestroy(back);
}

TYPED_TEST(Codec, WorkedExamplesWithPassCode200) {
    Text p(std::wstring(2, L'd'));  // 200
    SAFEARRAY* a = makeArray({0, 55, 56, 255, 100, 30});
    SAFEARRAY* r = nullptr;
    ASSERT_EQ(this->obj->ByteToCode(&a, &p.b, &r), S_OK);
    EXPECT_EQ(contents(r), (Bytes{200, 255, 1, 200, 45, 230}));
    SAFEARRAY* d = nullptr;
    ASSERT_EQ(this->obj->CodeToByte(&r, &p.b, &d), S_OK);
    EXPECT_EQ(contents(d), (Bytes{0, 55, 56, 0, 100, 30}));
    for (SAFEARRAY* x : {a, r, d}) ::SafeArrayDestroy(x);
}

TYPED_TEST(Codec, EmptyPasswordAndEmptyArrayChangeNothing) {
    Bytes plain = everyByte(300);
    SAFEARRAY* a = makeArray(plain);
    Text empty(L"");
    SAFEARRAY* r = nullptr;
    ASSERT_EQ(this->obj->ByteToCode(&a, &empty.b, &r), S_OK);
    EXPECT_EQ(contents(r), plain);
    EXPECT_EQ(contents(a), plain);
    ::SafeArrayDestroy(r);
    BSTR nullPassword = nullptr;  // a null BSTR is the empty text
    ASSERT_EQ(this->obj->CodeToByte(&a, &nullPassword, &r), S_OK);
    EXPECT_EQ(contents(r), plain);
    ::SafeArrayDestroy(r);

    SAFEARRAY* none = makeArray({});
    Text p(L"x");
    ASSERT_EQ(this->obj->ByteToCode(&none, &p.b, &r), S_OK);
    EXPECT_EQ(upperBound(r), -1);
    BSTR s = nullptr;
    ASSERT_EQ(this->obj->CodeToString(&none, &p.b, &s), S_OK);
    EXPECT_EQ(::SysStringByteLen(s), 0u);
    ::SysFreeString(s);
    for (SAFEARRAY* x : {a, r, none}) ::SafeArrayDestroy(x);
}

TYPED_TEST(Codec, BadArraysFailWithoutTouchingAnything) {
    Text p(L"ddd");
    SAFEARRAY* r = reinterpret_cast<SAFEARRAY*>(1);
    SAFEARRAY* never = nullptr;
    EXPECT_EQ(number(this->obj->ByteToCode(&never, &p.b, &r)), 9);
    EXPECT_EQ(number(this->obj->CodeToByte(&never, &p.b, &r)), 9);
    BSTR s = nullptr;
    EXPECT_EQ(number(this->obj->CodeToString(&never, &p.b, &s)), 9);

    SAFEARRAY* fromOne = makeArray({10, 20, 30}, 1);
    EXPECT_EQ(number(this->obj->ByteToCode(&fromOne, &p.b, &r)), 9);
    EXPECT_EQ(contents(fromOne), (Bytes{10, 20, 30}));

    SAFEARRAYBOUND two[2] = {{2, 0}, {2, 0}};
    SAFEARRAY* square = ::SafeArrayCreate(VT_UI1, 2, two);
    EXPECT_EQ(number(this->obj->ByteToCode(&square, &p.b, &r)), 13);
    SAFEARRAY* variants = ::SafeArrayCreateVector(VT_VARIANT, 0, 3);
    EXPECT_EQ(number(this->obj->CodeToByte(&variants, &p.b, &r)), 13);
    EXPECT_EQ(number(this->obj->CodeToString(&variants, &p.b, &s)), 13);
    EXPECT_EQ(r, reinterpret_cast<SAFEARRAY*>(1)) << "no result on failure";
    for (SAFEARRAY* x : {fromOne, square, variants}) ::SafeArrayDestroy(x);
}

TYPED_TEST(Codec, NegativeLowerBoundCodesFromIndexZeroAndKeepsTheBounds) {
    SAFEARRAY* a = makeArray({1, 2, 3, 4, 5}, -2);
    Text p(L"ddd");
    SAFEARRAY* r = nullptr;
    ASSERT_EQ(this->obj->ByteToCode(&a, &p.b, &r), S_OK);
    Bytes expected{1, 2, coded(3, 45), coded(4, 45), coded(5, 45)};
    EXPECT_EQ(contents(a), expected);
    EXPECT_EQ(contents(r), expected);
    EXPECT_EQ(lowerBound(r), -2);
    EXPECT_EQ(upperBound(r), 2);
    ::SafeArrayDestroy(a);
    ::SafeArrayDestroy(r);
}

TYPED_TEST(Codec, NegativePassCodeOverflowsAtTheFirstByteOutOfRange) {
    Text p(kNegativePassword);
    SAFEARRAY* a = makeArray({200, 100, 50, 120});
    SAFEARRAY* r = nullptr;
    EXPECT_EQ(number(this->obj->ByteToCode(&a, &p.b, &r)), 6);
    EXPECT_EQ(contents(a), (Bytes{200 + kNegativeCode, 100 + kNegativeCode, 50, 120}));
    EXPECT_EQ(r, nullptr);

    SAFEARRAY* c = makeArray({10, 200, 5});
    EXPECT_EQ(number(this->obj->CodeToByte(&c, &p.b, &r)), 6);
    EXPECT_EQ(contents(c), (Bytes{10 - kNegativeCode, 200, 5}));

    // Every byte in range: all transformed, no error.
    SAFEARRAY* fine = makeArray({255, 92});
    ASSERT_EQ(this->obj->ByteToCode(&fine, &p.b, &r), S_OK);
    EXPECT_EQ(contents(r), (Bytes{255 + kNegativeCode, 0}));
    for (SAFEARRAY* x : {a, c, fine, r}) ::SafeArrayDestroy(x);
}

TYPED_TEST(Codec, StringFormsUseTheRawUtf16Bytes) {
    Text t(L"Az\x3042");
    Text p(L"ddd");
    SAFEARRAY* r = nullptr;
    ASSERT_EQ(this->obj->StringToCode(&t.b, &p.b, &r), S_OK);
    EXPECT_EQ(text(t.b), L"Az\x3042") << "the text is not changed";
    EXPECT_EQ(contents(r), (Bytes{coded('A', 45), coded(0, 45), coded('z', 45), coded(0, 45), coded(0x42, 45), coded(0x30, 45)}));
    BSTR back = nullptr;
    ASSERT_EQ(this->obj->CodeToString(&r, &p.b, &back), S_OK);
    EXPECT_EQ(text(back), L"Az\x3042");
    EXPECT_EQ(contents(r), (Bytes{'A', 0, 'z', 0, 0x42, 0x30})) << "the caller's array is decoded in place";
    ::SysFreeString(back);
    ::SafeArrayDestroy(r);

    Text empty(L"");
    ASSERT_EQ(this->obj->StringToCode(&empty.b, &p.b, &r), S_OK);
    EXPECT_EQ(upperBound(r), -1);
    ::SafeArrayDestroy(r);

    SAFEARRAY* odd = makeArray({'a', 0, 'b'});
    ASSERT_EQ(this->obj->CodeToString(&odd, &empty.b, &back), S_OK);
    EXPECT_EQ(::SysStringLen(back), 1u);
    EXPECT_EQ(::SysStringByteLen(back), 3u);
    EXPECT_EQ(reinterpret_cast<unsigned char*>(back)[2], 'b');
    // An odd-length text codes all its bytes.
    ASSERT_EQ(this->obj->StringToCode(&back, &empty.b, &r), S_OK);
    EXPECT_EQ(contents(r), (Bytes{'a', 0, 'b'}));
    ::SysFreeString(back);
    ::SafeArrayDestroy(r);
    ::SafeArrayDestroy(odd);
}

TYPED_TEST(Codec, StringFormsStopAtTheir16BitLimits) {
    Text p(L"ddd");
    Text longest(std::wstring(16383, L'q'));
    SAFEARRAY* r = nullptr;
    ASSERT_EQ(this->obj->StringToCode(&longest.b, &p.b, &r), S_OK);
    EXPECT_EQ(upperBound(r), 32765);
    ::SafeArrayDestroy(r);
    Text tooLong(std::wstring(16384, L'q'));
    EXPECT_EQ(number(this->obj->StringToCode(&tooLong.b, &p.b, &r)), 6);

    Bytes bytes(32767, 'q');
    SAFEARRAY* most = makeArray(bytes);  // upper bound 32,766
    BSTR s = nullptr;
    ASSERT_EQ(this->obj->CodeToString(&most, &p.b, &s), S_OK);
    EXPECT_EQ(::SysStringByteLen(s), 32767u);
    ::SysFreeString(s);
    SAFEARRAY* over = makeArray(Bytes(32768, 'q'));
    EXPECT_EQ(number(this->obj->CodeToString(&over, &p.b, &s)), 6);
    EXPECT_EQ(contents(over), Bytes(32768, 'q')) << "nothing decoded before the limit is checked";
    ::SafeArrayDestroy(most);
    ::SafeArrayDestroy(over);
}

TYPED_TEST(Codec, FileFormsCodeWholeFilesAndCutTheDestination) {
    TempDir dir;
    Bytes plain = everyByte(200 * 1024 + 17);  // more than one piece
    kro::test::writeBytes(dir / L"plain.bin", plain);
    kro::test::writeBytes(dir / L"coded.bin", Bytes(300 * 1024, 0xAB));  // longer, to be cut
    Text src(dir / L"plain.bin"), dst(dir / L"coded.bin"), back(dir / L"back.bin"), p(L"ddd");
    ASSERT_EQ(this->obj->FileToCodeFile(&src.b, &dst.b, &p.b), S_OK);
    Bytes expected(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) expected[i] = coded(plain[i], 45);
    EXPECT_EQ(kro::test::readBytes(dir / L"coded.bin"), expected);
    ASSERT_EQ(this->obj->CodeFileToFile(&dst.b, &back.b, &p.b), S_OK);
    Bytes restored = kro::test::readBytes(dir / L"back.bin");
    ASSERT_EQ(restored.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(restored[i], plain[i] == 255 ? 0 : plain[i]);

    // Coded in place when both name the same file.
    ASSERT_EQ(this->obj->FileToCodeFile(&src.b, &src.b, &p.b), S_OK);
    EXPECT_EQ(kro::test::readBytes(dir / L"plain.bin"), expected);
}

TYPED_TEST(Codec, FileFormsOnEmptyAndMissingFiles) {
    TempDir dir;
    kro::test::writeBytes(dir / L"empty.bin", {});
    Text empty(dir / L"empty.bin"), dst(dir / L"new.bin"), missing(dir / L"missing.bin"), dst2(dir / L"never.bin"), p(L"pw");
    ASSERT_EQ(this->obj->FileToCodeFile(&empty.b, &dst.b, &p.b), S_OK);
    EXPECT_TRUE(kro::test::fileExists(dir / L"new.bin"));
    EXPECT_TRUE(kro::test::readBytes(dir / L"new.bin").empty());

    EXPECT_EQ(number(this->obj->FileToCodeFile(&missing.b, &dst2.b, &p.b)), 53);
    EXPECT_EQ(number(this->obj->CodeFileToFile(&missing.b, &dst2.b, &p.b)), 53);
    EXPECT_FALSE(kro::test::fileExists(dir / L"missing.bin")) << "a missing source is not created";
    EXPECT_FALSE(kro::test::fileExists(dir / L"never.bin"));

    Text folder(dir.path());
    EXPECT_NE(this->obj->FileToCodeFile(&empty.b, &folder.b, &p.b), S_OK);
}

TYPED_TEST(Codec, FileFormFailingOnANegativePassCodeLeavesTheDestinationAlone) {
    TempDir dir;
    Bytes tail(100 * 1024, 200);
    tail.back() = 3;  // 3 - 92 is below 0: overflow at the very last byte
    kro::test::writeBytes(dir / L"src.bin", tail);
    kro::test::writeBytes(dir / L"dst.bin", {1, 2, 3});
    Text src(dir / L"src.bin"), dst(dir / L"dst.bin"), p(kNegativePassword);
    EXPECT_EQ(number(this->obj->FileToCodeFile(&src.b, &dst.b, &p.b)), 6);
    EXPECT_EQ(kro::test::readBytes(dir / L"dst.bin"), (Bytes{1, 2, 3}));
    // Without such a byte the negative pass code codes the file.
    tail.back() = 92;
    kro::test::writeBytes(dir / L"src.bin", tail);
    ASSERT_EQ(this->obj->FileToCodeFile(&src.b, &dst.b, &p.b), S_OK);
    Bytes got = kro::test::readBytes(dir / L"dst.bin");
    ASSERT_EQ(got.size(), tail.size());
    EXPECT_EQ(got.front(), 200 + kNegativeCode);
    EXPECT_EQ(got.back(), 0);
}

TYPED_TEST(Codec, LateBoundCallsWriteTheArrayBack) {
    IDispatch* disp = nullptr;
    ASSERT_EQ(this->obj->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp)), S_OK);
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(L"ByteToCode");
    ASSERT_EQ(disp->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);

    SAFEARRAY* a = makeArray({1, 2, 3});
    BSTR password = ::SysAllocString(L"ddd");
    VARIANT args[2];
    args[1].vt = VT_BYREF | VT_ARRAY | VT_UI1;
    args[1].pparray = &a;
    args[0].vt = VT_BYREF | VT_BSTR;
    args[0].pbstrVal = &password;
    DISPPARAMS params{args, nullptr, 2, 0};
    VARIANT result;
    ::VariantInit(&result);
    EXCEPINFO ei{};
    ASSERT_EQ(disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &ei, nullptr), S_OK);
    EXPECT_EQ(contents(a), (Bytes{46, 47, 48}));
    ASSERT_TRUE(result.vt & VT_ARRAY);
    ::VariantClear(&result);

    // Null and Empty in place of the array: an automation error, never a crash.
    VARIANT nullValue;
    nullValue.vt = VT_NULL;
    args[1] = nullValue;
    HRESULT hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &ei, nullptr);
    EXPECT_TRUE(FAILED(hr));
    ::SysFreeString(ei.bstrSource); ::SysFreeString(ei.bstrDescription); ::SysFreeString(ei.bstrHelpFile);
    ei = EXCEPINFO{};
    VARIANT emptyValue;
    emptyValue.vt = VT_EMPTY;
    args[1] = emptyValue;
    hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &ei, nullptr);
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode ? number(ei.scode) : ei.wCode, 9);
    ::SysFreeString(ei.bstrSource); ::SysFreeString(ei.bstrDescription); ::SysFreeString(ei.bstrHelpFile);

    ::SafeArrayDestroy(a);
    ::SysFreeString(password);
    disp->Release();
}

// --- StringHandCls: XOR coder and text helpers ----------------------------------------------

class StringHand : public ::testing::Test {
protected:
    void SetUp() override {
        obj = create<_StringHandCls>(L"kroProgramDll.StringHandCls");
        ASSERT_NE(obj, nullptr);
    }
    void TearDown() override {
        if (obj) obj->Release();
    }
    Bytes xorOf(const Bytes& in, LONG x) {
        SAFEARRAY* a = makeArray(in);
        SAFEARRAY* r = nullptr;
        EXPECT_EQ(obj->XorCode(&a, &x, &r), S_OK);
        Bytes out = contents(r);
        EXPECT_EQ(contents(a), out);
        ::SafeArrayDestroy(a);
        ::SafeArrayDestroy(r);
        return out;
    }
    std::wstring rtrim(const std::wstring& t, const std::wstring& l) {
        Text a(t), b(l);
        BSTR r = nullptr;
        EXPECT_EQ(obj->RTrimEx(a.b, b.b, &r), S_OK);
        std::wstring s = text(r);
        ::SysFreeString(r);
        return s;
    }
    std::wstring ltrim(const std::wstring& t, const std::wstring& l) {
        Text a(t), b(l);
        BSTR r = nullptr;
        EXPECT_EQ(obj->LTrimEx(a.b, b.b, &r), S_OK);
        std::wstring s = text(r);
        ::SysFreeString(r);
        return s;
    }
    std::wstring trim(const std::wstring& t, const std::wstring& l) {
        Text a(t), b(l);
        VARIANT r;
        ::VariantInit(&r);
        EXPECT_EQ(obj->TrimEx(a.b, b.b, &r), S_OK);
        EXPECT_EQ(r.vt, VT_BSTR);
        std::wstring s = r.vt == VT_BSTR ? text(r.bstrVal) : L"<not a string>";
        ::VariantClear(&r);
        return s;
    }
    _StringHandCls* obj = nullptr;
};

TEST_F(StringHand, XorCodeFoldsTheFull32BitValue) {
    EXPECT_EQ(xorOf({0, 1, 200, 255}, 0), (Bytes{0, 1, 200, 255}));
    EXPECT_EQ(xorOf({0, 1, 200, 255}, 255), (Bytes{255, 254, 55, 0}));
    EXPECT_EQ(xorOf({0, 1}, 256), (Bytes{1, 2}));
    EXPECT_EQ(xorOf({0}, -1), (Bytes{254}));
    Bytes plain = everyByte(1000);
    EXPECT_EQ(xorOf(xorOf(plain, 0x5A), 0x5A), plain);
    EXPECT_EQ(xorOf({}, 7), Bytes{});
}

TEST_F(StringHand, XorCodeRejectsBadArrays) {
    LONG x = 1;
    SAFEARRAY* r = nullptr;
    SAFEARRAY* never = nullptr;
    EXPECT_EQ(number(obj->XorCode(&never, &x, &r)), 9);
    SAFEARRAY* fromOne = makeArray({1}, 1);
    EXPECT_EQ(number(obj->XorCode(&fromOne, &x, &r)), 9);
    SAFEARRAY* strings = ::SafeArrayCreateVector(VT_BSTR, 0, 2);
    EXPECT_EQ(number(obj->XorCode(&strings, &x, &r)), 13);
    ::SafeArrayDestroy(fromOne);
    ::SafeArrayDestroy(strings);
}

TEST_F(StringHand, XorCodeFileRestoresWithTheSamePasswordAndCutsTheDestination) {
    TempDir dir;
    Bytes plain = everyByte(150 * 1024 + 3);
    kro::test::writeBytes(dir / L"plain.bin", plain);
    kro::test::writeBytes(dir / L"x.bin", Bytes(400 * 1024, 7));
    Text src(dir / L"plain.bin"), dst(dir / L"x.bin"), back(dir / L"back.bin"), p(L"ddd");
    VARIANT_BOOL no = VARIANT_FALSE;
    ASSERT_EQ(obj->XorCodeFile(&src.b, &dst.b, &p.b, &no), S_OK);
    Bytes x = kro::test::readBytes(dir / L"x.bin");
    ASSERT_EQ(x.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(x[i], plain[i] ^ 45);
    ASSERT_EQ(obj->XorCodeFile(&dst.b, &back.b, &p.b, &no), S_OK);
    EXPECT_EQ(kro::test::readBytes(dir / L"back.bin"), plain);
}

TEST_F(StringHand, XorCodeFileWithNewFileReplacesTheDestination) {
    TempDir dir;
    kro::test::writeBytes(dir / L"src.bin", {1, 2, 3});
    kro::test::writeBytes(dir / L"dst.bin", Bytes(1000, 9));
    Text src(dir / L"src.bin"), dst(dir / L"dst.bin"), fresh(dir / L"fresh.bin"), p(L"\x01");
    VARIANT_BOOL yes = VARIANT_TRUE;
    ASSERT_EQ(obj->XorCodeFile(&src.b, &dst.b, &p.b, &yes), S_OK);
    EXPECT_EQ(kro::test::readBytes(dir / L"dst.bin"), (Bytes{0, 3, 2}));
    ASSERT_EQ(obj->XorCodeFile(&src.b, &fresh.b, &p.b, &yes), S_OK);
    EXPECT_EQ(kro::test::readBytes(dir / L"fresh.bin"), (Bytes{0, 3, 2}));

    // A destination held open by another program can be neither removed nor written: the
    // failure is reported, and the file keeps its content.
    HANDLE held = ::CreateFileW((dir / L"dst.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(number(obj->XorCodeFile(&src.b, &dst.b, &p.b, &yes)), 70);
    ::CloseHandle(held);
    EXPECT_EQ(kro::test::readBytes(dir / L"dst.bin"), (Bytes{0, 3, 2}));

    Text missing(dir / L"missing.bin"), never(dir / L"never.bin");
    EXPECT_EQ(number(obj->XorCodeFile(&missing.b, &never.b, &p.b, &yes)), 53);
    EXPECT_FALSE(kro::test::fileExists(dir / L"missing.bin"));
    EXPECT_FALSE(kro::test::fileExists(dir / L"never.bin"));
}

TEST_F(StringHand, TrimmingRemovesRepeatedWholePieces) {
    EXPECT_EQ(rtrim(L"xxabcxx", L"x"), L"xxabc");
    EXPECT_EQ(ltrim(L"xxabcxx", L"x"), L"abcxx");
    EXPECT_EQ(trim(L"xxabcxx", L"x"), L"abc");
    EXPECT_EQ(trim(L"abab", L"ab"), L"");
    EXPECT_EQ(trim(L"abc", L""), L"abc");
    EXPECT_EQ(trim(L"", L"x"), L"");
    EXPECT_EQ(rtrim(L"abc", L"C"), L"abc");
    Text huge(std::wstring(32768, L'a')), letter(L"a");
    BSTR r = nullptr;
    EXPECT_EQ(number(obj->RTrimEx(huge.b, letter.b, &r)), 6);
    EXPECT_EQ(number(obj->LTrimEx(huge.b, letter.b, &r)), 6);
    VARIANT v;
    ::VariantInit(&v);
    EXPECT_EQ(number(obj->TrimEx(huge.b, letter.b, &v)), 6);
    EXPECT_EQ(trim(std::wstring(32767, L'a'), L"a"), L"");
}

TEST_F(StringHand, ReturnTextRepeatsUpTo32766Times) {
    Text piece(L"\x3042z");
    BSTR r = nullptr;
    ASSERT_EQ(obj->ReturnText(piece.b, 3, &r), S_OK);
    EXPECT_EQ(text(r), L"\x3042z\x3042z\x3042z");
    ::SysFreeString(r);
    for (short n : {short{0}, short{-5}}) {
        ASSERT_EQ(obj->ReturnText(piece.b, n, &r), S_OK);
        EXPECT_EQ(::SysStringLen(r), 0u);
        ::SysFreeString(r);
    }
    ASSERT_EQ(obj->ReturnText(piece.b, 32766, &r), S_OK);
    EXPECT_EQ(::SysStringLen(r), 65532u);
    ::SysFreeString(r);
    EXPECT_EQ(number(obj->ReturnText(piece.b, 32767, &r)), 6);
}
