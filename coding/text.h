#pragma once
// Small text helpers: trimming a whole piece of text from the ends of a string, and repeating
// a piece. Positions and counts are signed 16-bit numbers, so longer texts and the count 32,767
// fail with overflow (6).
#include <string>
#include <string_view>

namespace kro::text {

// The longest text the trimming functions accept.
inline constexpr std::size_t kMaxTrimLength = 32767;

// Removes every whole copy of `piece` repeated at the end (rtrim), the start (ltrim) or both
// ends (trim: the end first). Comparison is binary and case-sensitive; an empty piece leaves
// the text as it is.
std::wstring rtrim(std::wstring_view text, std::wstring_view piece);
std::wstring ltrim(std::wstring_view text, std::wstring_view piece);
std::wstring trim(std::wstring_view text, std::wstring_view piece);

// `piece` repeated `count` times; a count of 0 or less gives the empty text.
std::wstring repeat(std::wstring_view piece, int count);

}  // namespace kro::text
