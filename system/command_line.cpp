#include "system/command_line.h"

#include <vector>

#include "frame/errors.h"

namespace kro::cmdline {

namespace {

std::wstring_view trimSpaces(std::wstring_view s) {
    std::size_t first = s.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    std::size_t last = s.find_last_not_of(L' ');
    return s.substr(first, last - first + 1);
}

// Every separator ends an item: "a  b" gives a, "", b; an empty text gives no items.
std::vector<std::wstring_view> splitAt(std::wstring_view s, wchar_t separator) {
    std::vector<std::wstring_view> items;
    if (s.empty()) return items;
    std::size_t start = 0;
    for (;;) {
        std::size_t next = s.find(separator, start);
        if (next == std::wstring_view::npos) {
            items.push_back(s.substr(start));
            return items;
        }
        items.push_back(s.substr(start, next - start));
        start = next + 1;
    }
}

void appendJoined(std::wstring& out, const std::vector<std::wstring_view>& items, std::wstring_view delimiter) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += delimiter;
        out += items[i];
    }
}

}  // namespace

std::wstring parse(std::wstring_view command, std::wstring_view delimiter) {
    std::vector<std::wstring_view> words;
    std::vector<std::wstring_view> quoted;

    std::size_t quote = command.find(L'"');
    if (quote == std::wstring_view::npos) {
        words = splitAt(command, L' ');
    } else {
        if (quote + 1 > kMaxPosition) raise(err::Overflow);
        std::wstring_view beforeQuote = command.substr(0, quote);
        std::wstring_view head = trimSpaces(beforeQuote);
        words = splitAt(head, L' ');
        // The tail follows the head. A command whose head is preceded by spaces would otherwise
        // have its tail counted from the wrong place (inside the head's own text), so there the
        // tail starts at the first double quote.
        std::wstring_view tail = (!head.empty() && command.front() == L' ') ? command.substr(quote)
                                                                              : command.substr(head.size());
        std::vector<std::wstring_view> pieces = splitAt(tail, L'"');
        if (pieces.size() > kMaxPosition) raise(err::Overflow);
        for (std::wstring_view piece : pieces) {
            if (piece.empty() || piece == L" ") continue;
            quoted.push_back(trimSpaces(piece));
        }
    }

    std::wstring text;
    appendJoined(text, words, delimiter);
    text += delimiter;
    appendJoined(text, quoted, delimiter);

    // Drop the delimiter that the join adds at either end when one of the lists is empty (or
    // an item itself starts or ends with it). A whole copy is dropped, whatever its length.
    if (!delimiter.empty() && text.size() >= delimiter.size() && std::wstring_view(text).substr(0, delimiter.size()) == delimiter)
        text.erase(0, delimiter.size());
    if (!delimiter.empty() && text.size() >= delimiter.size() &&
        std::wstring_view(text).substr(text.size() - delimiter.size()) == delimiter)
        text.erase(text.size() - delimiter.size());
    return text;
}

}  // namespace kro::cmdline
