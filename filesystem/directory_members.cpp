// FileSystemCls: folder listings and the tree walkers that collect, move and delete files.
//
// The walkers run one depth-first walk (dir::walk) with their own stack on the heap instead of
// calling themselves through the object's interface once per folder: the order of every
// collection and every move or deletion is the same as a recursive walk's, the listings are the
// same ones GetFiles and GetDirectries make, and a tree thousands of levels deep cannot exhaust
// the thread's stack. Links (junctions, symbolic links to folders) are never entered.
#include "filesystem/FileSystemCls.h"

#include <optional>

#include "filesystem/directory.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/raii.h"
#include "frame/text.h"

using namespace kro;

namespace {

std::wstring_view textOf(const BSTR* p) { return p ? view(*p) : std::wstring_view(); }
long longOf(const LONG* p) { return p ? *p : 0; }
bool boolOf(const VARIANT_BOOL* p) { return p && *p != VARIANT_FALSE; }

// The normalised starting folder of a walk. An empty path would mean the root of the current
// drive, which no caller asks for on purpose (52, like any name no folder can have); a folder
// that does not exist is an error rather than an empty walk.
std::wstring startFolder(BSTR path) {
    checkPath(view(path));
    std::wstring folder = dir::normaliseFolder(view(path));
    dir::requireFolder(folder);
    return folder;
}

// The collection a member fills: required ones fail with 91 when missing.
CollectionAppender requiredCollection(IDispatch** col) { return CollectionAppender(col ? *col : nullptr); }

std::optional<CollectionAppender> optionalCollection(IDispatch** col) {
    if (!col || !*col) return std::nullopt;
    return CollectionAppender(*col);
}

// The patterns of Extension/Delimiter. A pattern names entries of one folder: one that holds a
// folder part would list one folder while the walker acts on the same names in another.
std::vector<std::wstring> patternList(std::wstring_view extension, std::wstring_view delimiter) {
    auto patterns = dir::splitPatterns(extension, delimiter);
    for (const auto& p : patterns)
        if (p.find_first_of(L"\\/:") != std::wstring::npos) raise(err::InvalidCall);
    return patterns;
}

// For each pattern in order, the names of F's normal and hidden files that match it; each
// listing is complete before `act` runs on its names. An empty pattern matches nothing.
template <class Act>
void forEachMatch(const std::wstring& folder, const std::vector<std::wstring>& patterns, Act act) {
    for (const auto& pattern : patterns) {
        if (pattern.empty()) continue;
        for (const auto& name : dir::listNames(folder + pattern, dir::attr::Hidden)) act(name);
    }
}

}  // namespace

HRESULT FileSystemCls::GetFiles(BSTR* filespec, LONG* Attributes, SAFEARRAY** result) {
    return call([&] {
        checkPath(textOf(filespec), EmptyName::Allowed);
        *result = makeListingArray(dir::listNames(textOf(filespec), longOf(Attributes)));
    });
}

HRESULT FileSystemCls::GetDirectries(BSTR* path, LONG* Attributes, VARIANT_BOOL* IncludePath, SAFEARRAY** result) {
    return call([&] {
        checkPath(textOf(path), EmptyName::Allowed);
        *result = makeListingArray(dir::listFolders(textOf(path), longOf(Attributes), boolOf(IncludePath)));
    });
}

HRESULT FileSystemCls::GetDirectryTree(BSTR path, IDispatch** colFiles, VARIANT_BOOL* GetDir) {
    return call([&] {
        CollectionAppender col = requiredCollection(colFiles);
        bool withFolders = boolOf(GetDir);
        std::wstring root = startFolder(path);
        // Every file counts here, so one listing per folder gives both its files and its
        // subfolders, each in listing order.
        std::vector<dir::Subfolder> pending;
        dir::WalkActions actions;
        actions.files = [&](const std::wstring& folder) {
            pending.clear();
            for (auto& e : dir::listEntries(folder + L"*.*", dir::attr::Hidden | dir::attr::Directory)) {
                if (!e.isFolder()) col.add(folder + e.name);
                else if (e.name != L"." && e.name != L"..") pending.push_back({std::move(e.name), e.isLink()});
            }
        };
        auto subfolders = [&](const std::wstring&) { return std::move(pending); };
        // A link stands where a plain folder's own entry would stand, and only there.
        actions.link = [&](const std::wstring& folder, const std::wstring& name) {
            if (withFolders) col.add(folder + name + L"\\");
        };
        actions.leave = [&](const std::wstring& folder) {
            if (withFolders) col.add(folder);
        };
        dir::walk(root, subfolders, actions);
    });
}

HRESULT FileSystemCls::GetDirFiles(BSTR path, IDispatch** col, BSTR* Extension, BSTR* Delimiter) {
    return call([&] {
        CollectionAppender collection = requiredCollection(col);
        std::wstring root = startFolder(path);
        auto patterns = patternList(Extension ? view(*Extension) : L"*.*", Delimiter ? view(*Delimiter) : L"\t");
        dir::WalkActions actions;
        actions.files = [&](const std::wstring& folder) {
            forEachMatch(folder, patterns, [&](const std::wstring& name) { collection.add(folder + name); });
        };
        dir::walk(root, dir::walkSubfolders, actions);
    });
}

HRESULT FileSystemCls::MoveDirFiles(BSTR path, BSTR* SetupDestPath, BSTR* Extension, BSTR* Delimiter, IDispatch** col) {
    return call([&] {
        std::wstring root = startFolder(path);
        checkPath(textOf(SetupDestPath));
        std::wstring destination = dir::normaliseFolder(view(*SetupDestPath));
        if (destination.size() != ::SysStringLen(*SetupDestPath)) assign(SetupDestPath, destination);
        auto collection = optionalCollection(col);
        auto patterns = patternList(textOf(Extension), textOf(Delimiter));
        if (patterns.empty()) return;
        // The destination may lie inside the tree: the files gathered there are not moved again.
        std::wstring destinationFull = dir::fullPath(destination);
        dir::WalkActions actions;
        actions.files = [&](const std::wstring& folder) {
            forEachMatch(folder, patterns, [&](const std::wstring& name) {
                dir::moveFile(folder + name, destination + name);
                if (collection) collection->add(folder + name);
            });
        };
        actions.enter = [&](const std::wstring& subfolder) {
            return !dir::equalNoCase(dir::fullPath(subfolder), destinationFull);
        };
        dir::walk(root, dir::walkSubfolders, actions);
    });
}

HRESULT FileSystemCls::KillDirFiles(BSTR path, BSTR* Extension, BSTR* Delimiter, IDispatch** col) {
    return call([&] {
        std::wstring root = startFolder(path);
        auto collection = optionalCollection(col);
        auto patterns = patternList(textOf(Extension), textOf(Delimiter));
        if (patterns.empty()) return;
        dir::WalkActions actions;
        actions.files = [&](const std::wstring& folder) {
            forEachMatch(folder, patterns, [&](const std::wstring& name) {
                dir::deleteFile(folder + name);
                if (collection) collection->add(folder + name);
            });
        };
        dir::walk(root, dir::walkSubfolders, actions);
    });
}

HRESULT FileSystemCls::DeleteDirOnly(BSTR path) {
    return call([&] {
        std::wstring root = startFolder(path);
        // A link inside the tree is left alone, like a file: its folder then stays, and removing
        // it fails with the platform's error.
        dir::WalkActions actions;
        actions.leave = [](const std::wstring& folder) { dir::removeFolder(folder); };
        dir::walk(root, dir::walkSubfolders, actions);
    });
}
