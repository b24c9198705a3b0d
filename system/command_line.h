#pragma once
// Turns a program's command-line text into one text of items joined by a delimiter. Words
// before the first double quote are split at single spaces; the rest is split at double
// quotes, so quoted arguments keep their inner spaces.
#include <string>
#include <string_view>

namespace kro::cmdline {

// Positions and piece counts of the parser are signed 16-bit: a first double quote beyond
// character 32,767 or more than 32,767 quoted pieces fail with overflow (error 6).
constexpr std::size_t kMaxPosition = 32767;

std::wstring parse(std::wstring_view command, std::wstring_view delimiter = L";");

}  // namespace kro::cmdline
