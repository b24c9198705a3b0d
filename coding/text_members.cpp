// Members that are still to be built report "not implemented" to every caller.
#include "coding/StringHandCls.h"

HRESULT StringHandCls::XorCode(SAFEARRAY **Code, LONG *XorB, SAFEARRAY **result) { return notImplemented(L"XorCode"); }
HRESULT StringHandCls::XorCodeFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward, VARIANT_BOOL *New_file) { return notImplemented(L"XorCodeFile"); }
HRESULT StringHandCls::TrimEx(BSTR strText, BSTR strLetter, VARIANT *result) { return notImplemented(L"TrimEx"); }
HRESULT StringHandCls::RTrimEx(BSTR strText, BSTR strLetter, BSTR *result) { return notImplemented(L"RTrimEx"); }
HRESULT StringHandCls::LTrimEx(BSTR strText, BSTR strLetter, BSTR *result) { return notImplemented(L"LTrimEx"); }
HRESULT StringHandCls::ReturnText(BSTR strLetter, short intCount, BSTR *result) { return notImplemented(L"ReturnText"); }
