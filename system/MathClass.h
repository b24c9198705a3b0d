#pragma once
// The MathClass automation class: one adapter per member of _MathClass.
// Where its members are:
//   math_members.cpp: math_function, math_function_Anser_x, math_function_Anser_y,
//       math_function_Anser_a, math_function_Anser_b, math_Intersection, math_Parsent, division
#include "frame/com_object.h"

class MathClass final : public kro::ComObject<MathClass, _MathClass> {
public:
    HRESULT STDMETHODCALLTYPE math_function(VARIANT *x, VARIANT *y, VARIANT *x2, VARIANT *y2, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE math_function_Anser_x(VARIANT *a, VARIANT *b, VARIANT *y, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE math_function_Anser_y(VARIANT *a, VARIANT *b, VARIANT *x, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE math_function_Anser_a(VARIANT *x, VARIANT *y, VARIANT *b, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE math_function_Anser_b(VARIANT *x, VARIANT *y, VARIANT *a, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE math_Intersection(VARIANT *a, VARIANT *b, VARIANT *a2, VARIANT *b2, LONG *lngMode, LONG *lngMode2, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE math_Parsent(VARIANT *min, VARIANT *max, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE division(VARIANT Itis, VARIANT by, SAFEARRAY **result) override;
};
