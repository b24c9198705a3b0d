// Members that are still to be built report "not implemented" to every caller.
#include "frame/DebugCls.h"
#include "frame/KeyCodeCls.h"
#include "frame/MainCls.h"

HRESULT DebugCls::Enter(BSTR *strProcname) { return notImplemented(L"Enter"); }
HRESULT DebugCls::DebugPrint(LONG *lngError, BSTR *strProcname) { return notImplemented(L"DebugPrint"); }
HRESULT KeyCodeCls::key_Down(utd_ApiKeyCodes *chk_Key, VARIANT_BOOL *result) { return notImplemented(L"key_Down"); }
HRESULT MainCls::Info() { return notImplemented(L"Info"); }
