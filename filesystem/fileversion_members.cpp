// FileSystemCls.GetFileVersion: the file and product versions of a file.
#include "filesystem/FileSystemCls.h"

#include "filesystem/fileversion.h"
#include "frame/path_check.h"
#include "frame/text.h"

using namespace kro;

HRESULT FileSystemCls::GetFileVersion(BSTR* FileName, BSTR* FileVersion, BSTR* ProductVersion, VARIANT* result) {
    return call([&] {
        if (result) ::VariantInit(result);
        std::optional<fileversion::Versions> versions;
        // A name no file can have is the caller's mistake, not a file without a version.
        if (FileName) versions = fileversion::query(checkedPath(FileName, EmptyName::Allowed));
        // Every failure reads "0" in both answers.
        if (FileVersion) assign(FileVersion, versions ? versions->file : L"0");
        if (ProductVersion) assign(ProductVersion, versions ? versions->product : L"0");
    });
}
