#include "coding/text.h"

#include <new>

#include "frame/errors.h"

namespace kro::text {

namespace {

void checkLength(std::wstring_view text) {
    if (text.size() > kMaxTrimLength) raise(err::Overflow);
}

}  // namespace

std::wstring rtrim(std::wstring_view text, std::wstring_view piece) {
    checkLength(text);
    if (!piece.empty())
        while (text.ends_with(piece)) text.remove_suffix(piece.size());
    return std::wstring(text);
}

std::wstring ltrim(std::wstring_view text, std::wstring_view piece) {
    checkLength(text);
    if (!piece.empty())
        while (text.starts_with(piece)) text.remove_prefix(piece.size());
    return std::wstring(text);
}

std::wstring trim(std::wstring_view text, std::wstring_view piece) {
    return ltrim(rtrim(text, piece), piece);
}

std::wstring repeat(std::wstring_view piece, int count) {
    if (count <= 0) return {};
    // The copies are counted in a signed 16-bit number, which overflows after the last copy of
    // 32,767; the text built by then is lost.
    if (count >= 32767) raise(err::Overflow);
    // A text is at most 0x7FFFFFFF bytes long.
    if (!piece.empty() && piece.size() > 0x3FFFFFFFu / static_cast<std::size_t>(count)) raise(err::OutOfMemory);
    std::wstring out;
    out.reserve(piece.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) out.append(piece);
    return out;
}

}  // namespace kro::text
