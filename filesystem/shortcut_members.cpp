// VorelCls and FileSystemCls: shortcut files, and the texts for shell-link status codes.
#include "filesystem/FileSystemCls.h"
#include "filesystem/VorelCls.h"

#include "filesystem/path.h"
#include "filesystem/shortcut.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/raii.h"
#include "frame/text.h"

using namespace kro;

namespace {

// An optional by-reference text: an omitted one (null pointer) is empty.
std::wstring optionalText(BSTR* value) { return value ? str(*value) : std::wstring(); }

// Checks the names before anything is touched: the shortcut file is required; the target, icon
// file and working folder may be left empty.
void checkNames(BSTR* targetFile, BSTR* shortcutFileSavePath, BSTR* shortcutIconFile, BSTR* workingDirectory) {
    checkedPath(shortcutFileSavePath);
    for (BSTR* name : {targetFile, shortcutIconFile, workingDirectory}) checkedPath(name, EmptyName::Allowed);
}

// Writes the shortcut, always clearing what is not given; a failure is told to the user, not
// to the caller.
void buildShortcut(BSTR* targetFile, BSTR* shortcutFileSavePath, BSTR* commandLine, BSTR* shortcutIconFile,
                   BSTR* shortcutIconIndex, std::wstring workingDirectory, BSTR* description, BSTR* hotKey,
                   short* showCmd) {
    shortcut::ShortcutInfo info;
    info.targetPath = optionalText(targetFile);
    info.arguments = optionalText(commandLine);
    info.workingDirectory = std::move(workingDirectory);
    info.description = optionalText(description);
    info.iconFile = optionalText(shortcutIconFile);
    info.iconIndex = optionalText(shortcutIconIndex);
    info.hotKey = optionalText(hotKey);
    info.windowStyle = showCmd ? *showCmd : 0;
    shortcut::writeShortcutOrTell(optionalText(shortcutFileSavePath), info);
}

}  // namespace

HRESULT VorelCls::MkShortcut(BSTR* TargetFile, BSTR* ShortcutFileSavePath, BSTR* CommandLine, BSTR* ShortcutIconFile,
                             BSTR* ShortcutIconIndex, BSTR* WorkingDirectory, BSTR* Description, BSTR* HotKey,
                             short* ShowCmd) {
    return call([&] {
        checkNames(TargetFile, ShortcutFileSavePath, ShortcutIconFile, WorkingDirectory);
        buildShortcut(TargetFile, ShortcutFileSavePath, CommandLine, ShortcutIconFile, ShortcutIconIndex,
                      optionalText(WorkingDirectory), Description, HotKey, ShowCmd);
    });
}

HRESULT FileSystemCls::MkShortcut(BSTR* TargetFile, BSTR* ShortcutFileSavePath, BSTR* CommandLine,
                                  BSTR* ShortcutIconFile, BSTR* ShortcutIconIndex, BSTR* WorkingDirectory,
                                  BSTR* Description, BSTR* HotKey, short* ShowCmd) {
    return call([&] {
        checkNames(TargetFile, ShortcutFileSavePath, ShortcutIconFile, WorkingDirectory);
        std::wstring folder = optionalText(WorkingDirectory);
        if (folder.empty() && TargetFile) {
            // An empty working folder becomes the target's folder, in the caller's own variable.
            folder = path::folderOf(view(*TargetFile));
            if (WorkingDirectory) assign(WorkingDirectory, folder);
        }
        buildShortcut(TargetFile, ShortcutFileSavePath, CommandLine, ShortcutIconFile, ShortcutIconIndex,
                      std::move(folder), Description, HotKey, ShowCmd);
    });
}

HRESULT FileSystemCls::GetShellLinkErrStr(LONG lngErrCode, VARIANT* result) {
    return call([&] {
        if (!result) raise(err::InvalidCall);
        setText(result, shortcut::statusText(lngErrCode));
    });
}
