#pragma once
// Path pieces, special folders, folder macros and folder chains.
#include <windows.h>

#include <array>
#include <string>
#include <string_view>

namespace kro::path {

// Text after the last backslash (the whole path without one).
std::wstring fileName(std::wstring_view path);
// Text after the last "." anywhere in the text (the whole text without one).
std::wstring fileExtension(std::wstring_view fileName);
// The folder part including its trailing backslash: path minus fileName(path).
std::wstring folderOf(std::wstring_view path);
// `folder` with a trailing backslash.
std::wstring withTrailingBackslash(std::wstring_view folder);

// The path of a special folder (CSIDL, optionally with CSIDL_FLAG_CREATE); empty when the
// system cannot resolve it.
std::wstring specialFolder(int csidl, HWND owner);

// `text` with every folder macro (kFolderMacros, any letter case) replaced by its folder's path,
// in the order of kFolderMacros; a folder the system cannot resolve becomes the empty text.
std::wstring expandFolderMacros(std::wstring_view text, HWND owner);

// Creates every folder named before the last backslash; true when they all exist afterwards.
bool makeFolderChain(std::wstring_view path);

// Replaces every occurrence of `token` in `text`, comparing ASCII letters case-insensitively.
std::wstring replaceAllNoCase(std::wstring_view text, std::wstring_view token, std::wstring_view value);
// Replaces every occurrence of `token` in `text`, letter case as written.
std::wstring replaceAll(std::wstring_view text, std::wstring_view token, std::wstring_view value);

struct FolderMacro {
    const wchar_t* token;
    int csidl;
};
// The folder macros, in the order they are replaced.
inline constexpr std::array<FolderMacro, 8> kFolderMacros{{
    {L"$WINDIR$", 36},
    {L"$SYSTEM$", 37},
    {L"$MYDOC$", 5},
    {L"$START_MENU$", 11},
    {L"$PROGRAMS$", 2},
    {L"$PROGRAMFILES$", 38},
    {L"$DESKTOP$", 0},
    {L"$SENDTO$", 9},
}};

}  // namespace kro::path
