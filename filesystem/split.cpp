#include "filesystem/split.h"

#include <limits>
#include <vector>

#include "frame/errors.h"

namespace kro::split {

std::wstring volumeNumber(std::uint64_t number) {
    std::wstring digits = std::to_wstring(number);
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), L'0');
    return digits;
}

std::wstring volumePath(std::wstring_view stem, std::uint64_t number) {
    std::wstring path(stem);
    path += L'.';
    path += volumeNumber(number);
    return path;
}

bool hasIndexMark(std::wstring_view indexPath) { return indexPath.find(kIndexMark) != std::wstring_view::npos; }

std::wstring volumePathFromIndex(std::wstring_view indexPath, std::uint64_t number) {
    std::wstring path(indexPath);
    std::size_t at = path.rfind(kIndexMark);
    if (at != std::wstring::npos) path.replace(at, kIndexMark.size(), L"." + volumeNumber(number));
    return path;
}

std::wstring indexText(std::uint64_t count, std::wstring_view fileName) {
    std::wstring text = std::to_wstring(count);
    text += L"\r\n";
    text += fileName;
    return text;
}

namespace {

std::vector<std::wstring_view> splitLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = text.find(L"\r\n", from);
        if (at == std::wstring_view::npos) {
            lines.push_back(text.substr(from));
            return lines;
        }
        lines.push_back(text.substr(from, at - from));
        from = at + 2;
    }
}

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::int64_t parseCount(std::wstring_view line) {
    std::size_t i = 0, end = line.size();
    while (i < end && isBlank(line[i])) ++i;
    while (end > i && isBlank(line[end - 1])) --end;
    bool negative = false;
    if (i < end && (line[i] == L'+' || line[i] == L'-')) negative = line[i++] == L'-';
    if (i == end) raise(err::TypeMismatch);
    std::uint64_t value = 0;
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (; i < end; ++i) {
        if (line[i] < L'0' || line[i] > L'9') raise(err::TypeMismatch);
        std::uint64_t digit = static_cast<std::uint64_t>(line[i] - L'0');
        if (value > (limit - digit) / 10) raise(err::Overflow);
        value = value * 10 + digit;
    }
    return negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
}

}  // namespace

Index parseIndex(std::wstring_view text) {
    std::vector<std::wstring_view> lines = splitLines(text);
    if (lines.size() < 2) raise(err::SubscriptOutOfRange);
    Index index;
    index.count = parseCount(lines[0]);
    index.fileName = std::wstring(lines[1]);
    return index;
}

bool isUsable(const Index& index) {
    const std::wstring& name = index.fileName;
    if (index.count < 1 || name.empty() || name == L"." || name == L"..") return false;
    return name.find_first_of(L"\\/:") == std::wstring::npos;
}

}  // namespace kro::split
