#include "sound/player.h"

#include <climits>
#include <cstring>
#include <span>

#include "filesystem/file.h"
#include "frame/errors.h"
#include "sound/wave.h"

namespace kro::sound {

namespace {

// Static buffer (the whole sound is held), pan and volume control.
constexpr DWORD kBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

const wchar_t* resultName(HRESULT hr) {
    switch (hr) {
    case DSERR_ALLOCATED: return L"DSERR_ALLOCATED";
    case DSERR_BADFORMAT: return L"DSERR_BADFORMAT";
    case DSERR_BUFFERLOST: return L"DSERR_BUFFERLOST";
    case DSERR_CONTROLUNAVAIL: return L"DSERR_CONTROLUNAVAIL";
    case DSERR_INVALIDCALL: return L"DSERR_INVALIDCALL";
    case DSERR_NODRIVER: return L"DSERR_NODRIVER";
    case DSERR_PRIOLEVELNEEDED: return L"DSERR_PRIOLEVELNEEDED";
    case DSERR_UNSUPPORTED: return L"DSERR_UNSUPPORTED";
    case E_INVALIDARG: return L"E_INVALIDARG";
    case E_OUTOFMEMORY: return L"E_OUTOFMEMORY";
    case E_FAIL: return L"E_FAIL";
    default: return L"error";
    }
}

// A failed DirectSound call reaches the caller with its own result as the error number, and the
// result named in the description.
void checkSound(HRESULT hr, const std::wstring& what) {
    if (SUCCEEDED(hr)) return;
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    throw AutomationError(hr, what + L" (DirectSound " + resultName(hr) + L" " + code + L")");
}

// A buffer of the sound's size and format, filled by `fill` (given the buffer's bytes).
template <class Fill>
ComPtr<IDirectSoundBuffer> createBuffer(IDirectSound8* device, const wave::Layout& layout, std::wstring_view source, Fill&& fill) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = layout.dataSize;
    desc.lpwfxFormat = const_cast<WAVEFORMATEX*>(&layout.header());
    ComPtr<IDirectSoundBuffer> buffer;
    checkSound(device->CreateSoundBuffer(&desc, buffer.put(), nullptr),
               L"The sound device cannot take the sound " + std::wstring(source));
    // The whole memory of the buffer, locked for writing while it is filled.
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstSize = 0, secondSize = 0;
    checkSound(buffer->Lock(0, 0, &first, &firstSize, &second, &secondSize, DSBLOCK_ENTIREBUFFER),
               L"The sound buffer for " + std::wstring(source) + L" could not be locked");
    ScopeExit unlock([&] { buffer->Unlock(first, firstSize, second, secondSize); });
    if (firstSize != layout.dataSize) raise(err::InternalError);
    fill(std::span<std::byte>(static_cast<std::byte*>(first), firstSize));
    return buffer;
}

void rejectNul(const std::wstring& text, long number, const wchar_t* what) {
    if (text.find(L'\0') != std::wstring::npos)
        raise(number, standardDescription(number) + L": the " + what + L" holds a NUL character");
}

// Re-raises a file error with the file's name in its description.
[[noreturn]] void raiseNamed(const AutomationError& e, const std::wstring& name) {
    throw AutomationError(e.hr(), e.description() + L": " + name, e.source());
}

}  // namespace

void Player::setting(LONG window) {
    HWND hwnd = window ? reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)) : ::GetDesktopWindow();
    ComPtr<IDirectSound8> device;
    checkSound(::DirectSoundCreate8(nullptr, device.put(), nullptr), L"No sound device could be opened");
    checkSound(device->SetCooperativeLevel(hwnd, DSSCL_NORMAL),
               L"The sound device refused the window handle " + std::to_wstring(window));
    device_ = std::move(device);
    lastNumber_ = -1;
}

LONG Player::numberToLoad(LONG& number) const {
    if (number < -1) raise(err::SubscriptOutOfRange);
    if (number == -1 && lastNumber_ == LONG_MAX) raise(err::Overflow);
    LONG n = number == -1 ? lastNumber_ + 1 : number;
    if (n == LONG_MAX) raise(err::Overflow);  // the table ends at n + 1
    number = n;
    if (!device_) raise(err::ObjectNotSet, standardDescription(err::ObjectNotSet) + L": call Setting before loading a sound");
    return n;
}

void Player::store(LONG number, ComPtr<IDirectSoundBuffer> buffer) {
    upperBound_ = number + 1;
    buffers_.erase(buffers_.upper_bound(upperBound_), buffers_.end());
    buffers_[number] = std::move(buffer);
    lastNumber_ = number;
}

LONG Player::loadFile(const std::wstring& path, LONG& number) {
    LONG n = numberToLoad(number);
    rejectNul(path, err::BadFileNameOrNumber, L"file name");
    std::optional<file::File> opened;
    try {
        opened.emplace(path, file::Mode::Read);
    } catch (const AutomationError& e) {
        raiseNamed(e, path);
    }
    file::File& f = *opened;
    wave::Layout layout = wave::parse(f.size(), [&f](std::uint64_t offset, std::span<std::byte> into) {
        f.seek(offset);
        return f.read(into);
    }, path);
    // The samples go from the file straight into the buffer: no copy in between.
    store(n, createBuffer(device_.get(), layout, path, [&](std::span<std::byte> samples) {
        f.seek(layout.dataOffset);
        f.readExact(samples);
    }));
    return n;
}

LONG Player::loadResource(const std::wstring& module, const std::wstring& name, LONG& number) {
    LONG n = numberToLoad(number);
    rejectNul(module, err::BadFileNameOrNumber, L"module name");
    rejectNul(name, err::InvalidCall, L"resource name");
    // The module is mapped as data only: none of its code runs. An empty name means the
    // client's own program.
    Library loaded(module.empty() ? nullptr
                                  : ::LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module.empty() && !loaded.get()) {
        DWORD e = ::GetLastError();
        if (e == ERROR_BAD_EXE_FORMAT || e == ERROR_INVALID_EXE_SIGNATURE)
            raise(err::InvalidFileFormat, L"Invalid file format: not a Windows module (" + module + L")");
        long code = e == ERROR_MOD_NOT_FOUND ? err::FileNotFound : runtimeErrorFromWin32(e);
        raise(code, standardDescription(code) + L": " + module);
    }
    HMODULE handle = module.empty() ? ::GetModuleHandleW(nullptr) : loaded.get();
    std::wstring source = (module.empty() ? std::wstring(L"the program") : module) + L", WAVE resource " + name;
    HRSRC found = ::FindResourceW(handle, name.c_str(), L"WAVE");
    HGLOBAL data = found ? ::LoadResource(handle, found) : nullptr;
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes) raise(err::ResourceNotFound, L"Resource not found: " + source);
    std::span<const std::byte> image(static_cast<const std::byte*>(bytes), ::SizeofResource(handle, found));
    wave::Layout layout = wave::parse(image, source);
    store(n, createBuffer(device_.get(), layout, source, [&](std::span<std::byte> samples) {
        std::memcpy(samples.data(), image.data() + layout.dataOffset, samples.size());
    }));
    return n;
}

IDirectSoundBuffer* Player::slot(LONG number) const {
    if (number < 0 || number > upperBound_) raise(err::SubscriptOutOfRange);
    auto it = buffers_.find(number);
    if (it == buffers_.end()) raise(err::ObjectNotSet, standardDescription(err::ObjectNotSet) + L": no sound is loaded under number " + std::to_wstring(number));
    return it->second.get();
}

void Player::play(LONG number, bool looping) {
    checkSound(slot(number)->Play(0, 0, looping ? DSBPLAY_LOOPING : 0), L"Sound " + std::to_wstring(number) + L" could not be played");
}

void Player::playIfAtStart(LONG number) {
    IDirectSoundBuffer* buffer = slot(number);
    DWORD playCursor = 0, writeCursor = 0;
    checkSound(buffer->GetCurrentPosition(&playCursor, &writeCursor), L"The position of sound " + std::to_wstring(number) + L" could not be read");
    if (playCursor == 0) checkSound(buffer->Play(0, 0, 0), L"Sound " + std::to_wstring(number) + L" could not be played");
}

void Player::stop(LONG number) {
    IDirectSoundBuffer* buffer = slot(number);
    checkSound(buffer->Stop(), L"Sound " + std::to_wstring(number) + L" could not be stopped");
    checkSound(buffer->SetCurrentPosition(0), L"Sound " + std::to_wstring(number) + L" could not be rewound");
}

void Player::setVolume(LONG number, LONG volume) {
    checkSound(slot(number)->SetVolume(volume), L"The volume of sound " + std::to_wstring(number) + L" could not be set");
}

void Player::setPan(LONG number, LONG pan) {
    checkSound(slot(number)->SetPan(pan), L"The pan of sound " + std::to_wstring(number) + L" could not be set");
}

Player::State Player::state(LONG number) const {
    IDirectSoundBuffer* buffer = slot(number);
    State s;
    DWORD writeCursor = 0, status = 0;
    checkSound(buffer->GetCurrentPosition(&s.playCursor, &writeCursor), L"GetCurrentPosition");
    checkSound(buffer->GetStatus(&status), L"GetStatus");
    checkSound(buffer->GetVolume(&s.volume), L"GetVolume");
    checkSound(buffer->GetPan(&s.pan), L"GetPan");
    s.playing = (status & DSBSTATUS_PLAYING) != 0;
    s.looping = (status & DSBSTATUS_LOOPING) != 0;
    return s;
}

}  // namespace kro::sound
