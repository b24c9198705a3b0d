// The wave reader on images built in memory, and the sound player on Wine's audio device.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

#include "frame/errors.h"
#include "sound/player.h"
#include "sound/wave.h"
#include "tests/support/test_files.h"
#include "tests/support/wave_image.h"

using namespace kro;
using namespace kro::test;

namespace {

struct Failure {
    long number = 0;  // 0: no error
    std::wstring description;
};

Failure failureOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const AutomationError& e) {
        return {e.number(), e.description()};
    }
    return {};
}

std::span<const std::byte> bytesOf(const WaveBytes& image) {
    return {reinterpret_cast<const std::byte*>(image.data()), image.size()};
}

const WaveBytes kFmt16 = chunk("fmt ", formatBody(1, 2, 44100, 16));
const WaveBytes kData8 = chunk("data", WaveBytes(8, 0));

WaveBytes withU32(WaveBytes image, size_t at, std::uint32_t value) {
    std::memcpy(image.data() + at, &value, 4);
    return image;
}

}  // namespace

TEST(WaveReader, FindsFormatAndSamplesInEveryLayout) {
    struct Case {
        WaveBytes image;
        std::uint16_t tag, bits;
        std::uint64_t dataOffset;
        std::uint32_t dataSize;
    };
    WaveBytes trailing = riff({chunk("fmt ", formatBody(3, 2, 44100, 32)), chunk("data", WaveBytes(12, 0))});
    trailing.insert(trailing.end(), {'x', 'y', 'z'});  // beyond the RIFF size: ignored
    const Case cases[] = {
        // odd data (padded) then an unknown chunk; data first after an odd unknown chunk
        {riff({chunk("fmt ", formatBody(1, 1, 8000, 8)), chunk("data", WaveBytes(101, 0x80)), chunk("LIST", WaveBytes(6, 0))}), 1, 8, 44, 101},
        {riff({chunk("junk", WaveBytes(3, 0xEE)), chunk("data", WaveBytes(12, 0)), chunk("fmt ", formatBody(1, 2, 48000, 24))}), 1, 24, 32, 12},
        {riff({chunk("fmt ", formatBody(0xFFFE, 6, 96000, 24, 1)), chunk("data", WaveBytes(36, 0))}), 0xFFFE, 24, 68, 36},
        {riff({chunk("fmt ", formatBody(0xFFFE, 8, 48000, 32, 3)), chunk("data", WaveBytes(64, 0))}), 0xFFFE, 32, 68, 64},
        {trailing, 3, 32, 44, 8},  // a partial last frame and bytes after the RIFF end are dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        wave::Layout layout = wave::parse(bytesOf(c.image), L"image");
        const WAVEFORMATEX& f = layout.header();
        EXPECT_EQ(f.wFormatTag, c.tag);
        EXPECT_EQ(f.wBitsPerSample, c.bits);
        EXPECT_EQ(f.nAvgBytesPerSec, f.nSamplesPerSec * f.nBlockAlign);
        EXPECT_EQ(layout.format.size(), c.tag == 0xFFFE ? sizeof(WAVEFORMATEXTENSIBLE) : sizeof(WAVEFORMATEX));
        EXPECT_EQ(layout.dataOffset, c.dataOffset);
        EXPECT_EQ(layout.dataSize, c.dataSize);
    }
}

TEST(WaveReader, MalformedImagesFailWithInvalidFileFormatNamingTheFault) {
    WaveBytes good = riff({kFmt16, kData8});
    WaveBytes cutShort(good.begin(), good.end() - 3);
    WaveBytes headerCut = riff({kFmt16, kData8, WaveBytes{'a', 'b', 'c', 'd'}});
    WaveBytes extensibleShort = formatBody(0xFFFE, 2, 44100, 16, 1);
    extensibleShort.resize(18);
    struct Case {
        const char* name;
        WaveBytes image;
        const wchar_t* fault;
    };
    const Case cases[] = {
        {"empty", {}, L"too short"},
        {"not RIFF", withU32(good, 0, 0x58464952), L"not a RIFF file"},
        {"not WAVE", withU32(good, 8, 0x20495641), L"not WAVE"},
        {"truncated file", cutShort, L"truncated"},
        {"data beyond the file", withU32(good, 40, 1000), L"'data' chunk at byte 36 claims 1000 bytes"},
        {"chunk header cut off", headerCut, L"cut off"},
        {"no format", riff({kData8}), L"no format chunk"},
        {"two formats", riff({kFmt16, kFmt16, kData8}), L"more than one format chunk"},
        {"format chunk too small", riff({chunk("fmt ", WaveBytes(14, 1)), kData8}), L"fewer than 16"},
        {"zero channels", riff({chunk("fmt ", formatBody(1, 0, 44100, 16)), kData8}), L"0 channels"},
        {"12-bit PCM", riff({chunk("fmt ", formatBody(1, 2, 44100, 12)), kData8}), L"12-bit PCM"},
        {"16-bit float", riff({chunk("fmt ", formatBody(3, 2, 44100, 16)), kData8}), L"16-bit float"},
        {"ADPCM", riff({chunk("fmt ", formatBody(2, 2, 44100, 16)), kData8}), L"encoding 0x0002"},
        {"extensible cut short", riff({chunk("fmt ", extensibleShort), kData8}), L"extensible format record is cut short"},
        {"block size", withU32(good, 32, 0x00100003), L"block size 3"},
        {"sample rate 0", withU32(good, 24, 0), L"sample rate of 0"},
        {"empty data", riff({kFmt16, chunk("data", {})}), L"no complete sample frame"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Failure f = failureOf([&] { wave::parse(bytesOf(c.image), L"case.wav"); });
        EXPECT_EQ(f.number, 321);
        EXPECT_EQ(f.description.rfind(L"Invalid file format: ", 0), 0u);
        EXPECT_NE(f.description.find(c.fault), std::wstring::npos);
        EXPECT_NE(f.description.find(L"(case.wav)"), std::wstring::npos);
    }
}

// The player on the device the test environment gives Wine.
class SoundPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(dir / L"short.wav", pcmWave(100));
        // One second at 44.1 kHz: long enough to watch the play cursor move.
        writeBytes(dir / L"second.wav", pcmWave(44100));
    }
    LONG load(const std::wstring& name, LONG number = -1) { return player.loadFile(dir / name, number); }
    long errorAt(const std::function<void()>& body) { return failureOf(body).number; }

    // Waits up to `ms` for `condition` on sound `n`.
    bool waitFor(LONG n, const std::function<bool(const sound::Player::State&)>& condition, DWORD ms = 5000) {
        for (DWORD waited = 0; waited < ms; waited += 10) {
            if (condition(player.state(n))) return true;
            ::Sleep(10);
        }
        return false;
    }

    TempDir dir;
    sound::Player player;
};

TEST_F(SoundPlayer, NumbersAndTheTable) {
    // Unready: no table, no device. A load writes its number back, then fails with 91.
    EXPECT_EQ(errorAt([&] { player.play(0, false); }), 9);
    LONG number = -1;
    EXPECT_EQ(errorAt([&] { player.loadFile(dir / L"short.wav", number); }), 91);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(player.upperBound(), -1);

    player.setting(0);
    EXPECT_EQ(player.lastNumber(), -1);
    EXPECT_EQ(load(L"short.wav"), 0);
    EXPECT_EQ(load(L"short.wav"), 1);
    EXPECT_EQ(player.upperBound(), 2);
    EXPECT_EQ(errorAt([&] { player.play(2, false); }), 91);
    EXPECT_EQ(errorAt([&] { player.play(3, false); }), 9);
    EXPECT_EQ(errorAt([&] { player.play(-1, false); }), 9);
    for (LONG n = 2; n <= 4; ++n) EXPECT_EQ(load(L"short.wav"), n);
    player.setVolume(2, -1234);
    player.setPan(2, 10000);

    // Loading number 1 cuts the table to 0..2: sound 2 stays, sounds 3 and 4 go.
    EXPECT_EQ(load(L"second.wav", 1), 1);
    EXPECT_EQ(player.upperBound(), 2);
    EXPECT_EQ(player.lastNumber(), 1);
    EXPECT_EQ(player.state(2).volume, -1234);
    EXPECT_EQ(errorAt([&] { player.state(3); }), 9);

    // A second Setting keeps the buffers and restarts the numbering at 0, which cuts to 0..1.
    player.setting(0);
    EXPECT_EQ(player.state(2).volume, -1234);
    EXPECT_EQ(player.state(2).pan, 10000);
    EXPECT_EQ(load(L"short.wav"), 0);
    EXPECT_EQ(player.upperBound(), 1);
    EXPECT_EQ(errorAt([&] { player.state(2); }), 9);

    // Huge numbers hold no memory; the number before the largest is the last that fits.
    EXPECT_EQ(load(L"short.wav", LONG_MAX - 1), LONG_MAX - 1);
    EXPECT_EQ(player.upperBound(), LONG_MAX);
    EXPECT_EQ(errorAt([&] { load(L"short.wav"); }), 6);
    EXPECT_EQ(errorAt([&] { load(L"short.wav", LONG_MAX); }), 6);
    EXPECT_EQ(errorAt([&] { load(L"short.wav", -2); }), 9);

    // Failed loads change nothing: no slot, no bound, no last number.
    WaveBytes cut = pcmWave(100);
    cut.resize(cut.size() - 10);
    writeBytes(dir / L"cut.wav", cut);
    Failure missing = failureOf([&] { load(L"missing.wav", 0); });
    EXPECT_EQ(missing.number, 53);
    EXPECT_NE(missing.description.find(L"missing.wav"), std::wstring::npos);
    EXPECT_EQ(errorAt([&] { load(L"cut.wav", 0); }), 321);
    EXPECT_EQ(errorAt([&] { load(L"short.wav" + std::wstring(1, L'\0') + L"x", 0); }), 52);
    EXPECT_EQ(player.upperBound(), LONG_MAX);
    EXPECT_EQ(player.lastNumber(), LONG_MAX - 1);
    EXPECT_EQ(player.state(0).volume, 0);
}

TEST_F(SoundPlayer, PlayOnceLoopStopAndTheCursor) {
    player.setting(0);
    LONG n = load(L"second.wav");
    EXPECT_FALSE(player.state(n).playing);

    // Played once: the cursor moves, and at the end the buffer stops at its start.
    player.play(n, false);
    EXPECT_TRUE(waitFor(n, [](auto& s) { return s.playing && s.playCursor > 0; }));
    EXPECT_FALSE(player.state(n).looping);
    EXPECT_TRUE(waitFor(n, [](auto& s) { return !s.playing; }));
    EXPECT_EQ(player.state(n).playCursor, 0u);

    // Looped: still playing after several lengths of the sound; OnlyPlaying leaves it looping.
    player.play(n, true);
    EXPECT_TRUE(waitFor(n, [](auto& s) { return s.playCursor > 0; }));
    ::Sleep(1500);
    EXPECT_TRUE(player.state(n).playing);
    player.playIfAtStart(n);
    EXPECT_TRUE(player.state(n).looping);

    // Stopping rewinds; OnlyPlaying then starts it once from the start.
    player.stop(n);
    EXPECT_FALSE(player.state(n).playing);
    EXPECT_EQ(player.state(n).playCursor, 0u);
    player.playIfAtStart(n);
    sound::Player::State s = player.state(n);
    EXPECT_TRUE(s.playing);
    EXPECT_FALSE(s.looping);
    player.stop(n);
}
