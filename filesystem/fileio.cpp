#include "filesystem/fileio.h"

#include <algorithm>
#include <vector>

#include "filesystem/file.h"
#include "frame/errors.h"
#include "frame/text.h"

namespace kro::fileio {

namespace {

constexpr std::size_t kTextBlock = 64 * 1024;

void appendLine(std::wstring& result, const std::string& line) {
    result += fromAnsi(line);
    result += L"\r\n";
}

}  // namespace

void appendTextLines(const std::wstring& path, std::wstring& result) {
    file::File f(path, file::Mode::Read);
    std::vector<std::byte> block(kTextBlock);
    std::string line;
    bool afterCr = false;  // the previous byte ended a line with CR; an LF right after belongs to it
    for (;;) {
        std::size_t got = f.read(block);
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i) {
            char c = static_cast<char>(block[i]);
            if (afterCr) {
                afterCr = false;
                if (c == '\n') continue;
            }
            if (c == '\r') {
                appendLine(result, line);
                line.clear();
                afterCr = true;
            } else {
                line.push_back(c);
            }
        }
    }
    if (!line.empty()) appendLine(result, line);
}

void dropFinalLineEnd(std::wstring& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0) text.resize(text.size() - 2);
}

std::wstring readText(const std::wstring& path) {
    std::wstring result;
    appendTextLines(path, result);
    dropFinalLineEnd(result);
    return result;
}

void writeLine(const std::wstring& path, std::wstring_view text, bool append) {
    std::string bytes = toAnsi(text);
    bytes += "\r\n";
    file::File f(path, append ? file::Mode::ReadWrite : file::Mode::Truncate);
    if (append) f.seek(f.size());
    f.write(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())));
}

std::uint64_t firstByteOffset(std::int64_t position, bool append, std::uint64_t currentLength) {
    // Lengths stay far below 2^62 on any real volume, so the signed sum cannot overflow.
    std::int64_t first = append ? static_cast<std::int64_t>(currentLength) + position : position;
    if (first < 1) raise(err::BadRecordNumber);
    return static_cast<std::uint64_t>(first - 1);
}

void writeAt(const std::wstring& path, std::span<const std::byte> data, std::int64_t position, bool append) {
    file::File f(path, file::Mode::ReadWrite);
    f.seek(firstByteOffset(position, append, append ? f.size() : 0));
    f.write(data);
}

bool visibleFileExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    return !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

void deleteIfVisible(const std::wstring& path) {
    if (!visibleFileExists(path)) return;
    if (!::DeleteFileW(path.c_str())) raiseWin32();
}

}  // namespace kro::fileio
