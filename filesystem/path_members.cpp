// FileSystemCls: path pieces, special folders, folder macros and folder chains.
#include "filesystem/FileSystemCls.h"


#include "filesystem/path.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/raii.h"
#include "frame/text.h"

using namespace kro;

namespace {

HWND toWindow(LONG value) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(value)); }

}  // namespace

HRESULT FileSystemCls::GetPrivatePath(FolderPathContents* CSIDL_Folder, VARIANT* hWnd, VARIANT* result) {
    return call([&] {
        Variant owner;
        HRESULT hr = ::VariantChangeType(&owner, hWnd, 0, VT_I4);
        if (FAILED(hr)) raise(hr == DISP_E_OVERFLOW ? err::Overflow : err::TypeMismatch);
        setText(result, path::specialFolder(static_cast<int>(*CSIDL_Folder), toWindow(owner.lVal)));
    });
}

HRESULT FileSystemCls::ManyMkDir(BSTR* path, LONG* result) {
    return call([&] { *result = path::makeFolderChain(checkedPath(path, EmptyName::Allowed)) ? 1 : 0; });
}

HRESULT FileSystemCls::FormatStringPath(BSTR* path, LONG* hWnd, BSTR* result) {
    return call([&] {
        *result = allocBstr(path::expandFolderMacros(view(*path), toWindow(hWnd ? *hWnd : 0)));
    });
}

HRESULT FileSystemCls::GetFileName(BSTR* path, VARIANT* result) {
    return call([&] { setText(result, path::fileName(view(*path))); });
}

HRESULT FileSystemCls::GetFileExtension(BSTR* FileName, VARIANT* result) {
    return call([&] { setText(result, path::fileExtension(view(*FileName))); });
}

HRESULT FileSystemCls::GetPath(BSTR* path, BSTR* result) {
    return call([&] { *result = allocBstr(path::folderOf(view(*path))); });
}
