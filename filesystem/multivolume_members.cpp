// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/ConvertCls.h"
#include "filesystem/FileSystemCls.h"

HRESULT ConvertCls::CnvMltVol(BSTR *infnm, BSTR *outfnm, LONG *outsize, short *result) { return notImplemented(L"CnvMltVol"); }
HRESULT ConvertCls::CnvSglVol(BSTR *infnm, BSTR *outfnm, VARIANT_BOOL *result) { return notImplemented(L"CnvSglVol"); }
HRESULT ConvertCls::OpenMltFile(BSTR *outfnm, LONG *no, VARIANT_BOOL *chk, LONG *result) { return notImplemented(L"OpenMltFile"); }
HRESULT FileSystemCls::CnvMltVol(BSTR *infnm, BSTR *outfnm, LONG *outsize, short *result) { return notImplemented(L"CnvMltVol"); }
HRESULT FileSystemCls::CnvSglVol(BSTR *infnm, BSTR *outfnm, VARIANT_BOOL *result) { return notImplemented(L"CnvSglVol"); }
HRESULT FileSystemCls::OpenMltFile(BSTR *outfnm, LONG *no, VARIANT_BOOL *chk, LONG *result) { return notImplemented(L"OpenMltFile"); }
