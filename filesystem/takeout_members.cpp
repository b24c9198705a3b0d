// VorelCls and FileSystemCls: writing out a file appended to an executable.
#include "filesystem/FileSystemCls.h"
#include "filesystem/VorelCls.h"

#include "filesystem/takeout.h"
#include "frame/path_check.h"
#include "frame/toolkit.h"

using namespace kro;

namespace {

void takeOutJoinFile(BSTR* targetExeFile, BSTR* takeOutFile) {
    if (!targetExeFile || !takeOutFile) raise(err::InvalidCall);
    std::wstring source = checkedPath(targetExeFile);
    if (!takeout::extract(source, checkedPath(takeOutFile)))
        toolkit::messageBox(L"ファイルが埋め込まれていません", MB_OK);
}

}  // namespace

HRESULT VorelCls::TakeOutJoinFileEx(BSTR* TargetExeFile, BSTR* TakeOutFile) {
    return call([&] { takeOutJoinFile(TargetExeFile, TakeOutFile); });
}

HRESULT FileSystemCls::TakeOutJoinFileEx(BSTR* TargetExeFile, BSTR* TakeOutFile) {
    return call([&] { takeOutJoinFile(TargetExeFile, TakeOutFile); });
}
