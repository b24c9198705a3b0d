// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/FileSystemCls.h"

HRESULT FileSystemCls::GetDirectryTree(BSTR path, IDispatch **colFiles, VARIANT_BOOL *GetDir) { return notImplemented(L"GetDirectryTree"); }
HRESULT FileSystemCls::DeleteDirOnly(BSTR path) { return notImplemented(L"DeleteDirOnly"); }
HRESULT FileSystemCls::MoveDirFiles(BSTR path, BSTR *SetupDestPath, BSTR *Extension, BSTR *Delimiter, IDispatch **col) { return notImplemented(L"MoveDirFiles"); }
HRESULT FileSystemCls::KillDirFiles(BSTR path, BSTR *Extension, BSTR *Delimiter, IDispatch **col) { return notImplemented(L"KillDirFiles"); }
HRESULT FileSystemCls::GetDirFiles(BSTR path, IDispatch **col, BSTR *Extension, BSTR *Delimiter) { return notImplemented(L"GetDirFiles"); }
HRESULT FileSystemCls::GetFiles(BSTR *filespec, LONG *Attributes, SAFEARRAY **result) { return notImplemented(L"GetFiles"); }
HRESULT FileSystemCls::GetDirectries(BSTR *path, LONG *Attributes, VARIANT_BOOL *IncludePath, SAFEARRAY **result) { return notImplemented(L"GetDirectries"); }
