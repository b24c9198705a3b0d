// CnvMltVol, CnvSglVol and OpenMltFile: one implementation, exposed by ConvertCls and by
// FileSystemCls. Failures are shown and returned as 0 / False, never raised; only names that
// no file can have (empty, holding a NUL, too long) fail with 52 before anything is touched.
#include "filesystem/ConvertCls.h"
#include "filesystem/FileSystemCls.h"
#include "filesystem/multivolume.h"
#include "frame/path_check.h"

using namespace kro;

namespace {

short toVolumes(BSTR* infnm, BSTR* outfnm, LONG* outsize) {
    std::wstring source = checkedPath(infnm);
    return multivolume::toVolumes(source, checkedPath(outfnm), *outsize);
}

VARIANT_BOOL toSingle(BSTR* infnm, BSTR* outfnm) {
    std::wstring source = checkedPath(infnm);
    return multivolume::toSingle(source, checkedPath(outfnm)) ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG openVolume(BSTR* outfnm, LONG* no, VARIANT_BOOL* chk) {
    return multivolume::openVolume(checkedPath(outfnm), *no, *chk != VARIANT_FALSE);
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
