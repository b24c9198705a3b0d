// FileSystemCls: the folder picker.
#include "filesystem/FileSystemCls.h"

#include "filesystem/browse.h"
#include "frame/text.h"

using namespace kro;

HRESULT FileSystemCls::Show_Browse(BSTR* strTitle, LONG* hWnd, FolderPathContents* lngRoot,
                                   ENUM_FLAGS_FOLDER* lngFlags, BSTR* strDefault, BSTR* result) {
    return call([&] {
        browse::FolderRequest request;
        if (strTitle) request.title = str(*strTitle);
        // Window handles are 32-bit values, widened by sign extension as the platform does.
        if (hWnd) request.owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(*hWnd));
        request.rootFolder = lngRoot ? static_cast<int>(*lngRoot) : 0;
        request.flags = static_cast<UINT>(lngFlags ? *lngFlags : kro_BIF_BROWSEINCLUDEFILES);
        if (strDefault) request.initialPath = str(*strDefault);
        *result = allocBstr(browse::browseForFolder(request));
    });
}
