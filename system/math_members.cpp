// MathClass: the straight-line equation y = a*x + b, a ratio as text and an integer division,
// on Variants with the automation arithmetic rules.
#include "system/MathClass.h"

#include <array>

#include "frame/raii.h"
#include "frame/text.h"
#include "frame/toolkit.h"
#include "system/variant_math.h"

using namespace kro;

namespace {

const VARIANT& value(const VARIANT* v) {
    if (!v) raise(err::InvalidCall);
    return *v;
}

// A Variant array with bounds 0 to n-1 holding copies of the items.
template <std::size_t N>
SAFEARRAY* makeVariantArray(const std::array<const VARIANT*, N>& items) {
    SafeArray array(::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(N)));
    if (!array.get()) raise(err::OutOfMemory);
    for (LONG i = 0; i < static_cast<LONG>(N); ++i) {
        HRESULT hr = ::SafeArrayPutElement(array.get(), &i, const_cast<VARIANT*>(items[i]));
        if (FAILED(hr)) vmath::raiseArithmetic(hr);
    }
    return array.release();
}

// The intercept b of y = a*x + b through (x, y); a y of 0 gives x itself, as callers of the
// intercept have always been answered.
void intercept(Variant& answer, const VARIANT& x, const VARIANT& y, const VARIANT& a) {
    if (vmath::isZero(y)) {
        vmath::copyValue(answer, x);
    } else {
        Variant product;
        vmath::multiply(product, a, x);
        vmath::subtract(answer, y, product);
    }
}

// Hands a finished Variant to an [out, retval] parameter that holds nothing yet.
void deliver(VARIANT* result, Variant& v) { *result = v.release(); }

}  // namespace

HRESULT MathClass::math_function(VARIANT* x, VARIANT* y, VARIANT* x2, VARIANT* y2, SAFEARRAY** result) {
    return call([&] {
        Variant kind, second, third;
        if (vmath::equal(value(x), value(x2))) {
            // Vertical line x = c; two identical points land here too.
            vmath::setInteger(kind, 1);
            vmath::setInteger(second, 0);
            vmath::copyValue(third, *x);
        } else if (vmath::equal(value(y), value(y2))) {
            vmath::setInteger(kind, 2);
            vmath::setInteger(second, 0);
            vmath::copyValue(third, *y);
        } else {
            Variant dy, dx;
            vmath::subtract(dy, *y, *y2);
            vmath::subtract(dx, *x, *x2);
            vmath::setInteger(kind, 0);
            vmath::divide(second, dy, dx);
            intercept(third, value(x), value(y), second);
        }
        *result = makeVariantArray<3>({&kind, &second, &third});
    });
}

HRESULT MathClass::math_function_Anser_x(VARIANT* a, VARIANT* b, VARIANT* y, VARIANT* result) {
    return call([&] {
        Variant answer;
        if (vmath::isZero(value(a))) {
            vmath::copyValue(answer, value(b));
        } else {
            Variant rise;
            vmath::subtract(rise, value(y), value(b));
            vmath::divide(answer, rise, *a);
        }
        deliver(result, answer);
    });
}

HRESULT MathClass::math_function_Anser_y(VARIANT* a, VARIANT* b, VARIANT* x, VARIANT* result) {
    return call([&] {
        Variant product, answer;
        vmath::multiply(product, value(a), value(x));
        vmath::add(answer, product, value(b));
        deliver(result, answer);
    });
}

HRESULT MathClass::math_function_Anser_a(VARIANT* x, VARIANT* y, VARIANT* b, VARIANT* result) {
    return call([&] {
        Variant answer;
        if (vmath::isZero(value(x)) || vmath::isZero(value(y))) {
            vmath::setInteger(answer, 0);
        } else {
            Variant rise;
            vmath::subtract(rise, *y, value(b));
            vmath::divide(answer, rise, *x);
        }
        deliver(result, answer);
    });
}

HRESULT MathClass::math_function_Anser_b(VARIANT* x, VARIANT* y, VARIANT* a, VARIANT* result) {
    return call([&] {
        Variant answer;
        intercept(answer, value(x), value(y), value(a));
        deliver(result, answer);
    });
}

HRESULT MathClass::math_Intersection(VARIANT* a, VARIANT* b, VARIANT* a2, VARIANT* b2, LONG* lngMode, LONG* lngMode2,
                                     VARIANT* result) {
    return call([&] {
        // The intersection itself is not computed yet. What is evaluated before the notice still
        // fails on text that is no number.
        if (vmath::isZero(value(a)) && lngMode && *lngMode == 1) {
            Variant zero, product, sum;
            vmath::setInteger(zero, 0);
            vmath::multiply(product, *a, zero);
            vmath::add(sum, product, value(b));
        }
        toolkit::messageBox(L"この関数は完成していません。", MB_OK | MB_ICONINFORMATION,
                            L"さっさと作れよってな（ﾟ∀ﾟ　）");
        ::VariantInit(result);
    });
}

HRESULT MathClass::math_Parsent(VARIANT* min, VARIANT* max, VARIANT* result) {
    return call([&] {
        Variant ratio;
        vmath::divide(ratio, value(min), value(max));
        std::wstring text = ratio.vt == VT_NULL ? std::wstring() : vmath::toText(ratio);
        Variant answer;
        answer.vt = VT_BSTR;
        answer.bstrVal = allocBstr(text + L"%");
        deliver(result, answer);
    });
}

HRESULT MathClass::division(VARIANT Itis, VARIANT by, SAFEARRAY** result) {
    return call([&] {
        Variant remainder, quotient;
        vmath::modulo(remainder, Itis, by);
        vmath::integerDivide(quotient, Itis, by);
        *result = makeVariantArray<2>({&remainder, &quotient});
    });
}
