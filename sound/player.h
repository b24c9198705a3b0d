#pragma once
// The sound buffer player: one output device and a table of numbered sound buffers, each holding
// a whole wave file or wave resource. Numbers are looked up in a table with bounds 0 to its upper
// bound; slots may be empty.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <map>
#include <optional>
#include <string>

#include "frame/raii.h"

namespace kro::sound {

inline constexpr LONG kVolumeMin = DSBVOLUME_MIN;  // hundredths of a decibel
inline constexpr LONG kVolumeMax = DSBVOLUME_MAX;
inline constexpr LONG kPanMin = DSBPAN_LEFT;
inline constexpr LONG kPanMax = DSBPAN_RIGHT;
inline bool volumeInRange(LONG volume) { return volume >= kVolumeMin && volume <= kVolumeMax; }
inline bool panInRange(LONG pan) { return pan >= kPanMin && pan <= kPanMax; }

class Player {
public:
    Player() = default;
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Opens the default output at the normal cooperative level for `window` (the desktop window
    // when 0) in place of the current device, and restarts the automatic numbering. The loaded
    // buffers stay. A failure leaves the player as it was.
    void setting(LONG window);

    // Loads a whole wave file or a "WAVE" resource of a module into slot `number` (-1: the number
    // after the last one loaded, written back into `number`) and returns the number. On success
    // the table ends at `number` + 1: slots above are released, new slots are empty. A failure
    // changes no slot and keeps the last number.
    LONG loadFile(const std::wstring& path, LONG& number);
    LONG loadResource(const std::wstring& module, const std::wstring& name, LONG& number);

    // Plays from the current position, once or looped; a playing buffer goes on where it is.
    void play(LONG number, bool looping);
    // Plays once, but only a buffer whose play cursor stands at its start.
    void playIfAtStart(LONG number);
    // Stops and rewinds to the start.
    void stop(LONG number);
    void setVolume(LONG number, LONG volume);
    void setPan(LONG number, LONG pan);

    LONG lastNumber() const { return lastNumber_; }
    LONG upperBound() const { return upperBound_; }  // -1 before the first load
    bool hasDevice() const { return static_cast<bool>(device_); }

    struct State {
        DWORD playCursor = 0;  // bytes from the buffer's start
        bool playing = false;
        bool looping = false;
        LONG volume = 0;
        LONG pan = 0;
    };
    State state(LONG number) const;

private:
    // Checks the number and prepares the load: returns the number to load into.
    LONG numberToLoad(LONG& number) const;
    void store(LONG number, ComPtr<IDirectSoundBuffer> buffer);
    // The buffer in slot `number`: 9 outside the table, 91 for an empty slot.
    IDirectSoundBuffer* slot(LONG number) const;

    ComPtr<IDirectSound8> device_;
    // Only the filled slots are held, so a huge number costs no memory.
    std::map<LONG, ComPtr<IDirectSoundBuffer>> buffers_;
    LONG upperBound_ = -1;
    LONG lastNumber_ = 0;
};

}  // namespace kro::sound
