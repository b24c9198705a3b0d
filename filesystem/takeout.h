#pragma once
// Files appended to an executable: everything after the image of a PE executable is the
// embedded file.
#include <cstdint>
#include <string>

#include "filesystem/file.h"

namespace kro::takeout {

// Where the image of the executable in `f` ends: the largest end of the raw data of its
// sections (at least the end of its headers). 0 when `f` is not a PE executable or its headers
// point outside the file. Moves the file position.
std::uint64_t imageEnd(file::File& f);

// Copies everything after the image of `exePath` into `outPath` (written from its first byte
// and cut to the copied length). A file that is not an executable is copied whole. Returns
// false, writing nothing, when nothing follows the image. A missing `exePath` raises 53; an
// `outPath` that names `exePath` itself, however spelled, raises 75 before anything is written.
bool extract(const std::wstring& exePath, const std::wstring& outPath);

}  // namespace kro::takeout
