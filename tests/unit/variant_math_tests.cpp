#include <gtest/gtest.h>

#include <string>

#include "frame/errors.h"
#include "frame/raii.h"
#include "system/variant_math.h"

using namespace kro;

namespace {

// Small owned Variants of explicit types.
struct V : Variant {
    static V i2(short n) { V v; v.vt = VT_I2; v.iVal = n; return v; }
    static V i4(LONG n) { V v; v.vt = VT_I4; v.lVal = n; return v; }
    static V r4(float n) { V v; v.vt = VT_R4; v.fltVal = n; return v; }
    static V r8(double n) { V v; v.vt = VT_R8; v.dblVal = n; return v; }
    static V ui1(BYTE n) { V v; v.vt = VT_UI1; v.bVal = n; return v; }
    static V text(const wchar_t* s) { V v; v.vt = VT_BSTR; v.bstrVal = ::SysAllocString(s); return v; }
    static V null() { V v; v.vt = VT_NULL; return v; }
    static V empty() { return V(); }
    V() = default;
    V(V&& o) noexcept { *static_cast<VARIANT*>(this) = o.release(); }
};

template <class F>
long errorOf(F&& f) {
    try {
        f();
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(VariantArithmetic, IntegerSumsWidenAsNeeded) {
    Variant r;
    vmath::add(r, V::i2(2), V::i2(3));
    EXPECT_EQ(r.vt, VT_I2);
    EXPECT_EQ(r.iVal, 5);
    vmath::add(r, V::i2(32767), V::i2(1));
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(r.lVal, 32768);
    vmath::multiply(r, V::i4(0x40000000), V::i2(4));
    EXPECT_EQ(r.vt, VT_R8);
    EXPECT_DOUBLE_EQ(r.dblVal, 4294967296.0);
    vmath::subtract(r, V::text(L"10"), V::i2(4));
    EXPECT_EQ(r.vt, VT_R8);
    EXPECT_DOUBLE_EQ(r.dblVal, 6.0);
}

TEST(VariantArithmetic, NullPropagatesAndEmptyIsZero) {
    Variant r;
    vmath::add(r, V::null(), V::i2(1));
    EXPECT_EQ(r.vt, VT_NULL);
    vmath::multiply(r, V::empty(), V::i4(9));
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(r.lVal, 0);
}

TEST(VariantArithmetic, DivisionIsSinglePrecisionForSmallOperands) {
    Variant r;
    vmath::divide(r, V::i2(1), V::i2(3));
    EXPECT_EQ(r.vt, VT_R4);
    vmath::divide(r, V::ui1(1), V::r4(3));
    EXPECT_EQ(r.vt, VT_R4);
    vmath::divide(r, V::i4(1), V::i2(3));
    EXPECT_EQ(r.vt, VT_R8);
    vmath::divide(r, V::i2(1), V::r8(3));
    EXPECT_EQ(r.vt, VT_R8);
    vmath::divide(r, V::text(L"1"), V::i2(4));
    EXPECT_EQ(r.vt, VT_R8);
    EXPECT_DOUBLE_EQ(r.dblVal, 0.25);
    vmath::divide(r, V::null(), V::i2(4));
    EXPECT_EQ(r.vt, VT_NULL);
    vmath::divide(r, V::empty(), V::i2(4));
    EXPECT_EQ(r.vt, VT_R4);
    EXPECT_EQ(r.fltVal, 0.0f);
}

TEST(VariantArithmetic, DivisionErrors) {
    Variant r;
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::i2(1), V::i2(0)); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::i2(0), V::i2(0)); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::r8(0), V::empty()); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::i2(1), V::empty()); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::empty(), V::empty()); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::r8(1e308), V::r8(1e-308)); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { vmath::multiply(r, V::r8(1e308), V::i2(10)); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { vmath::add(r, V::r8(1.7e308), V::r8(1.7e308)); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { vmath::divide(r, V::text(L"abc"), V::i2(2)); }), err::TypeMismatch);
}

TEST(VariantArithmetic, ModAndIntegerDivisionRoundHalvesToEven) {
    Variant r;
    vmath::modulo(r, V::i2(-7), V::i2(2));
    EXPECT_EQ(r.vt, VT_I2);
    EXPECT_EQ(r.iVal, -1);
    vmath::integerDivide(r, V::i2(-7), V::i2(2));
    EXPECT_EQ(r.iVal, -3);
    vmath::integerDivide(r, V::r8(7.5), V::i2(2));
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(r.lVal, 4);
    vmath::integerDivide(r, V::r8(6.5), V::i2(2));
    EXPECT_EQ(r.lVal, 3);
    vmath::modulo(r, V::i4(7), V::i2(2));
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(errorOf([&] { vmath::modulo(r, V::i2(7), V::r8(0.4)); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([&] { vmath::integerDivide(r, V::r8(1e10), V::i2(2)); }), err::Overflow);
}

TEST(VariantComparison, EqualityByValue) {
    EXPECT_TRUE(vmath::equal(V::i2(5), V::r8(5.0)));
    EXPECT_TRUE(vmath::equal(V::empty(), V::i2(0)));
    EXPECT_FALSE(vmath::equal(V::i2(1), V::i2(2)));
    EXPECT_FALSE(vmath::equal(V::null(), V::null()));
    EXPECT_FALSE(vmath::equal(V::text(L"1"), V::text(L"1.0")));
    EXPECT_TRUE(vmath::equal(V::text(L"abc"), V::text(L"abc")));
}

TEST(VariantComparison, ZeroTestConvertsText) {
    EXPECT_TRUE(vmath::isZero(V::i2(0)));
    EXPECT_TRUE(vmath::isZero(V::empty()));
    EXPECT_TRUE(vmath::isZero(V::text(L"0.0")));
    EXPECT_TRUE(vmath::isZero(V::r8(0.0)));
    EXPECT_FALSE(vmath::isZero(V::r8(0.5)));
    EXPECT_FALSE(vmath::isZero(V::null()));
    EXPECT_EQ(errorOf([&] { vmath::isZero(V::text(L"abc")); }), err::TypeMismatch);
}

TEST(VariantText, GeneralNumberForm) {
    Variant q;
    vmath::divide(q, V::i2(1), V::i2(3));
    EXPECT_EQ(vmath::toText(q), L"0.3333333");
    vmath::divide(q, V::i4(1), V::i4(3));
    EXPECT_EQ(vmath::toText(q), L"0.333333333333333");
    vmath::divide(q, V::i2(1), V::i2(4));
    EXPECT_EQ(vmath::toText(q), L"0.25");
    EXPECT_EQ(vmath::toText(V::i2(-12)), L"-12");
}

TEST(VariantValue, ByReferenceOperandsAreReadThrough) {
    V inner = V::i4(20);
    VARIANT ref;
    ::VariantInit(&ref);
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &inner;
    VARIANT refLong;
    ::VariantInit(&refLong);
    refLong.vt = VT_BYREF | VT_I4;
    refLong.plVal = &inner.lVal;
    Variant r;
    vmath::add(r, ref, refLong);
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(r.lVal, 40);
    Variant copy;
    vmath::copyValue(copy, ref);
    EXPECT_EQ(copy.vt, VT_I4);
    EXPECT_EQ(copy.lVal, 20);
}
