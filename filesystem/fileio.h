#pragma once
// Whole-file text and binary I/O: text files in the ANSI code page with CR LF line ends, and
// byte runs written at 1-based positions (64-bit inside, so files beyond 4 GiB work).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "filesystem/file.h"

namespace kro::fileio {

// Reads the text file `path` (which must exist) and appends its lines to `result`, each
// followed by CR LF; a line ends at CR LF or at a lone CR, a lone LF belongs to the line. On
// an error `result` keeps the lines read so far and the error goes on. The caller removes the
// final CR LF (see readText).
void appendTextLines(const std::wstring& path, std::wstring& result);

// The whole text of `path` as ReadFile gives it: the lines joined by CR LF, the last line end
// left off.
std::wstring readText(const std::wstring& path);

// Removes one CR LF at the end of `text`, if there is one.
void dropFinalLineEnd(std::wstring& text);

// Writes `text` and CR LF to `path`: appended after its last byte, or into the emptied file.
void writeLine(const std::wstring& path, std::wstring_view text, bool append);

// The 0-based offset of the first byte a positioned write goes to: `position` (1-based)
// itself, or counted from the first byte after the end (`currentLength`) when appending.
// Raises "bad record number" (63) when that byte would lie before the start of the file.
std::uint64_t firstByteOffset(std::int64_t position, bool append, std::uint64_t currentLength);

// Writes `data` into `path` (created when missing, never emptied or shortened) at the 1-based
// `position`, or at `position` bytes after the current end when `append` is set. A gap
// between the old end and the written bytes reads as zeros.
void writeAt(const std::wstring& path, std::span<const std::byte> data, std::int64_t position, bool append);

// True for a file the existence test sees: a normal, read-only, hidden or archive file; a
// folder, a missing name or a file with the system attribute is not seen.
bool visibleFileExists(const std::wstring& path);

// Deletes `path` when visibleFileExists sees it; a failure to delete raises its error.
void deleteIfVisible(const std::wstring& path);

}  // namespace kro::fileio
