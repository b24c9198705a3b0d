// FileSystemCls: path pieces, special folders, folder macros and folder chains.
#include "filesystem/FileSystemCls.h"

#include <algorithm>

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
        std::wstring text = str(*path);
        for (const auto& macro : path::kFolderMacros) {
            // Each folder is asked for through this object's own GetPrivatePath, with hWnd
            // handed on as a Variant referring to the caller's variable.
            FolderPathContents folder = static_cast<FolderPathContents>(macro.csidl);
            VARIANT owner;
            ::VariantInit(&owner);
            owner.vt = VT_BYREF | VT_I4;
            owner.plVal = hWnd;
            Variant folderPath;
            check(self()->GetPrivatePath(&folder, &owner, &folderPath));
            Variant asText;
            check(::VariantChangeType(&asText, &folderPath, 0, VT_BSTR));
            text = path::replaceAllNoCase(text, macro.token, view(asText.bstrVal));
        }
        *result = allocBstr(text);
    });
}

HRESULT FileSystemCls::GetFileName(BSTR* path, VARIANT* result) {
    return call([&] { setText(result, path::fileName(view(*path))); });
}

HRESULT FileSystemCls::GetFileExtension(BSTR* FileName, VARIANT* result) {
    return call([&] { setText(result, path::fileExtension(view(*FileName))); });
}

HRESULT FileSystemCls::GetPath(BSTR* path, BSTR* result) {
    return call([&] {
        Variant name;
        check(self()->GetFileName(path, &name));
        Variant asText;
        check(::VariantChangeType(&asText, &name, 0, VT_BSTR));
        std::wstring_view whole = view(*path);
        size_t keep = whole.size() - std::min<size_t>(whole.size(), ::SysStringLen(asText.bstrVal));
        *result = allocBstr(whole.substr(0, keep));
    });
}
