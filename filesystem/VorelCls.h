#pragma once
// The VorelCls automation class: one adapter per member of _VorelCls.
// Where its members are:
//   deferred_delete_members.cpp: ElashFileEx
//   shortcut_members.cpp: MkShortcut
//   takeout_members.cpp: TakeOutJoinFileEx
#include "frame/com_object.h"

class VorelCls final : public kro::ComObject<VorelCls, _VorelCls> {
public:
    HRESULT STDMETHODCALLTYPE ElashFileEx(BSTR *TargetFile) override;
    HRESULT STDMETHODCALLTYPE MkShortcut(BSTR *TargetFile, BSTR *ShortcutFileSavePath, BSTR *CommandLine, BSTR *ShortcutIconFile, BSTR *ShortcutIconIndex, BSTR *WorkingDirectory, BSTR *Description, BSTR *HotKey, short *ShowCmd) override;
    HRESULT STDMETHODCALLTYPE TakeOutJoinFileEx(BSTR *TargetExeFile, BSTR *TakeOutFile) override;
};
