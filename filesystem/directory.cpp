#include "filesystem/directory.h"

#include "frame/errors.h"
#include "frame/raii.h"

namespace kro::dir {

namespace {

// Below this length every platform call takes the path as it is.
constexpr size_t kLongPath = 240;

bool isDotEntry(const std::wstring& name) { return name == L"." || name == L".."; }

// The root of the drive a pattern names ("C:\", "\\server\share\"), or empty for the current
// drive.
std::wstring driveRoot(std::wstring_view pattern) {
    if (pattern.size() >= 2 && pattern[1] == L':') return std::wstring(pattern.substr(0, 2)) + L"\\";
    if (pattern.size() > 2 && pattern[0] == L'\\' && pattern[1] == L'\\') {
        size_t server = pattern.find(L'\\', 2);
        if (server == std::wstring_view::npos) return {};
        size_t share = pattern.find(L'\\', server + 1);
        return std::wstring(pattern.substr(0, share == std::wstring_view::npos ? pattern.size() : share)) + L"\\";
    }
    return {};
}

std::vector<Entry> volumeLabel(std::wstring_view pattern) {
    std::wstring root = driveRoot(pattern);
    wchar_t label[MAX_PATH + 1] = {};
    std::vector<Entry> out;
    if (::GetVolumeInformationW(root.empty() ? nullptr : root.c_str(), label, MAX_PATH + 1, nullptr, nullptr,
                                nullptr, nullptr, 0) &&
        label[0])
        out.push_back({label, FILE_ATTRIBUTE_NORMAL});
    return out;
}

HANDLE startListing(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
    std::wstring p = platformPath(pattern);
    HANDLE h = ::FindFirstFileExW(p.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_INVALID_PARAMETER)
        h = ::FindFirstFileW(p.c_str(), &data);  // systems without the basic information level
    return h;
}

}  // namespace

bool passesFilter(DWORD a, long wanted) {
    if ((a & FILE_ATTRIBUTE_HIDDEN) && !(wanted & attr::Hidden)) return false;
    if ((a & FILE_ATTRIBUTE_SYSTEM) && !(wanted & attr::System)) return false;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(wanted & attr::Directory)) return false;
    return true;
}

std::wstring platformPath(const std::wstring& path) {
    if (path.size() < kLongPath || path.starts_with(L"\\\\?\\")) return path;
    DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 2 && full[1] == L':') return L"\\\\?\\" + full;
    return path;
}

std::wstring normaliseFolder(std::wstring_view folder) {
    std::wstring out(folder);
    if (out.empty() || out.back() != L'\\') out += L'\\';
    return out;
}

std::vector<Entry> listEntries(std::wstring_view filespec, long attributes) {
    if (attributes == attr::Volume) return volumeLabel(filespec);
    std::vector<Entry> out;
    out.reserve(50);
    WIN32_FIND_DATAW data;
    FindHandle listing(startListing(std::wstring(filespec), data));
    if (!listing.valid()) {
        DWORD e = ::GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_NO_MORE_FILES) return out;
        raiseWin32(e);
    }
    do {
        if (passesFilter(data.dwFileAttributes, attributes)) out.push_back({data.cFileName, data.dwFileAttributes});
    } while (::FindNextFileW(listing.get(), &data));
    DWORD e = ::GetLastError();
    if (e != ERROR_NO_MORE_FILES) raiseWin32(e);
    return out;
}

std::vector<std::wstring> listNames(std::wstring_view filespec, long attributes) {
    std::vector<std::wstring> names;
    auto entries = listEntries(filespec, attributes);
    names.reserve(entries.size());
    for (auto& e : entries) names.push_back(std::move(e.name));
    return names;
}

std::vector<std::wstring> listFolders(std::wstring_view folder, long attributes, bool includePath) {
    std::wstring f = normaliseFolder(folder);
    std::vector<std::wstring> out;
    // The volume bit does not turn this listing into a label query.
    for (auto& e : listEntries(f + L"*.*", (attributes & ~attr::Volume) | attr::Directory)) {
        if (isDotEntry(e.name) || !e.isFolder()) continue;
        out.push_back(includePath ? f + e.name : std::move(e.name));
    }
    return out;
}

bool equalNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::vector<std::wstring> splitPatterns(std::wstring_view extension, std::wstring_view delimiter) {
    std::vector<std::wstring> out;
    if (extension.empty()) return out;
    if (delimiter.empty() || delimiter.size() > extension.size()) {
        out.emplace_back(extension);
        return out;
    }
    size_t start = 0, i = 0;
    while (i + delimiter.size() <= extension.size()) {
        if (equalNoCase(extension.substr(i, delimiter.size()), delimiter)) {
            out.emplace_back(extension.substr(start, i - start));
            i += delimiter.size();
            start = i;
        } else {
            ++i;
        }
    }
    out.emplace_back(extension.substr(start));
    return out;
}

void walk(const std::wstring& root, const SubfolderLister& subfolders, const WalkActions& actions) {
    struct Level {
        std::wstring folder;
        std::vector<Subfolder> subfolders;
        size_t next = 0;
    };
    std::vector<Level> stack;
    auto arrive = [&](std::wstring folder) {
        if (actions.files) actions.files(folder);
        auto subs = subfolders(folder);
        stack.push_back({std::move(folder), std::move(subs), 0});
    };
    arrive(root);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.subfolders.size()) {
            std::wstring folder = std::move(top.folder);
            stack.pop_back();
            if (actions.leave) actions.leave(folder);
            continue;
        }
        const Subfolder& sub = top.subfolders[top.next++];
        if (sub.link) {
            if (actions.link) actions.link(top.folder, sub.name);
            continue;
        }
        std::wstring child = top.folder + sub.name + L'\\';
        if (actions.enter && !actions.enter(child)) continue;
        arrive(std::move(child));  // may reallocate the stack: `top` is not used after this
    }
}

std::vector<Subfolder> walkSubfolders(const std::wstring& folder) {
    std::vector<Subfolder> out;
    for (auto& e : listEntries(folder + L"*.*", attr::Hidden | attr::Directory)) {
        if (isDotEntry(e.name) || !e.isFolder()) continue;
        out.push_back({std::move(e.name), e.isLink()});
    }
    return out;
}

void requireFolder(const std::wstring& folder) {
    DWORD a = ::GetFileAttributesW(platformPath(folder).c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) raise(err::PathNotFound);
}

namespace {

// Runs `operation` on a file whose attributes were cleared first; on failure the attributes are
// put back before the error goes on.
template <class Operation>
void withClearedAttributes(const std::wstring& path, Operation operation) {
    std::wstring p = platformPath(path);
    DWORD old = ::GetFileAttributesW(p.c_str());
    if (old == INVALID_FILE_ATTRIBUTES || !::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL)) raiseWin32();
    if (!operation(p)) {
        DWORD e = ::GetLastError();
        ::SetFileAttributesW(p.c_str(), old);
        raiseWin32(e);
    }
}

}  // namespace

void deleteFile(const std::wstring& path) {
    withClearedAttributes(path, [](const std::wstring& p) { return ::DeleteFileW(p.c_str()) != FALSE; });
}

void moveFile(const std::wstring& source, const std::wstring& destination) {
    std::wstring to = platformPath(destination);
    withClearedAttributes(source, [&](const std::wstring& p) { return ::MoveFileW(p.c_str(), to.c_str()) != FALSE; });
}

void removeFolder(const std::wstring& folder) {
    if (!::RemoveDirectoryW(platformPath(folder).c_str())) raiseWin32();
}

std::wstring fullPath(const std::wstring& path) {
    DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return full;
}

}  // namespace kro::dir
