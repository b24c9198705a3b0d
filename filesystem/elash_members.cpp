// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/VorelCls.h"
#include "filesystem/FileSystemCls.h"

HRESULT VorelCls::ElashFileEx(BSTR *TargetFile) { return notImplemented(L"ElashFileEx"); }
HRESULT FileSystemCls::ElashReadyFile(BSTR path, LONG *result) { return notImplemented(L"ElashReadyFile"); }
