#include "filesystem/browse.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include "frame/raii.h"

namespace kro::browse {
namespace {

int CALLBACK selectInitialPath(HWND picker, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

std::wstring browseForFolder(const FolderRequest& request) {
    // The picker's controls need OLE on the calling thread; a thread already set up stays as it is.
    const bool oleStarted = SUCCEEDED(::OleInitialize(nullptr));
    ScopeExit oleEnds([&] {
        if (oleStarted) ::OleUninitialize();
    });
    HWND owner = request.owner && ::IsWindow(request.owner) ? request.owner : ::GetDesktopWindow();

    ItemList root;
    if (request.rootFolder != 0) {
        if (FAILED(::SHGetSpecialFolderLocation(owner, request.rootFolder, root.put())) || !root) return {};
    }

    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = request.title.c_str();
    info.ulFlags = request.flags;
    if (!request.initialPath.empty()) {
        info.lpfn = &selectInitialPath;
        info.lParam = reinterpret_cast<LPARAM>(request.initialPath.c_str());
    }
    ItemList chosen(::SHBrowseForFolderW(&info));

    if (request.flags & BIF_BROWSEFORCOMPUTER) return chosen ? std::wstring(displayName) : std::wstring();
    if (!chosen) return {};
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), path)) return {};
    return path;
}

}  // namespace kro::browse
