#pragma once
// Arithmetic on automation Variants as automation clients know it, done by oleaut32 itself
// (VarAdd, VarSub, VarMul, VarDiv, VarMod, VarIdiv, VarCmp, VariantChangeType), with its
// failures raised as the runtime's errors: 6 overflow, 11 division by zero, 13 type mismatch.
// By-reference Variants are read through.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "frame/raii.h"

namespace kro::vmath {

// Raises the runtime error for a failed Var* call.
[[noreturn]] void raiseArithmetic(HRESULT hr);

// A copy of `v` with any by-reference indirection removed.
void copyValue(VARIANT& out, const VARIANT& v);

// A 16-bit integer Variant.
void setInteger(VARIANT& out, short value);

void add(VARIANT& out, const VARIANT& l, const VARIANT& r);
void subtract(VARIANT& out, const VARIANT& l, const VARIANT& r);
void multiply(VARIANT& out, const VARIANT& l, const VARIANT& r);
// "/": floating-point division, single precision when both operands are Byte, Integer or
// Single (Boolean and Empty count as Integer), double precision otherwise.
void divide(VARIANT& out, const VARIANT& l, const VARIANT& r);
// "Mod" and "\": operands rounded to 32-bit integers (halves to even) first.
void modulo(VARIANT& out, const VARIANT& l, const VARIANT& r);
void integerDivide(VARIANT& out, const VARIANT& l, const VARIANT& r);

// `l = r` for two Variants: numbers numerically, texts as texts, Empty as 0. A Null on either
// side is not equal (the test is Null, which a condition treats as False).
bool equal(const VARIANT& l, const VARIANT& r);

// `v = 0` against the Integer constant 0: text is converted to a number first and fails with
// type mismatch when it is none; Null is not equal.
bool isZero(const VARIANT& v);

// The value as text, the way the runtime's String conversion writes it (general number form,
// 7 significant digits for Single, 15 for Double, the user's decimal separator).
std::wstring toText(const VARIANT& v);

}  // namespace kro::vmath
