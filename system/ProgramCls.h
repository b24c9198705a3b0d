#pragma once
// The ProgramCls automation class: one adapter per member of _ProgramCls.
// Where its members are:
//   tray_members.cpp: Tasktray_Set, Tasktray_Exit, AddButtonForTaskBar, SetPointer
#include "frame/com_object.h"
#include "system/pointer.h"

class ProgramCls final : public kro::ComObject<ProgramCls, _ProgramCls> {
public:
    HRESULT STDMETHODCALLTYPE Tasktray_Set(LONG *hWnd, LONG *Icon, LONG *ID, BSTR *ToolTipText, LONG *result) override;
    HRESULT STDMETHODCALLTYPE Tasktray_Exit(LONG *hWnd, LONG *ID) override;
    HRESULT STDMETHODCALLTYPE AddButtonForTaskBar(LONG *hWnd) override;
    HRESULT STDMETHODCALLTYPE SetPointer(LONG *NewPointer) override;

private:
    // The pointer in force before this object's first SetPointer, put back when it goes.
    kro::pointer::SavedPointer pointer_;
};
