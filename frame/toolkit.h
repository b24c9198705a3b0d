#pragma once
// The window toolkit the library relies on: message boxes with the library's default caption,
// one pass of the thread's message pump, and the module's string and icon resources.
#include <windows.h>

#include <string>
#include <string_view>

namespace kro::toolkit {

// Caption of every message box shown without one of its own.
inline constexpr const wchar_t* kDefaultCaption = L"kro project program dll library";

// Resource ids.
inline constexpr UINT kIconLibrary = 100;
inline constexpr UINT kIconIntroduction = 999;

// Shows a modal message box on the calling thread and returns the button pressed (IDOK, IDRETRY ...).
int messageBox(std::wstring_view text, UINT style = MB_OK);
int messageBox(std::wstring_view text, UINT style, std::wstring_view caption);

// Processes every message waiting in the calling thread's queue once, then returns.
void pumpMessages();

// A string of the module's string table; empty when the id is missing.
std::wstring loadString(UINT id);

// An icon of the module (shared handle, not to be destroyed); null when missing.
HICON loadIcon(UINT id);

}  // namespace kro::toolkit
