// Members that are still to be built report "not implemented" to every caller.
#include "system/WindowsCls.h"

HRESULT WindowsCls::WinShutDown(utd_ShotdownType *lngOption) { return notImplemented(L"WinShutDown"); }
HRESULT WindowsCls::IsWinNT(VARIANT_BOOL *result) { return notImplemented(L"IsWinNT"); }
