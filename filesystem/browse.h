#pragma once
// The shell's modal folder picker.
#include <windows.h>

#include <string>

namespace kro::browse {

struct FolderRequest {
    std::wstring title;
    HWND owner = nullptr;       // null or no window: the desktop window
    int rootFolder = 0;         // special-folder id (CSIDL); 0 keeps the whole namespace
    UINT flags = 0;             // BIF_* flags, passed on unchanged
    std::wstring initialPath;   // selected as the picker opens; empty for none
};

// Shows the picker and waits for the user. Returns the chosen path (a drive root keeps its
// backslash), the computer's name when BIF_BROWSEFORCOMPUTER is set, or the empty text on cancel,
// for an item without a file-system path, for a root the shell cannot resolve, or on failure.
std::wstring browseForFolder(const FolderRequest& request);

}  // namespace kro::browse
