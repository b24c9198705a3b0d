// MathClass through the vtable with explicit Variant types, and its notice through the watcher.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "frame/raii.h"
#include "kroProgramDll.h"
#include "tests/support/ui_watcher.h"

using kro::ComPtr;
using kro::Variant;

namespace {

ComPtr<_MathClass> createMath() {
    CLSID clsid;
    ComPtr<_MathClass> object;
    if (FAILED(::CLSIDFromProgID(L"kroProgramDll.MathClass", &clsid))) return object;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_MathClass), object.putVoid());
    return object;
}

long errorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr; }

// Owned Variants of explicit types.
struct V : Variant {
    V() = default;
    V(V&& o) noexcept { *static_cast<VARIANT*>(this) = o.release(); }
    static V i2(short n) { V v; v.vt = VT_I2; v.iVal = n; return v; }
    static V i4(LONG n) { V v; v.vt = VT_I4; v.lVal = n; return v; }
    static V r8(double n) { V v; v.vt = VT_R8; v.dblVal = n; return v; }
    static V text(const wchar_t* s) { V v; v.vt = VT_BSTR; v.bstrVal = ::SysAllocString(s); return v; }
    static V null() { V v; v.vt = VT_NULL; return v; }
};

// The value of a numeric Variant as a double (fails the test for other kinds).
double number(const VARIANT& v) {
    Variant d;
    EXPECT_EQ(::VariantChangeType(&d, const_cast<VARIANT*>(&v), 0, VT_R8), S_OK) << "vt " << v.vt;
    return d.dblVal;
}

std::wstring text(const VARIANT& v) {
    EXPECT_EQ(v.vt, VT_BSTR);
    return v.vt == VT_BSTR && v.bstrVal ? std::wstring(v.bstrVal, ::SysStringLen(v.bstrVal)) : std::wstring();
}

// The elements of a Variant array with lower bound 0, checked to be one-dimensional.
std::vector<double> elements(SAFEARRAY* array, std::vector<VARTYPE>* kinds = nullptr) {
    std::vector<double> out;
    EXPECT_NE(array, nullptr);
    if (!array) return out;
    EXPECT_EQ(::SafeArrayGetDim(array), 1u);
    LONG lower = -1, upper = -2;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    EXPECT_EQ(lower, 0);
    for (LONG i = lower; i <= upper; ++i) {
        Variant item;
        ::SafeArrayGetElement(array, &i, &item);
        out.push_back(number(item));
        if (kinds) kinds->push_back(item.vt);
    }
    ::SafeArrayDestroy(array);
    return out;
}

}  // namespace

TEST(MathLine, WorkedLinesThroughTheVtable) {
    auto m = createMath();
    ASSERT_TRUE(m);
    SAFEARRAY* r = nullptr;
    auto line = [&](V x, V y, V x2, V y2, std::vector<VARTYPE>* kinds = nullptr) {
        r = nullptr;
        EXPECT_EQ(m->math_function(&x, &y, &x2, &y2, &r), S_OK);
        return elements(r, kinds);
    };
    std::vector<VARTYPE> kinds;
    EXPECT_EQ(line(V::i2(1), V::i2(2), V::i2(1), V::i2(5), &kinds), (std::vector<double>{1, 0, 1}));
    EXPECT_EQ(kinds, (std::vector<VARTYPE>{VT_I2, VT_I2, VT_I2}));
    EXPECT_EQ(line(V::i2(3), V::i2(4), V::i2(7), V::i2(4)), (std::vector<double>{2, 0, 4}));
    EXPECT_EQ(line(V::i2(5), V::i2(5), V::i2(5), V::i2(5)), (std::vector<double>{1, 0, 5}));
    kinds.clear();
    EXPECT_EQ(line(V::i2(0), V::i2(1), V::i2(2), V::i2(5), &kinds), (std::vector<double>{0, 2, 1}));
    EXPECT_EQ(kinds[0], VT_I2);
    EXPECT_EQ(kinds[1], VT_R4);  // Integer / Integer is single precision
    EXPECT_EQ(line(V::i2(2), V::i2(0), V::i2(4), V::i2(2)), (std::vector<double>{0, 1, 2}));
    kinds.clear();
    EXPECT_EQ(line(V::i4(0), V::i4(1), V::i4(2), V::i4(5), &kinds), (std::vector<double>{0, 2, 1}));
    EXPECT_EQ(kinds[1], VT_R8);
    // Mixed kinds compare by value: 1 (Integer) and 1.0 (Double) are the same x.
    EXPECT_EQ(line(V::i2(1), V::r8(2), V::r8(1.0), V::i4(9)), (std::vector<double>{1, 0, 1}));
    EXPECT_EQ(line(V::text(L"0"), V::text(L"1"), V::i2(2), V::i2(5)), (std::vector<double>{0, 2, 1}));
}

TEST(MathLine, ErrorsReachTheCaller) {
    auto m = createMath();
    ASSERT_TRUE(m);
    SAFEARRAY* r = nullptr;
    // Texts that compare unequal but subtract to zero.
    V x = V::text(L"1"), y = V::i2(2), x2 = V::text(L"1.0"), y2 = V::i2(5);
    EXPECT_EQ(errorNumber(m->math_function(&x, &y, &x2, &y2, &r)), 11);
    EXPECT_EQ(r, nullptr);
    V bad = V::text(L"abc"), one = V::i2(1), three = V::i2(3);
    EXPECT_EQ(errorNumber(m->math_function(&one, &bad, &three, &one, &r)), 13);
    // Null x values never compare equal; Null propagates into the slope.
    V n1 = V::null(), n2 = V::null();
    ASSERT_EQ(m->math_function(&n1, &one, &n2, &three, &r), S_OK);
    ASSERT_NE(r, nullptr);
    LONG i = 1;
    Variant slope;
    ::SafeArrayGetElement(r, &i, &slope);
    EXPECT_EQ(slope.vt, VT_NULL);
    ::SafeArrayDestroy(r);
}

TEST(MathAnswers, WorkedAnswersAndTypes) {
    auto m = createMath();
    ASSERT_TRUE(m);
    Variant r;
    auto reset = [&] { r.clear(); };
    V two = V::i2(2), one = V::i2(1), three = V::i2(3), seven = V::i2(7), zero = V::i2(0), five = V::i2(5),
      nine = V::i2(9);
    ASSERT_EQ(m->math_function_Anser_y(&two, &one, &three, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I2);
    EXPECT_EQ(number(r), 7);
    reset();
    ASSERT_EQ(m->math_function_Anser_x(&two, &one, &seven, &r), S_OK);
    EXPECT_EQ(r.vt, VT_R4);
    EXPECT_EQ(number(r), 3);
    reset();
    ASSERT_EQ(m->math_function_Anser_x(&zero, &five, &nine, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I2);
    EXPECT_EQ(number(r), 5);
    reset();
    ASSERT_EQ(m->math_function_Anser_a(&three, &seven, &one, &r), S_OK);
    EXPECT_EQ(number(r), 2);
    reset();
    ASSERT_EQ(m->math_function_Anser_a(&three, &zero, &one, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I2);
    EXPECT_EQ(number(r), 0);
    reset();
    ASSERT_EQ(m->math_function_Anser_a(&zero, &seven, &one, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I2);
    reset();
    ASSERT_EQ(m->math_function_Anser_b(&three, &seven, &two, &r), S_OK);
    EXPECT_EQ(number(r), 1);
    reset();
    // y = 0 gives back a copy of x, of its own type.
    V x = V::r8(2.5);
    ASSERT_EQ(m->math_function_Anser_b(&x, &zero, &two, &r), S_OK);
    EXPECT_EQ(r.vt, VT_R8);
    EXPECT_EQ(number(r), 2.5);
    reset();
    // Widening: 32767 * 2 + 1 no longer fits an Integer.
    V big = V::i2(32767);
    ASSERT_EQ(m->math_function_Anser_y(&big, &one, &two, &r), S_OK);
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(number(r), 65535);
    reset();
    // Numeric text is converted; Null propagates.
    V t = V::text(L"4"), n = V::null();
    ASSERT_EQ(m->math_function_Anser_y(&t, &one, &two, &r), S_OK);
    EXPECT_EQ(r.vt, VT_R8);
    EXPECT_EQ(number(r), 9);
    reset();
    ASSERT_EQ(m->math_function_Anser_y(&n, &one, &two, &r), S_OK);
    EXPECT_EQ(r.vt, VT_NULL);
    reset();
    // An Empty slope counts as 0.
    V empty;
    ASSERT_EQ(m->math_function_Anser_x(&empty, &five, &nine, &r), S_OK);
    EXPECT_EQ(number(r), 5);
}

TEST(MathAnswers, TextThatIsNoNumberFailsEvenInTheZeroTests) {
    auto m = createMath();
    ASSERT_TRUE(m);
    Variant r;
    V bad = V::text(L"abc"), one = V::i2(1), two = V::i2(2);
    EXPECT_EQ(errorNumber(m->math_function_Anser_x(&bad, &one, &two, &r)), 13);
    EXPECT_EQ(errorNumber(m->math_function_Anser_a(&bad, &one, &two, &r)), 13);
    EXPECT_EQ(errorNumber(m->math_function_Anser_b(&one, &bad, &two, &r)), 13);
    EXPECT_EQ(errorNumber(m->math_function_Anser_y(&one, &two, &bad, &r)), 13);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    kro::Bstr description;
    info->GetDescription(description.put());
    EXPECT_EQ(std::wstring(description.view()), L"Type mismatch");
}

TEST(MathParsent, TextOfTheRatio) {
    auto m = createMath();
    ASSERT_TRUE(m);
    auto ratio = [&](V a, V b, HRESULT* hr = nullptr) {
        Variant r;
        HRESULT h = m->math_Parsent(&a, &b, &r);
        if (hr) *hr = h;
        else EXPECT_EQ(h, S_OK);
        return h == S_OK ? text(r) : std::wstring();
    };
    EXPECT_EQ(ratio(V::i2(1), V::i2(4)), L"0.25%");
    EXPECT_EQ(ratio(V::i2(1), V::i2(3)), L"0.3333333%");
    EXPECT_EQ(ratio(V::i4(1), V::i4(3)), L"0.333333333333333%");
    EXPECT_EQ(ratio(V::r8(1), V::i2(3)), L"0.333333333333333%");
    EXPECT_EQ(ratio(V::text(L"1"), V::i2(3)), L"0.333333333333333%");
    EXPECT_EQ(ratio(V::null(), V::i2(3)), L"%");
    EXPECT_EQ(ratio(V::i2(3), V::null()), L"%");
    EXPECT_EQ(ratio(V(), V::i2(4)), L"0%");
    HRESULT hr;
    ratio(V::i2(1), V::i2(0), &hr);
    EXPECT_EQ(errorNumber(hr), 11);
    ratio(V::i2(0), V::i2(0), &hr);
    EXPECT_EQ(errorNumber(hr), 6);
    ratio(V::text(L"x"), V::i2(2), &hr);
    EXPECT_EQ(errorNumber(hr), 13);
}

TEST(MathDivision, RemainderFirstWithRoundingToEven) {
    auto m = createMath();
    ASSERT_TRUE(m);
    auto divide = [&](V a, V b, std::vector<VARTYPE>* kinds = nullptr) {
        SAFEARRAY* r = nullptr;
        EXPECT_EQ(m->division(a, b, &r), S_OK);
        return elements(r, kinds);
    };
    std::vector<VARTYPE> kinds;
    EXPECT_EQ(divide(V::i2(7), V::i2(2), &kinds), (std::vector<double>{1, 3}));
    EXPECT_EQ(kinds, (std::vector<VARTYPE>{VT_I2, VT_I2}));
    EXPECT_EQ(divide(V::i2(-7), V::i2(2)), (std::vector<double>{-1, -3}));
    EXPECT_EQ(divide(V::i2(7), V::i2(-2)), (std::vector<double>{1, -3}));
    kinds.clear();
    EXPECT_EQ(divide(V::r8(7.5), V::i2(2), &kinds), (std::vector<double>{0, 4}));
    EXPECT_EQ(kinds, (std::vector<VARTYPE>{VT_I4, VT_I4}));
    EXPECT_EQ(divide(V::r8(6.5), V::i2(2)), (std::vector<double>{0, 3}));
    kinds.clear();
    EXPECT_EQ(divide(V::i4(100000), V::i2(7), &kinds), (std::vector<double>{100000 % 7, 100000 / 7}));
    EXPECT_EQ(kinds, (std::vector<VARTYPE>{VT_I4, VT_I4}));
    EXPECT_EQ(divide(V::text(L"9"), V::i2(4)), (std::vector<double>{1, 2}));

    SAFEARRAY* r = nullptr;
    EXPECT_EQ(errorNumber(m->division(V::i2(7), V::i2(0), &r)), 11);
    EXPECT_EQ(errorNumber(m->division(V::i2(7), V::r8(0.4), &r)), 11);
    EXPECT_EQ(errorNumber(m->division(V::r8(3e9), V::i2(2), &r)), 6);
    EXPECT_EQ(errorNumber(m->division(V::text(L"seven"), V::i2(2), &r)), 13);
    EXPECT_EQ(r, nullptr);
}

TEST(MathIntersection, ShowsItsNoticeAndReturnsEmpty) {
    auto m = createMath();
    ASSERT_TRUE(m);
    kro::test::UiWatcher watcher({IDOK});
    V a = V::i2(2), b = V::r8(1.5), a2 = V::text(L"3"), b2 = V::null();
    LONG mode = 1, mode2 = 0;
    Variant r;
    r.vt = VT_I4;  // [out] values start uninitialised: the member must overwrite this
    ASSERT_EQ(m->math_Intersection(&a, &b, &a2, &b2, &mode, &mode2, &r), S_OK);
    EXPECT_EQ(r.vt, VT_EMPTY);
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"さっさと作れよってな（ﾟ∀ﾟ　）");
    EXPECT_EQ(seen[0].text, L"この関数は完成していません。");
    EXPECT_EQ(seen[0].icon, kro::test::BoxIcon::Asterisk);
    ASSERT_EQ(seen[0].buttons.size(), 1u);
    EXPECT_EQ(mode, 1);

    // Omitted modes (null from the vtable) and a = 0: the notice still comes once per call.
    V zero = V::i2(0);
    Variant r2;
    ASSERT_EQ(m->math_Intersection(&zero, &b, &a2, &b2, nullptr, nullptr, &r2), S_OK);
    EXPECT_EQ(r2.vt, VT_EMPTY);
    EXPECT_EQ(watcher.seen().size(), 2u);
}

TEST(MathIntersection, TextThatIsNoNumberFailsBeforeTheNotice) {
    auto m = createMath();
    ASSERT_TRUE(m);
    kro::test::UiWatcher watcher({IDOK});
    V bad = V::text(L"abc"), one = V::i2(1), zero = V::i2(0);
    LONG mode = 1, mode2 = 0;
    Variant r;
    EXPECT_EQ(errorNumber(m->math_Intersection(&bad, &one, &one, &one, &mode, &mode2, &r)), 13);
    // a = 0 in mode 1 evaluates a*0 + b: a text b that is no number fails too.
    EXPECT_EQ(errorNumber(m->math_Intersection(&zero, &bad, &one, &one, &mode, &mode2, &r)), 13);
    // In another mode b is not touched.
    mode = 2;
    EXPECT_EQ(m->math_Intersection(&zero, &bad, &one, &one, &mode, &mode2, &r), S_OK);
    EXPECT_EQ(watcher.seen().size(), 1u);
}

TEST(MathBadInput, ArraysObjectsAndMissingArgumentsFailCleanly) {
    auto m = createMath();
    ASSERT_TRUE(m);
    V arr;
    arr.vt = VT_ARRAY | VT_VARIANT;
    arr.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, 3);
    V one = V::i2(1), two = V::i2(2);
    Variant r;
    EXPECT_EQ(errorNumber(m->math_function_Anser_y(&arr, &one, &two, &r)), 13);
    EXPECT_EQ(errorNumber(m->math_function_Anser_b(&one, &arr, &two, &r)), 13);
    EXPECT_EQ(errorNumber(m->math_Parsent(&arr, &two, &r)), 13);
    SAFEARRAY* result = nullptr;
    EXPECT_EQ(errorNumber(m->math_function(&arr, &one, &two, &two, &result)), 13);
    EXPECT_EQ(errorNumber(m->division(arr, two, &result)), 13);
    EXPECT_EQ(result, nullptr);

    // An object without a value of its own is no number either.
    V object;
    object.vt = VT_UNKNOWN;
    object.punkVal = m.get();
    m->AddRef();
    EXPECT_EQ(errorNumber(m->math_function_Anser_y(&object, &one, &two, &r)), 13);

    // A null Variant pointer from an early-bound caller is an invalid argument, not a crash.
    EXPECT_EQ(errorNumber(m->math_function_Anser_x(nullptr, &one, &two, &r)), 5);
    EXPECT_EQ(errorNumber(m->math_function(&one, nullptr, &two, &two, &result)), 5);
    EXPECT_EQ(errorNumber(m->math_Parsent(&one, nullptr, &r)), 5);
}

TEST(MathBadInput, ByReferenceVariantsFromLateBoundCallersAreReadThrough) {
    auto m = createMath();
    ASSERT_TRUE(m);
    V inner = V::i4(3);
    VARIANT ref;
    ::VariantInit(&ref);
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &inner;
    V one = V::i2(1);
    Variant r;
    ASSERT_EQ(m->math_Parsent(&one, &ref, &r), S_OK);
    EXPECT_EQ(text(r), L"0.333333333333333%");
    EXPECT_EQ(inner.vt, VT_I4);
    EXPECT_EQ(inner.lVal, 3);
    SAFEARRAY* result = nullptr;
    ASSERT_EQ(m->division(ref, one, &result), S_OK);
    EXPECT_EQ(elements(result), (std::vector<double>{0, 3}));
}
