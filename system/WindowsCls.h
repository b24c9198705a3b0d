#pragma once
// The WindowsCls automation class: one adapter per member of _WindowsCls.
// Where its members are:
//   shutdown_members.cpp: WinShutDown, IsWinNT
//   version_members.cpp: GetWindowsVersion, GetCommand
#include "frame/com_object.h"

class WindowsCls final : public kro::ComObject<WindowsCls, _WindowsCls> {
public:
    HRESULT STDMETHODCALLTYPE GetWindowsVersion(BSTR *GetBuildNumber, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE GetCommand(VARIANT *Command, BSTR *Delimiter, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE WinShutDown(utd_ShotdownType *lngOption) override;
    HRESULT STDMETHODCALLTYPE IsWinNT(VARIANT_BOOL *result) override;
};
