#pragma once
// The ApplicationCls automation class: one adapter per member of _ApplicationCls.
#include "frame/com_object.h"
#include "system/pointer.h"

class ApplicationCls final : public kro::ComObject<ApplicationCls, _ApplicationCls> {
public:
    static constexpr const wchar_t* className = L"ApplicationCls";

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
