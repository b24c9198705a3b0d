#include "settings/ini.h"

#include "frame/per_thread.h"

#include <cwchar>

namespace kro::ini {

namespace {

// The buffer size the platform receives for one value; larger values are read again into a
// larger buffer.
constexpr DWORD kReadBuffer = 32767;
constexpr DWORD kLargestRead = 1u << 26;

// Reused between calls on this thread, so that an ordinary read allocates nothing.
struct ReadBuffer {
    std::wstring text;
};
std::wstring& bufferOfThread() { return perThread<ReadBuffer>().text; }

}  // namespace

bool readValue(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
               std::wstring& value) {
    if (!file) file = L"";
    if (!defaultValue) defaultValue = L"";
    std::wstring& buffer = bufferOfThread();
    DWORD size = kReadBuffer;
    for (;;) {
        if (buffer.size() < size) buffer.resize(size);
        DWORD n = ::GetPrivateProfileStringW(section, key, defaultValue, buffer.data(), size, file);
        // A value that fills the buffer may go on beyond it (name lists are cut to their first
        // name anyway, so only a single value is read again).
        if (n + 1 >= size && section && key && size < kLargestRead) {
            size *= 4;
            continue;
        }
        value.assign(buffer.data(), ::wcsnlen(buffer.data(), n));
        if (buffer.size() > kReadBuffer) std::wstring(kReadBuffer, L'\0').swap(buffer);
        return n != 0;
    }
}

LONG writeValue(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    return ::WritePrivateProfileStringW(section ? section : L"", key ? key : L"", value, file ? file : L"");
}

LONG deleteSection(const wchar_t* file, const wchar_t* section) {
    return ::WritePrivateProfileStringW(section ? section : L"", nullptr, nullptr, file ? file : L"");
}

std::wstring sectionBlock(const std::vector<std::wstring>& lines) {
    std::wstring block;
    for (const auto& line : lines) {
        if (line.empty()) continue;
        block += line;
        block += L'\0';
    }
    block += L'\0';
    if (block.size() == 1) block += L'\0';
    return block;
}

LONG writeSection(const wchar_t* file, const wchar_t* section, const std::vector<std::wstring>& lines) {
    std::wstring block = sectionBlock(lines);
    return ::WritePrivateProfileSectionW(section ? section : L"", block.c_str(), file ? file : L"");
}

}  // namespace kro::ini
