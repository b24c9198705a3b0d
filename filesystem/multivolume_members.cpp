// CnvMltVol, CnvSglVol and OpenMltFile: one implementation, exposed by ConvertCls and by
// FileSystemCls. Failures are shown and returned as 0 / False, never raised.
#include "filesystem/ConvertCls.h"
#include "filesystem/FileSystemCls.h"
#include "filesystem/multivolume.h"
#include "frame/text.h"

using namespace kro;

namespace {

short toVolumes(BSTR* infnm, BSTR* outfnm, LONG* outsize) {
    return multivolume::toVolumes(str(*infnm), str(*outfnm), *outsize);
}

VARIANT_BOOL toSingle(BSTR* infnm, BSTR* outfnm) {
    return multivolume::toSingle(str(*infnm), str(*outfnm)) ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG openVolume(BSTR* outfnm, LONG* no, VARIANT_BOOL* chk) {
    return multivolume::openVolume(str(*outfnm), *no, *chk != VARIANT_FALSE);
}

}  // namespace

HRESULT ConvertCls::CnvMltVol(BSTR* infnm, BSTR* outfnm, LONG* outsize, short* result) {
    return call([&] { *result = toVolumes(infnm, outfnm, outsize); });
}
HRESULT ConvertCls::CnvSglVol(BSTR* infnm, BSTR* outfnm, VARIANT_BOOL* result) {
    return call([&] { *result = toSingle(infnm, outfnm); });
}
HRESULT ConvertCls::OpenMltFile(BSTR* outfnm, LONG* no, VARIANT_BOOL* chk, LONG* result) {
    return call([&] { *result = openVolume(outfnm, no, chk); });
}

HRESULT FileSystemCls::CnvMltVol(BSTR* infnm, BSTR* outfnm, LONG* outsize, short* result) {
    return call([&] { *result = toVolumes(infnm, outfnm, outsize); });
}
HRESULT FileSystemCls::CnvSglVol(BSTR* infnm, BSTR* outfnm, VARIANT_BOOL* result) {
    return call([&] { *result = toSingle(infnm, outfnm); });
}
HRESULT FileSystemCls::OpenMltFile(BSTR* outfnm, LONG* no, VARIANT_BOOL* chk, LONG* result) {
    return call([&] { *result = openVolume(outfnm, no, chk); });
}
