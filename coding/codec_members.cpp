// Members that are still to be built report "not implemented" to every caller.
#include "coding/StringHandCls.h"
#include "coding/CodeCls.h"

HRESULT StringHandCls::CodeToString(SAFEARRAY **Code, BSTR *Passward, BSTR *result) { return notImplemented(L"CodeToString"); }
HRESULT StringHandCls::StringToCode(BSTR *Text, BSTR *Passward, SAFEARRAY **result) { return notImplemented(L"StringToCode"); }
HRESULT StringHandCls::CodeToByte(SAFEARRAY **Code, BSTR *Passward, SAFEARRAY **result) { return notImplemented(L"CodeToByte"); }
HRESULT StringHandCls::ByteToCode(SAFEARRAY **byt, BSTR *Passward, SAFEARRAY **result) { return notImplemented(L"ByteToCode"); }
HRESULT StringHandCls::GetPassCode(BSTR *Passward, LONG *result) { return notImplemented(L"GetPassCode"); }
HRESULT StringHandCls::FileToCodeFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) { return notImplemented(L"FileToCodeFile"); }
HRESULT StringHandCls::CodeFileToFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) { return notImplemented(L"CodeFileToFile"); }
HRESULT CodeCls::CodeToString(SAFEARRAY **Code, BSTR *Passward, BSTR *result) { return notImplemented(L"CodeToString"); }
HRESULT CodeCls::StringToCode(BSTR *Text, BSTR *Passward, SAFEARRAY **result) { return notImplemented(L"StringToCode"); }
HRESULT CodeCls::CodeToByte(SAFEARRAY **Code, BSTR *Passward, SAFEARRAY **result) { return notImplemented(L"CodeToByte"); }
HRESULT CodeCls::ByteToCode(SAFEARRAY **byt, BSTR *Passward, SAFEARRAY **result) { return notImplemented(L"ByteToCode"); }
HRESULT CodeCls::GetPassCode(BSTR *Passward, LONG *result) { return notImplemented(L"GetPassCode"); }
HRESULT CodeCls::FileToCodeFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) { return notImplemented(L"FileToCodeFile"); }
HRESULT CodeCls::CodeFileToFile(BSTR *TargetFile, BSTR *DestFile, BSTR *Passward) { return notImplemented(L"CodeFileToFile"); }
