// Members that are still to be built report "not implemented" to every caller.
#include "system/MathClass.h"

HRESULT MathClass::math_function(VARIANT *x, VARIANT *y, VARIANT *x2, VARIANT *y2, SAFEARRAY **result) { return notImplemented(L"math_function"); }
HRESULT MathClass::math_function_Anser_x(VARIANT *a, VARIANT *b, VARIANT *y, VARIANT *result) { return notImplemented(L"math_function_Anser_x"); }
HRESULT MathClass::math_function_Anser_y(VARIANT *a, VARIANT *b, VARIANT *x, VARIANT *result) { return notImplemented(L"math_function_Anser_y"); }
HRESULT MathClass::math_function_Anser_a(VARIANT *x, VARIANT *y, VARIANT *b, VARIANT *result) { return notImplemented(L"math_function_Anser_a"); }
HRESULT MathClass::math_function_Anser_b(VARIANT *x, VARIANT *y, VARIANT *a, VARIANT *result) { return notImplemented(L"math_function_Anser_b"); }
HRESULT MathClass::math_Intersection(VARIANT *a, VARIANT *b, VARIANT *a2, VARIANT *b2, LONG *lngMode, LONG *lngMode2, VARIANT *result) { return notImplemented(L"math_Intersection"); }
HRESULT MathClass::math_Parsent(VARIANT *min, VARIANT *max, VARIANT *result) { return notImplemented(L"math_Parsent"); }
HRESULT MathClass::division(VARIANT Itis, VARIANT by, SAFEARRAY **result) { return notImplemented(L"division"); }
