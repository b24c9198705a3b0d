#pragma once
// The window toolkit the library relies on: message boxes with the library's default caption,
// one pass of the thread's message pump, and the module's string and icon resources.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kro::toolkit {

// Caption of every message box shown without one of its own.
inline constexpr const wchar_t* kDefaultCaption = L"kro project program dll library";

// Resource ids.
inline constexpr UINT kIconLibrary = 100;
inline constexpr UINT kIconIntroduction = 999;

// Shows a modal message box on the calling thread and returns the button pressed (IDOK, IDRETRY ...).
int messageBox(std::wstring_view text, UINT style = MB_OK);
int messageBox(std::wstring_view text, UINT style, std::wstring_view caption);

// Whether `hwnd` is one of the library's own windows (its class registered by this module).
bool isLibraryWindow(HWND hwnd);

// Processes every message waiting in the calling thread's queue once, then returns.
void pumpMessages();

// A string of the module's string table; empty when the id is missing.
std::wstring loadString(UINT id);

// A list in the string table: its count (a decimal text) at `countId`, its entries at the ids
// after it.
std::vector<std::wstring> loadStringList(UINT countId);

// An icon of the module (shared handle, not to be destroyed); null when missing.
HICON loadIcon(UINT id);

}  // namespace kro::toolkit
