#include "sound/wave.h"

#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "frame/errors.h"

namespace kro::wave {

namespace {

constexpr std::uint32_t fourcc(const char (&s)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24;
}

std::uint16_t u16(const std::byte* p) { return static_cast<std::uint16_t>(std::to_integer<unsigned>(p[0]) | std::to_integer<unsigned>(p[1]) << 8); }
std::uint32_t u32(const std::byte* p) { return u16(p) | static_cast<std::uint32_t>(u16(p + 2)) << 16; }

// The sub-format GUIDs of the extensible record: {0000000n-0000-0010-8000-00AA00389B71}.
constexpr std::uint16_t kTagPcm = WAVE_FORMAT_PCM;
constexpr std::uint16_t kTagFloat = WAVE_FORMAT_IEEE_FLOAT;
constexpr std::uint16_t kTagExtensible = WAVE_FORMAT_EXTENSIBLE;
constexpr unsigned char kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint16_t kMaxChannels = 8;

[[noreturn]] void fail(std::wstring_view source, const std::wstring& problem) {
    raise(err::InvalidFileFormat, L"Invalid file format: " + problem + L" (" + std::wstring(source) + L")");
}

std::wstring chunkName(std::uint32_t id) {
    std::wstring name;
    for (int i = 0; i < 4; ++i) {
        unsigned c = (id >> (8 * i)) & 0xFF;
        name += c >= 0x20 && c < 0x7F ? static_cast<wchar_t>(c) : L'?';
    }
    return L"'" + name + L"'";
}

std::wstring hex(unsigned value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%04X", value);
    return text;
}

// The record handed to the device, from the fields of the format chunk (`fmt`, `size` bytes).
std::vector<std::byte> deviceFormat(const std::byte* fmt, std::uint32_t size, std::wstring_view source) {
    if (size < 16) fail(source, L"the format chunk holds " + std::to_wstring(size) + L" bytes, fewer than 16");
    std::uint16_t tag = u16(fmt);
    std::uint16_t channels = u16(fmt + 2);
    std::uint32_t rate = u32(fmt + 4);
    std::uint16_t blockAlign = u16(fmt + 12);
    std::uint16_t bits = u16(fmt + 14);

    bool extensible = tag == kTagExtensible;
    std::uint16_t encoding = tag;
    std::uint16_t validBits = bits;
    if (extensible) {
        if (size < 40 || u16(fmt + 16) < 22) fail(source, L"the extensible format record is cut short");
        validBits = u16(fmt + 18);
        if (validBits == 0) validBits = bits;
        const std::byte* subFormat = fmt + 24;
        if (std::memcmp(subFormat + 4, kSubFormatTail, sizeof kSubFormatTail) != 0 || u16(subFormat + 2) != 0)
            fail(source, L"the extensible sub-format is neither PCM nor IEEE float");
        encoding = u16(subFormat);
    }
    if (encoding != kTagPcm && encoding != kTagFloat)
        fail(source, L"the sample encoding " + hex(encoding) + L" is not supported (PCM and IEEE float only)");
    if (channels == 0 || channels > kMaxChannels)
        fail(source, std::to_wstring(channels) + L" channels (1 to 8 are supported)");
    if (rate == 0) fail(source, L"a sample rate of 0");
    bool bitsSupported = encoding == kTagPcm ? (bits == 8 || bits == 16 || bits == 24 || bits == 32) : (bits == 32 || bits == 64);
    if (!bitsSupported)
        fail(source, std::to_wstring(bits) + (encoding == kTagPcm ? L"-bit PCM samples are not supported" : L"-bit float samples are not supported"));
    if (validBits > bits) fail(source, L"more valid bits than the sample container holds");
    std::uint32_t frame = static_cast<std::uint32_t>(channels) * (bits / 8);
    if (blockAlign != frame)
        fail(source, L"the block size " + std::to_wstring(blockAlign) + L" does not match " + std::to_wstring(channels) +
                         L" channels of " + std::to_wstring(bits) + L" bits");
    std::uint64_t bytesPerSecond = static_cast<std::uint64_t>(rate) * frame;
    if (bytesPerSecond > 0xFFFFFFFFu) fail(source, L"the sample rate " + std::to_wstring(rate) + L" is too high");

    WAVEFORMATEXTENSIBLE out{};
    out.Format.wFormatTag = tag;
    out.Format.nChannels = channels;
    out.Format.nSamplesPerSec = rate;
    out.Format.nAvgBytesPerSec = static_cast<DWORD>(bytesPerSecond);
    out.Format.nBlockAlign = blockAlign;
    out.Format.wBitsPerSample = bits;
    std::size_t length = sizeof(WAVEFORMATEX);
    if (extensible) {
        out.Format.cbSize = 22;
        out.Samples.wValidBitsPerSample = validBits;
        out.dwChannelMask = u32(fmt + 20);
        std::memcpy(&out.SubFormat, fmt + 24, sizeof out.SubFormat);
        length = sizeof(WAVEFORMATEXTENSIBLE);
    }
    std::vector<std::byte> record(length);
    std::memcpy(record.data(), &out, length);
    return record;
}

}  // namespace

Layout parse(std::uint64_t size, const ReadAt& readAt, std::wstring_view source) {
    std::byte header[12];
    if (size < sizeof header || readAt(0, header) != sizeof header) fail(source, L"too short for a wave file");
    if (u32(header) != fourcc("RIFF")) fail(source, L"not a RIFF file");
    if (u32(header + 8) != fourcc("WAVE")) fail(source, L"the RIFF form is not WAVE");
    std::uint64_t end = 8 + static_cast<std::uint64_t>(u32(header + 4));
    if (end > size)
        fail(source, L"truncated: the RIFF header claims " + std::to_wstring(end) + L" bytes, there are " + std::to_wstring(size));

    std::vector<std::byte> format;
    bool haveData = false;
    Layout layout;
    std::uint64_t dataSize = 0;
    // Chunks in any order; unknown ones are skipped, odd sizes carry one pad byte.
    for (std::uint64_t at = sizeof header; at < end;) {
        std::byte chunk[8];
        if (end - at < sizeof chunk || readAt(at, chunk) != sizeof chunk)
            fail(source, L"truncated: a chunk header is cut off at byte " + std::to_wstring(at));
        std::uint32_t id = u32(chunk), length = u32(chunk + 4);
        std::uint64_t body = at + sizeof chunk;
        if (body + length > end)
            fail(source, L"the " + chunkName(id) + L" chunk at byte " + std::to_wstring(at) + L" claims " + std::to_wstring(length) +
                             L" bytes, only " + std::to_wstring(end - body) + L" remain");
        if (id == fourcc("fmt ")) {
            if (!format.empty()) fail(source, L"more than one format chunk");
            std::byte fields[40]{};
            std::size_t want = std::min<std::size_t>(length, sizeof fields);
            if (readAt(body, std::span<std::byte>(fields, want)) != want) fail(source, L"the format chunk cannot be read");
            format = deviceFormat(fields, length, source);
        } else if (id == fourcc("data")) {
            if (haveData) fail(source, L"more than one data chunk");
            haveData = true;
            layout.dataOffset = body;
            dataSize = length;
        }
        at = body + length + (length & 1u);
    }
    if (format.empty()) fail(source, L"no format chunk");
    if (!haveData) fail(source, L"no data chunk");
    layout.format = std::move(format);
    std::uint32_t frame = layout.header().nBlockAlign;
    layout.dataSize = static_cast<std::uint32_t>(dataSize - dataSize % frame);
    if (layout.dataSize == 0) fail(source, L"the data chunk holds no complete sample frame");
    return layout;
}

Layout parse(std::span<const std::byte> image, std::wstring_view source) {
    return parse(image.size(), [image](std::uint64_t offset, std::span<std::byte> into) -> std::size_t {
        if (offset >= image.size()) return 0;
        std::size_t n = std::min<std::size_t>(into.size(), image.size() - static_cast<std::size_t>(offset));
        std::memcpy(into.data(), image.data() + offset, n);
        return n;
    }, source);
}

}  // namespace kro::wave
