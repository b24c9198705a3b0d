#pragma once
// Builds RIFF/WAVE images for the sound tests: a format chunk, a data chunk of silence (or a
// tone) and any extra chunks, in the order given.
#include <cstdint>
#include <string>
#include <vector>

namespace kro::test {

using WaveBytes = std::vector<unsigned char>;

inline void putU16(WaveBytes& b, std::uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); }
inline void putU32(WaveBytes& b, std::uint32_t v) { putU16(b, v & 0xFFFF); putU16(b, v >> 16); }

// One chunk: id, size, body and the pad byte of an odd size.
inline WaveBytes chunk(const char (&id)[5], const WaveBytes& body) {
    WaveBytes c(id, id + 4);
    putU32(c, static_cast<std::uint32_t>(body.size()));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() & 1) c.push_back(0);
    return c;
}

// The body of a format chunk; `tag` 0xFFFE writes the extensible record with `subFormat`.
inline WaveBytes formatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                            std::uint16_t subFormat = 1) {
    WaveBytes f;
    std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    putU16(f, tag);
    putU16(f, channels);
    putU32(f, rate);
    putU32(f, rate * align);
    putU16(f, align);
    putU16(f, bits);
    if (tag == 0xFFFE) {
        putU16(f, 22);
        putU16(f, bits);
        putU32(f, 0);
        const unsigned char tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        putU16(f, subFormat);
        f.insert(f.end(), tail, tail + 14);
    }
    return f;
}

// "RIFF" <size> "WAVE" and the chunks.
inline WaveBytes riff(const std::vector<WaveBytes>& chunks) {
    WaveBytes body = {'W', 'A', 'V', 'E'};
    for (const WaveBytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    WaveBytes image = {'R', 'I', 'F', 'F'};
    putU32(image, static_cast<std::uint32_t>(body.size()));
    image.insert(image.end(), body.begin(), body.end());
    return image;
}

// A 16-bit stereo PCM sound of `frames` frames at `rate`, every byte `fill`.
inline WaveBytes pcmWave(std::uint32_t frames, std::uint32_t rate = 44100, unsigned char fill = 0) {
    return riff({chunk("fmt ", formatBody(1, 2, rate, 16)), chunk("data", WaveBytes(frames * 4, fill))});
}

}  // namespace kro::test
