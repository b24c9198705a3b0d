#pragma once
// Directory listings and the depth-first folder walk shared by the listing, collecting, moving
// and deleting members.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kro::dir {

// File attribute bits as callers pass them.
namespace attr {
constexpr long ReadOnly = 1;
constexpr long Hidden = 2;
constexpr long System = 4;
constexpr long Volume = 8;
constexpr long Directory = 16;
constexpr long Archive = 32;
}  // namespace attr

// One entry of a folder listing: its name and its own attributes (for a link, those of the
// link, not of its target).
struct Entry {
    std::wstring name;
    DWORD attributes = 0;
    bool isFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction, a symbolic link or another reparse point: never followed by a walk.
    bool isLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Whether an entry with `entryAttributes` passes the attribute set `wanted`: it is kept unless
// it is hidden, system or a folder while that bit is missing from `wanted`.
bool passesFilter(DWORD entryAttributes, long wanted);

// The path handed to the platform: long absolute paths get the "\\?\" form so that trees deeper
// than the classic path limit can still be walked. Short paths are returned unchanged.
std::wstring platformPath(const std::wstring& path);

// `folder` with a trailing backslash (appended unless the last character already is one).
std::wstring normaliseFolder(std::wstring_view folder);

// Whether a name the platform found for `pattern` (a pattern without folder) matches it by its
// long name. The platform also matches every entry's 8.3 short name, so on Windows "*.doc" finds
// "report.docx" through "REPORT~1.DOC"; wildcards are matched here as the platform matches them
// (a "*" before a "." stops at the name's last "."; "?" matches no character at a "." or at the
// end; a "." before a wildcard or at the end also matches the end of a name without extension).
// A pattern without wildcards names one file, by its long or its short name: always kept.
bool foundNameMatches(std::wstring_view pattern, std::wstring_view name);

// Entries matching `filespec` (a pattern, usually with a folder in front) that pass the
// attribute set, in the order the platform returns them; a name found only through its short
// name is left out (foundNameMatches). A pattern that matches nothing, or a
// folder that does not exist, gives no entries; other platform failures raise their error.
// The set 8 alone gives the volume label of the pattern's drive instead.
std::vector<Entry> listEntries(std::wstring_view filespec, long attributes);

// Bare names of listEntries.
std::vector<std::wstring> listNames(std::wstring_view filespec, long attributes);

// The subfolders of `folder` ("." and ".." left out) that pass `attributes` plus the folder bit,
// as bare names or as folder + name (no trailing backslash).
std::vector<std::wstring> listFolders(std::wstring_view folder, long attributes, bool includePath);

// `extension` cut at every occurrence of `delimiter`, compared case-insensitively. An empty
// extension gives no pattern; an empty delimiter gives the whole extension as one pattern.
std::vector<std::wstring> splitPatterns(std::wstring_view extension, std::wstring_view delimiter);

// Case-insensitive comparison of two whole texts (ordinal, with Unicode case folding).
bool equalNoCase(std::wstring_view a, std::wstring_view b);

// --- the walk -----------------------------------------------------------------------------------

struct Subfolder {
    std::wstring name;
    bool link = false;
};

// What a walk does at each folder F (always with its trailing backslash).
struct WalkActions {
    // F's own files, before any subfolder is visited.
    std::function<void(const std::wstring& folder)> files;
    // A subfolder entry that is a link (F + name, no trailing backslash): it is not entered.
    std::function<void(const std::wstring& folder, const std::wstring& name)> link;
    // After the complete walk of every subfolder of F.
    std::function<void(const std::wstring& folder)> leave;
    // Whether to enter a subfolder (F + name + "\"); all are entered when empty.
    std::function<bool(const std::wstring& subfolder)> enter;
};

using SubfolderLister = std::function<std::vector<Subfolder>(const std::wstring& folder)>;

// Depth-first walk from `root` (with trailing backslash): for each folder, its files action,
// then the complete walk of each subfolder in listing order, then its leave action. The
// subfolders of a folder are listed after its files action. The walk keeps its own stack on the
// heap, so the depth of the tree does not use up the thread's stack.
void walk(const std::wstring& root, const SubfolderLister& subfolders, const WalkActions& actions);

// The subfolders a walk visits: normal and hidden folders (not system ones), links marked.
std::vector<Subfolder> walkSubfolders(const std::wstring& folder);

// Raises "path not found" (76) unless `folder` names an existing folder.
void requireFolder(const std::wstring& folder);

// Clears a file's attributes and deletes it; on failure its attributes are put back and the
// platform's error is raised.
void deleteFile(const std::wstring& path);

// Clears a file's attributes and moves it (also across drives); an existing destination is not
// replaced. On failure the source keeps its attributes and the platform's error is raised
// (58 file already exists, 53 file not found, 76 path not found, 70 permission denied).
void moveFile(const std::wstring& source, const std::wstring& destination);

// Removes an empty folder or raises the platform's error.
void removeFolder(const std::wstring& folder);

// The absolute form of a path (for comparing folders), or the path itself when the platform
// cannot resolve it.
std::wstring fullPath(const std::wstring& path);

}  // namespace kro::dir
