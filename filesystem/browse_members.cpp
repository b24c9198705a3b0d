// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/FileSystemCls.h"

HRESULT FileSystemCls::Show_Browse(BSTR *strTitle, LONG *hWnd, FolderPathContents *lngRoot, ENUM_FLAGS_FOLDER *lngFlags, BSTR *strDefault, BSTR *result) { return notImplemented(L"Show_Browse"); }
