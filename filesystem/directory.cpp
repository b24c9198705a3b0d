#include "filesystem/directory.h"

#include "filesystem/file.h"
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

// The pattern part of a filespec: what follows its folder.
std::wstring_view patternOf(std::wstring_view filespec) {
    std::size_t slash = filespec.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) return filespec.substr(slash + 1);
    if (filespec.size() >= 2 && filespec[1] == L':') return filespec.substr(2);
    return filespec;
}

// The platform's wildcards with their DOS meanings, as its file systems match them.
enum class Token : wchar_t { Star = 1, DosStar, DosQuestion, DosDot, Char };

bool sameCharNoCase(wchar_t a, wchar_t b) {
    return a == b || ::CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL;
}

class PatternMatch {
public:
    PatternMatch(std::wstring_view pattern, std::wstring_view name) : name_(name) {
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            wchar_t c = pattern[i], next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
            Token t = Token::Char;
            if (c == L'?') t = Token::DosQuestion;
            else if (c == L'*') t = next == L'.' ? Token::DosStar : Token::Star;
            else if (c == L'.' && (next == L'?' || next == L'*' || next == L'\0')) t = Token::DosDot;
            tokens_.push_back({t, c});
        }
        lastDot_ = name.rfind(L'.');
        memo_.assign((tokens_.size() + 1) * (name.size() + 1), 0);
    }
    bool matches() { return at(0, 0); }

private:
    struct Item {
        Token token;
        wchar_t c;
    };
    bool at(std::size_t p, std::size_t n) {
        char& known = memo_[p * (name_.size() + 1) + n];
        if (known == 0) known = compute(p, n) ? 1 : 2;
        return known == 1;
    }
    bool compute(std::size_t p, std::size_t n) {
        const std::size_t end = name_.size();
        if (p == tokens_.size()) return n == end;
        const Item& item = tokens_[p];
        switch (item.token) {
        case Token::Star:
            return at(p + 1, n) || (n < end && at(p, n + 1));
        case Token::DosStar:  // never swallows the name's last "."
            return at(p + 1, n) || (n < end && n != lastDot_ && at(p, n + 1));
        case Token::DosQuestion:
            if (n == end || name_[n] == L'.') return at(p + 1, n);
            return at(p + 1, n + 1);
        case Token::DosDot:
            if (n == end) return at(p + 1, n);
            return name_[n] == L'.' && at(p + 1, n + 1);
        case Token::Char:
            return n < end && sameCharNoCase(item.c, name_[n]) && at(p + 1, n + 1);
        }
        return false;
    }
    std::wstring_view name_;
    std::vector<Item> tokens_;
    std::size_t lastDot_ = std::wstring_view::npos;
    std::vector<char> memo_;
};

}  // namespace

bool foundNameMatches(std::wstring_view pattern, std::wstring_view name) {
    if (pattern.find_first_of(L"*?") == std::wstring_view::npos) return true;
    if (name == L"." || name == L"..") return true;
    return PatternMatch(pattern, name).matches();
}

bool passesFilter(DWORD a, long wanted) {
    if ((a & FILE_ATTRIBUTE_HIDDEN) && !(wanted & attr::Hidden)) return false;
    if ((a & FILE_ATTRIBUTE_SYSTEM) && !(wanted & attr::System)) return false;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(wanted & attr::Directory)) return false;
    return true;
}

std::wstring platformPath(const std::wstring& path) {
    if (path.size() < kLongPath || path.starts_with(L"\\\\?\\")) return path;
    std::wstring full = file::fullPath(path);
    if (full.empty()) return path;
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
    const std::wstring_view pattern = patternOf(filespec);
    do {
        if (passesFilter(data.dwFileAttributes, attributes) && foundNameMatches(pattern, data.cFileName))
            out.push_back({data.cFileName, data.dwFileAttributes});
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
    std::wstring full = file::fullPath(path);
    return full.empty() ? path : full;
}

}  // namespace kro::dir
