#pragma once
// The DirectSoundCls automation class: one adapter per member of _DirectSoundCls.
// Where its members are:
//   player_members.cpp: Setting, LoadingFile, LoadingRes, PlayingSound, OnlyPlayingSound,
//       StoppingSound, AllPlayingSound, AllStoppingSound, SettingVolume, SettingPan
#include "frame/com_object.h"
#include "sound/player.h"

class DirectSoundCls final : public kro::ComObject<DirectSoundCls, _DirectSoundCls> {
public:
    HRESULT STDMETHODCALLTYPE Setting(LONG *hWnd) override;
    HRESULT STDMETHODCALLTYPE LoadingFile(BSTR *FileName, LONG *Number, LONG *result) override;
    HRESULT STDMETHODCALLTYPE LoadingRes(BSTR *DllName, BSTR *ResName, LONG *Number, LONG *result) override;
    HRESULT STDMETHODCALLTYPE PlayingSound(LONG *Number, VARIANT_BOOL *Looping) override;
    HRESULT STDMETHODCALLTYPE OnlyPlayingSound(LONG *Number) override;
    HRESULT STDMETHODCALLTYPE StoppingSound(LONG *Number) override;
    HRESULT STDMETHODCALLTYPE AllPlayingSound(VARIANT_BOOL *Looping) override;
    HRESULT STDMETHODCALLTYPE AllStoppingSound() override;
    HRESULT STDMETHODCALLTYPE SettingVolume(LONG *Number, LONG *Volume) override;
    HRESULT STDMETHODCALLTYPE SettingPan(LONG *Number, LONG *Pan) override;

private:
    kro::sound::Player player_;
};
