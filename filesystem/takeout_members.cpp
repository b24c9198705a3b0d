// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/VorelCls.h"
#include "filesystem/FileSystemCls.h"

HRESULT VorelCls::TakeOutJoinFileEx(BSTR *TargetExeFile, BSTR *TakeOutFile) { return notImplemented(L"TakeOutJoinFileEx"); }
HRESULT FileSystemCls::TakeOutJoinFileEx(BSTR *TargetExeFile, BSTR *TakeOutFile) { return notImplemented(L"TakeOutJoinFileEx"); }
