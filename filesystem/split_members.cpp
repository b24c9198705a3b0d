// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/FileSystemCls.h"

HRESULT FileSystemCls::SplitFile(BSTR *Source, BSTR *Destination, LONG *SplitSize, VARIANT_BOOL *result) { return notImplemented(L"SplitFile"); }
HRESULT FileSystemCls::JoinFile(BSTR *Source, BSTR *Destination, VARIANT_BOOL *result) { return notImplemented(L"JoinFile"); }
