// VorelCls.ElashFileEx and FileSystemCls.ElashReadyFile: deleting a file once it is released.
#include "filesystem/FileSystemCls.h"
#include "filesystem/VorelCls.h"

#include "filesystem/deferred_delete.h"
#include "filesystem/file.h"
#include "frame/path_check.h"
#include "frame/text.h"
#include "frame/toolkit.h"

using namespace kro;

HRESULT VorelCls::ElashFileEx(BSTR* TargetFile) {
    return call([&] {
        if (!TargetFile) raise(err::InvalidCall);
        // An empty target would leave a batch file waiting for a file that never goes.
        deferred_delete::schedule(checkedPath(TargetFile));
    });
}

HRESULT FileSystemCls::ElashReadyFile(BSTR path, LONG* result) {
    return call([&] {
        if (!result) raise(err::InvalidCall);
        std::wstring target = str(path);
        if (target.empty() || !deferred_delete::acceptableTarget(target) || !file::exists(target)) {
            toolkit::messageBox(L"していされた\"" + target + L"\"は存在していません", MB_OK | MB_ICONEXCLAMATION);
            *result = 0;
            return;
        }
        try {
            deferred_delete::schedule(target);
            *result = 0;
        } catch (const AutomationError& e) {
            *result = e.number();
        }
    });
}
