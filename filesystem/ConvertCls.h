#pragma once
// The ConvertCls automation class: one adapter per member of _ConvertCls.
// Where its members are:
//   multivolume_members.cpp: CnvMltVol, CnvSglVol, OpenMltFile
#include "frame/com_object.h"

class ConvertCls final : public kro::ComObject<ConvertCls, _ConvertCls> {
public:
    HRESULT STDMETHODCALLTYPE CnvMltVol(BSTR *infnm, BSTR *outfnm, LONG *outsize, short *result) override;
    HRESULT STDMETHODCALLTYPE CnvSglVol(BSTR *infnm, BSTR *outfnm, VARIANT_BOOL *result) override;
    HRESULT STDMETHODCALLTYPE OpenMltFile(BSTR *outfnm, LONG *no, VARIANT_BOOL *chk, LONG *result) override;
};
