#include "filesystem/path.h"

#include <shlobj.h>

namespace kro::path {

std::wstring fileName(std::wstring_view path) {
    auto pos = path.rfind(L'\\');
    return std::wstring(pos == std::wstring_view::npos ? path : path.substr(pos + 1));
}

std::wstring fileExtension(std::wstring_view name) {
    auto pos = name.rfind(L'.');
    return std::wstring(pos == std::wstring_view::npos ? name : name.substr(pos + 1));
}

std::wstring folderOf(std::wstring_view path) {
    return std::wstring(path.substr(0, path.size() - fileName(path).size()));
}

std::wstring withTrailingBackslash(std::wstring_view folder) {
    std::wstring out(folder);
    if (out.empty() || out.back() != L'\\') out += L'\\';
    return out;
}

std::wstring specialFolder(int csidl, HWND owner) {
    wchar_t buf[MAX_PATH] = {};
    ::SHGetFolderPathW(owner, csidl, nullptr, 0, buf);
    return buf;
}

bool makeFolderChain(std::wstring_view path) {
    auto last = path.rfind(L'\\');
    if (last == std::wstring_view::npos) return true;  // a bare file name needs no folder
    std::wstring prefix;
    for (size_t i = 0; i <= last; ++i) {
        if (path[i] == L'\\' && i > 0 && path[i - 1] != L'\\' && path[i - 1] != L':') {
            prefix.assign(path.substr(0, i));
            ::CreateDirectoryW(prefix.c_str(), nullptr);  // existing folders and roots fail harmlessly
        }
    }
    std::wstring folder(path.substr(0, last + 1));
    DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

template <class Same>
std::wstring replaceEvery(std::wstring_view text, std::wstring_view token, std::wstring_view value, Same same) {
    if (token.empty()) return std::wstring(text);
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        bool match = i + token.size() <= text.size();
        for (size_t k = 0; match && k < token.size(); ++k) match = same(text[i + k], token[k]);
        if (match) {
            out += value;
            i += token.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace

std::wstring replaceAllNoCase(std::wstring_view text, std::wstring_view token, std::wstring_view value) {
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    return replaceEvery(text, token, value, [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); });
}

std::wstring replaceAll(std::wstring_view text, std::wstring_view token, std::wstring_view value) {
    return replaceEvery(text, token, value, [](wchar_t a, wchar_t b) { return a == b; });
}

std::wstring expandFolderMacros(std::wstring_view text, HWND owner) {
    std::wstring out(text);
    for (const auto& macro : kFolderMacros) out = replaceAllNoCase(out, macro.token, specialFolder(macro.csidl, owner));
    return out;
}

}  // namespace kro::path
