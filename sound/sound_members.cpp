// Members that are still to be built report "not implemented" to every caller.
#include "sound/DirectSoundCls.h"

HRESULT DirectSoundCls::Setting(LONG *hWnd) { return notImplemented(L"Setting"); }
HRESULT DirectSoundCls::LoadingFile(BSTR *FileName, LONG *Number, LONG *result) { return notImplemented(L"LoadingFile"); }
HRESULT DirectSoundCls::LoadingRes(BSTR *DllName, BSTR *ResName, LONG *Number, LONG *result) { return notImplemented(L"LoadingRes"); }
HRESULT DirectSoundCls::PlayingSound(LONG *Number, VARIANT_BOOL *Looping) { return notImplemented(L"PlayingSound"); }
HRESULT DirectSoundCls::OnlyPlayingSound(LONG *Number) { return notImplemented(L"OnlyPlayingSound"); }
HRESULT DirectSoundCls::StoppingSound(LONG *Number) { return notImplemented(L"StoppingSound"); }
HRESULT DirectSoundCls::AllPlayingSound(VARIANT_BOOL *Looping) { return notImplemented(L"AllPlayingSound"); }
HRESULT DirectSoundCls::AllStoppingSound() { return notImplemented(L"AllStoppingSound"); }
HRESULT DirectSoundCls::SettingVolume(LONG *Number, LONG *Volume) { return notImplemented(L"SettingVolume"); }
HRESULT DirectSoundCls::SettingPan(LONG *Number, LONG *Pan) { return notImplemented(L"SettingPan"); }
