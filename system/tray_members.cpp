// Members that are still to be built report "not implemented" to every caller.
#include "system/ProgramCls.h"
#include "system/ApplicationCls.h"

HRESULT ProgramCls::Tasktray_Set(LONG *hWnd, LONG *Icon, LONG *ID, BSTR *ToolTipText, LONG *result) { return notImplemented(L"Tasktray_Set"); }
HRESULT ProgramCls::Tasktray_Exit(LONG *hWnd, LONG *ID) { return notImplemented(L"Tasktray_Exit"); }
HRESULT ProgramCls::AddButtonForTaskBar(LONG *hWnd) { return notImplemented(L"AddButtonForTaskBar"); }
HRESULT ProgramCls::SetPointer(LONG *NewPointer) { return notImplemented(L"SetPointer"); }
HRESULT ApplicationCls::Tasktray_Set(LONG *hWnd, LONG *Icon, LONG *ID, BSTR *ToolTipText, LONG *result) { return notImplemented(L"Tasktray_Set"); }
HRESULT ApplicationCls::Tasktray_Exit(LONG *hWnd, LONG *Icon, LONG *ID) { return notImplemented(L"Tasktray_Exit"); }
HRESULT ApplicationCls::Help_Get_Check_ClickKey(BSTR *result) { return notImplemented(L"Help_Get_Check_ClickKey"); }
HRESULT ApplicationCls::SetPointer(LONG *NewPointer) { return notImplemented(L"SetPointer"); }
HRESULT ApplicationCls::Set_Window_Top(LONG *hWnd, VARIANT_BOOL *SetTop) { return notImplemented(L"Set_Window_Top"); }
