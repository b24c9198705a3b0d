#pragma once
// The wave reader: finds the format record and the samples of a RIFF/WAVE image, from a file or
// a resource, without copying the samples. Any fault in the image raises "Invalid file format"
// (321) with a description naming the fault and the source.
#include <windows.h>
#include <mmreg.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace kro::wave {

// Where the parts of a wave image lie.
struct Layout {
    // The format record as the sound device takes it: a WAVEFORMATEX with cbSize 0, or a
    // WAVEFORMATEXTENSIBLE (cbSize 22).
    std::vector<std::byte> format;
    std::uint64_t dataOffset = 0;  // first sample byte, from the start of the image
    std::uint32_t dataSize = 0;    // whole sample frames only, never 0

    const WAVEFORMATEX& header() const { return *reinterpret_cast<const WAVEFORMATEX*>(format.data()); }
};

// Copies `into.size()` bytes from `offset` of the image; returns how many were there.
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::byte> into)>;

// Walks the chunks of an image of `size` bytes. `source` names the file or resource in errors.
Layout parse(std::uint64_t size, const ReadAt& readAt, std::wstring_view source);
Layout parse(std::span<const std::byte> image, std::wstring_view source);

}  // namespace kro::wave
