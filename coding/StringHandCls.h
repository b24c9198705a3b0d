#pragma once
// The StringHandCls automation class: one adapter per member of _StringHandCls.
// Where its members are:
//   codec_members.cpp: GetPassCode, ByteToCode, CodeToByte, StringToCode, CodeToString,
//       FileToCodeFile, CodeFileToFile
//   text_members.cpp: XorCode, XorCodeFile, TrimEx, RTrimEx, LTrimEx, ReturnText
#include "frame/com_object.h"

class StringHandCls final : public kro::ComObject<StringHandCls, _StringHandCls> {
public:
    HRESULT STDMETHODCALLTYPE XorCode(SAFEARRAY **Code, LONG *XorB, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE XorCodeFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward, VARIANT_BOOL *New_file) override;
    HRESULT STDMETHODCALLTYPE CodeToString(SAFEARRAY **Code, BSTR *Passward, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE StringToCode(BSTR *Text, BSTR *Passward, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE CodeToByte(SAFEARRAY **Code, BSTR *Passward, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE ByteToCode(SAFEARRAY **byt, BSTR *Passward, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE GetPassCode(BSTR *Passward, LONG *result) override;
    HRESULT STDMETHODCALLTYPE FileToCodeFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) override;
    HRESULT STDMETHODCALLTYPE CodeFileToFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) override;
    HRESULT STDMETHODCALLTYPE TrimEx(BSTR strText, BSTR strLetter, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE RTrimEx(BSTR strText, BSTR strLetter, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE LTrimEx(BSTR strText, BSTR strLetter, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE ReturnText(BSTR strLetter, short intCount, BSTR *result) override;
};
