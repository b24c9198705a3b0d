#pragma once
// The split set: an index file <stem>.00000 (two text lines: the volume count and the source's
// file name) and the volumes <stem>.00001, <stem>.00002 ... holding consecutive slices of the
// source.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kro::split {

// The ending of the index file.
inline constexpr std::wstring_view kIndexMark = L".00000";

// The volume number in decimal with leading zeros to at least five digits (00001, 100000).
std::wstring volumeNumber(std::uint64_t number);

// stem + "." + the five-digit number.
std::wstring volumePath(std::wstring_view stem, std::uint64_t number);

// True when `indexPath` contains ".00000".
bool hasIndexMark(std::wstring_view indexPath);

// The path of volume `number` of the set whose index file is `indexPath`: its final ".00000"
// replaced by "." + the five-digit number (a ".00000" earlier in the path, in a folder name,
// stays as it is).
std::wstring volumePathFromIndex(std::wstring_view indexPath, std::uint64_t number);

// The text written to the index file (WriteFile adds the final CR LF).
std::wstring indexText(std::uint64_t count, std::wstring_view fileName);

struct Index {
    std::int64_t count = 0;
    std::wstring fileName;
};

// Reads the index text: lines split at CR LF; line 1 is the volume count, line 2 the file name.
// Fewer than two lines raise "subscript out of range" (9), a count that is not a whole number
// "type mismatch" (13), one beyond 64 bits "overflow" (6).
Index parseIndex(std::wstring_view text);

// True when the index describes a set that can be joined: at least one volume and a plain
// file name (not empty, no folder part, no drive, not "." or ".."), so that the rebuilt file
// lands inside the chosen folder.
bool isUsable(const Index& index);

}  // namespace kro::split
