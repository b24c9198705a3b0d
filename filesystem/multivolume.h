#pragma once
// The multi-volume set: a file cut into plain consecutive pieces <base>.001 ... <base>.999,
// without any header, and the per-thread table of volume files that OpenMltFile hands out.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "filesystem/file.h"

namespace kro::multivolume {

// The unit that decides where volumes end: a volume takes whole chunks of this size only.
inline constexpr std::size_t kChunk = 32000;
// The most volumes a set has.
inline constexpr long kMaxVolumes = 999;
// The most entries of the per-thread open-file table.
inline constexpr long kMaxHandles = 511;

// The three-digit volume number: the decimal text behind "000", last three characters kept.
std::wstring numberText(long number);

// The name up to, not including, its last "."; nothing for a name without ".".
std::optional<std::wstring> basePath(std::wstring_view name);

// Opens volume `number` of the set `base` for binary access and returns its handle in this
// thread's open-file table (0 on failure). With `mustExist` a missing volume gives 0 silently;
// without it a missing volume is created. Other failures show their warning box.
long openVolume(const std::wstring& base, long number, bool mustExist);

// The file behind a handle of this thread's table; null for an unknown handle.
file::File* volumeFile(long handle);

// Closes one handle of this thread's table (unknown handles are ignored).
void closeVolume(long handle);

// How many handles this thread's table holds.
std::size_t openCount();

// Copies `input` into the volumes of the set named by `output` (base = up to its last "."),
// each holding at most `maxVolumeBytes` in whole chunks. Returns the number of volumes written,
// or 0 on failure (after a warning box where the failure has one).
short toVolumes(const std::wstring& input, const std::wstring& output, long maxVolumeBytes);

// Copies the volumes of the set named by `input` (base = up to its last ".") into `output`.
// Returns false on failure.
bool toSingle(const std::wstring& input, const std::wstring& output);

}  // namespace kro::multivolume
