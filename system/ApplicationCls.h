#pragma once
// The ApplicationCls automation class: one adapter per member of _ApplicationCls.
// Where its members are:
//   tray_members.cpp: Tasktray_Set, Tasktray_Exit, Help_Get_Check_ClickKey, SetPointer,
//       Set_Window_Top
//   version_members.cpp: GetCommand
#include "frame/com_object.h"
#include "system/pointer.h"

class ApplicationCls final : public kro::ComObject<ApplicationCls, _ApplicationCls> {
public:
    HRESULT STDMETHODCALLTYPE Tasktray_Set(LONG *hWnd, LONG *Icon, LONG *ID, BSTR *ToolTipText, LONG *result) override;
    HRESULT STDMETHODCALLTYPE Tasktray_Exit(LONG *hWnd, LONG *Icon, LONG *ID) override;
    HRESULT STDMETHODCALLTYPE Help_Get_Check_ClickKey(BSTR *result) override;
    HRESULT STDMETHODCALLTYPE SetPointer(LONG *NewPointer) override;
    HRESULT STDMETHODCALLTYPE GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE Set_Window_Top(LONG *hWnd, VARIANT_BOOL *SetTop) override;

private:
    // The pointer in force before this object's first SetPointer, put back when it goes.
    kro::pointer::SavedPointer pointer_;
};
