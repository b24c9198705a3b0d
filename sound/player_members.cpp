// DirectSoundCls: numbered sound buffers loaded from wave files and resources, played, looped,
// stopped, panned and attenuated one by one or all together.
#include "sound/DirectSoundCls.h"

#include "frame/path_check.h"
#include "frame/text.h"
#include "frame/toolkit.h"

using namespace kro;

namespace {

LONG required(const LONG* value) {
    if (!value) raise(err::InvalidCall);
    return *value;
}

std::wstring requiredText(const BSTR* value) {
    if (!value) raise(err::InvalidCall);
    return str(*value);
}

bool looping(const VARIANT_BOOL* value) { return value && *value != VARIANT_FALSE; }

// An omitted number means "the next number"; the number used goes back into the caller's variable.
LONG& numberArgument(LONG* Number, LONG& automatic) { return Number ? *Number : automatic; }

}  // namespace

HRESULT DirectSoundCls::Setting(LONG* hWnd) {
    return call([&] { player_.setting(required(hWnd)); });
}

HRESULT DirectSoundCls::LoadingFile(BSTR* FileName, LONG* Number, LONG* result) {
    return call([&] {
        std::wstring path = requiredText(FileName);
        checkPath(path);
        if (!result) raise(err::InvalidCall);
        LONG automatic = -1;
        *result = player_.loadFile(path, numberArgument(Number, automatic));
    });
}

HRESULT DirectSoundCls::LoadingRes(BSTR* DllName, BSTR* ResName, LONG* Number, LONG* result) {
    return call([&] {
        std::wstring module = requiredText(DllName), name = requiredText(ResName);
        checkPath(module, EmptyName::Allowed);  // empty: the client's own program
        if (!result) raise(err::InvalidCall);
        LONG automatic = -1;
        *result = player_.loadResource(module, name, numberArgument(Number, automatic));
    });
}

HRESULT DirectSoundCls::PlayingSound(LONG* Number, VARIANT_BOOL* Looping) {
    return call([&] { player_.play(required(Number), looping(Looping)); });
}

HRESULT DirectSoundCls::OnlyPlayingSound(LONG* Number) {
    return call([&] { player_.playIfAtStart(required(Number)); });
}

HRESULT DirectSoundCls::StoppingSound(LONG* Number) {
    return call([&] { player_.stop(required(Number)); });
}

// The "all" members play or stop one number after the other from 0 to the last number loaded;
// the first failure ends the call.
HRESULT DirectSoundCls::AllPlayingSound(VARIANT_BOOL* Looping) {
    return call([&] {
        const bool loop = looping(Looping);
        for (LONG n = 0, last = player_.lastNumber(); n <= last; ++n) player_.play(n, loop);
    });
}

HRESULT DirectSoundCls::AllStoppingSound() {
    return call([&] {
        for (LONG n = 0, last = player_.lastNumber(); n <= last; ++n) player_.stop(n);
    });
}

// Out-of-range values only show a message, before the number is even looked at.
HRESULT DirectSoundCls::SettingVolume(LONG* Number, LONG* Volume) {
    return call([&] {
        LONG volume = required(Volume);
        if (!sound::volumeInRange(volume)) {
            toolkit::messageBox(L"Volumeは-10000~0の間で設定してください。", MB_OK);
            return;
        }
        player_.setVolume(required(Number), volume);
    });
}

HRESULT DirectSoundCls::SettingPan(LONG* Number, LONG* Pan) {
    return call([&] {
        LONG pan = required(Pan);
        if (!sound::panInRange(pan)) {
            toolkit::messageBox(L"Panは-10000~10000の間で設定してください。", MB_OK);
            return;
        }
        player_.setPan(required(Number), pan);
    });
}
