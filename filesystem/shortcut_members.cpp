// Members that are still to be built report "not implemented" to every caller.
#include "filesystem/VorelCls.h"
#include "filesystem/FileSystemCls.h"

HRESULT VorelCls::MkShortcut(BSTR *TargetFile, BSTR *ShortcutFileSavePath, BSTR *CommandLine, BSTR *ShortcutIconFile, BSTR *ShortcutIconIndex, BSTR *WorkingDirectory, BSTR *Description, BSTR *HotKey, short *ShowCmd) { return notImplemented(L"MkShortcut"); }
HRESULT FileSystemCls::GetShellLinkErrStr(LONG lngErrCode, VARIANT *result) { return notImplemented(L"GetShellLinkErrStr"); }
HRESULT FileSystemCls::MkShortcut(BSTR *TargetFile, BSTR *ShortcutFileSavePath, BSTR *CommandLine, BSTR *ShortcutIconFile, BSTR *ShortcutIconIndex, BSTR *WorkingDirectory, BSTR *Description, BSTR *HotKey, short *ShowCmd) { return notImplemented(L"MkShortcut"); }
