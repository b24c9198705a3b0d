// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/FileSystemCls.h"

HRESULT FileSystemCls::GetFileVersion(BSTR *FileName, BSTR *FileVersion, BSTR *ProductVersion, VARIANT *result) { return notImplemented(L"GetFileVersion"); }
