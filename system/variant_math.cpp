#include "system/variant_math.h"

#include <cmath>

#include "frame/errors.h"
#include "frame/text.h"

namespace kro::vmath {

void raiseArithmetic(HRESULT hr) {
    switch (hr) {
    case DISP_E_OVERFLOW: raise(err::Overflow);
    case DISP_E_DIVBYZERO: raise(err::DivisionByZero);
    case E_OUTOFMEMORY: raise(err::OutOfMemory);
    case E_INVALIDARG: raise(err::InvalidCall);
    default: raise(err::TypeMismatch);  // DISP_E_TYPEMISMATCH, DISP_E_BADVARTYPE, objects ...
    }
}

namespace {

void checkVar(HRESULT hr) {
    if (FAILED(hr)) raiseArithmetic(hr);
}

// The value behind any VT_BYREF indirection (a Variant holding a reference to a Variant
// included), without copying.
const VARIANT& target(const VARIANT& v) {
    const VARIANT* p = &v;
    while (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal) p = p->pvarVal;
    return *p;
}

// Operands as oleaut32 wants them: by value.
struct Operand {
    Variant value;
    explicit Operand(const VARIANT& v) { copyValue(value, v); }
};

using VarOp = HRESULT(STDAPICALLTYPE*)(LPVARIANT, LPVARIANT, LPVARIANT);

// A floating-point result beyond the type's range is an overflow, as the runtime reports it;
// some oleaut32 builds hand back an infinity instead.
void checkFinite(const VARIANT& v) {
    if ((v.vt == VT_R8 && !std::isfinite(v.dblVal)) || (v.vt == VT_R4 && !std::isfinite(v.fltVal)))
        raise(err::Overflow);
}

void binary(VarOp op, VARIANT& out, const VARIANT& l, const VARIANT& r) {
    Operand a(l), b(r);
    Variant result;
    checkVar(op(&a.value, &b.value, &result));
    checkFinite(result);
    ::VariantClear(&out);
    out = result.release();
}

bool singlePrecisionOperand(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
    case VT_UI1:
    case VT_I2:
    case VT_BOOL:
    case VT_R4: return true;
    default: return false;
    }
}

}  // namespace

void copyValue(VARIANT& out, const VARIANT& v) {
    ::VariantClear(&out);
    checkVar(::VariantCopyInd(&out, const_cast<VARIANT*>(&target(v))));
}

void setInteger(VARIANT& out, short value) {
    ::VariantClear(&out);
    out.vt = VT_I2;
    out.iVal = value;
}

void add(VARIANT& out, const VARIANT& l, const VARIANT& r) { binary(::VarAdd, out, l, r); }
void subtract(VARIANT& out, const VARIANT& l, const VARIANT& r) { binary(::VarSub, out, l, r); }
void multiply(VARIANT& out, const VARIANT& l, const VARIANT& r) { binary(::VarMul, out, l, r); }
void modulo(VARIANT& out, const VARIANT& l, const VARIANT& r) { binary(::VarMod, out, l, r); }
void integerDivide(VARIANT& out, const VARIANT& l, const VARIANT& r) { binary(::VarIdiv, out, l, r); }

void divide(VARIANT& out, const VARIANT& l, const VARIANT& r) {
    Operand a(l), b(r);
    // An Empty operand is the Integer 0 (so an Empty divisor is a division by zero, or an
    // overflow for 0 / Empty); some oleaut32 builds refuse an Empty divisor as a bad type.
    if (a.value.vt == VT_EMPTY) setInteger(a.value, 0);
    if (b.value.vt == VT_EMPTY) setInteger(b.value, 0);
    Variant result;
    checkVar(::VarDiv(&a.value, &b.value, &result));
    // oleaut32 divides small integers in double precision; the runtime's "/" keeps such a
    // quotient single precision.
    if (result.vt == VT_R8 && singlePrecisionOperand(a.value.vt) && singlePrecisionOperand(b.value.vt))
        checkVar(::VariantChangeType(&result, &result, 0, VT_R4));
    checkFinite(result);
    ::VariantClear(&out);
    out = result.release();
}

bool equal(const VARIANT& l, const VARIANT& r) {
    Operand a(l), b(r);
    HRESULT hr = ::VarCmp(&a.value, &b.value, LOCALE_USER_DEFAULT, 0);
    if (FAILED(hr)) raiseArithmetic(hr);
    return hr == static_cast<HRESULT>(VARCMP_EQ);
}

bool isZero(const VARIANT& v) {
    Operand a(v);
    if (a.value.vt == VT_NULL) return false;
    if (a.value.vt == VT_BSTR) {
        // Text meets a numeric constant: it is compared as the number it spells.
        checkVar(::VariantChangeTypeEx(&a.value, &a.value, LOCALE_USER_DEFAULT, 0, VT_R8));
    }
    Variant zero;
    setInteger(zero, 0);
    HRESULT hr = ::VarCmp(&a.value, &zero, LOCALE_USER_DEFAULT, 0);
    if (FAILED(hr)) raiseArithmetic(hr);
    return hr == static_cast<HRESULT>(VARCMP_EQ);
}

std::wstring toText(const VARIANT& v) {
    Operand a(v);
    if (a.value.vt == VT_BSTR) return str(a.value.bstrVal);
    Variant text;
    checkVar(::VariantChangeTypeEx(&text, &a.value, LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR));
    return str(text.bstrVal);
}

}  // namespace kro::vmath
