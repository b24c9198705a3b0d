#pragma once
// The CodeCls automation class: one adapter per member of _CodeCls.
// Where its members are:
//   codec_members.cpp: GetPassCode, ByteToCode, CodeToByte, StringToCode, CodeToString,
//       FileToCodeFile, CodeFileToFile
#include "frame/com_object.h"

class CodeCls final : public kro::ComObject<CodeCls, _CodeCls> {
public:
    HRESULT STDMETHODCALLTYPE CodeToString(SAFEARRAY **Code, BSTR *Passward, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE StringToCode(BSTR *Text, BSTR *Passward, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE CodeToByte(SAFEARRAY **Code, BSTR *Passward, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE ByteToCode(SAFEARRAY **byt, BSTR *Passward, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE GetPassCode(BSTR *Passward, LONG *result) override;
    HRESULT STDMETHODCALLTYPE FileToCodeFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) override;
    HRESULT STDMETHODCALLTYPE CodeFileToFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) override;
};
