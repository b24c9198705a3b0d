// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/FileSystemCls.h"

HRESULT FileSystemCls::ReadFile(BSTR *FileName, VARIANT_BOOL *ErrorView, BSTR *result) { return notImplemented(L"ReadFile"); }
HRESULT FileSystemCls::WriteFile(BSTR *Text, BSTR *FileName, VARIANT_BOOL *AppendMode, VARIANT_BOOL *ErrorView) { return notImplemented(L"WriteFile"); }
HRESULT FileSystemCls::ReadBinaryFile(BSTR *FileName, SAFEARRAY **result) { return notImplemented(L"ReadBinaryFile"); }
HRESULT FileSystemCls::WriteBinaryFile_New(SAFEARRAY **Text, BSTR *FileName, LONG *Position) { return notImplemented(L"WriteBinaryFile_New"); }
HRESULT FileSystemCls::WriteBinaryFile(SAFEARRAY **Text, BSTR *FileName, LONG *Position, VARIANT_BOOL *AppendMode) { return notImplemented(L"WriteBinaryFile"); }
