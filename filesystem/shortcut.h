#pragma once
// Shortcut files written through the shell's link object, the hot-key text form that script
// users write for shortcuts, and the Japanese texts for shell-link status codes.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace kro::shortcut {

// What a shortcut holds. An empty text (or a window style of 0) means "not given".
struct ShortcutInfo {
    std::wstring targetPath;
    std::wstring arguments;
    std::wstring workingDirectory;
    std::wstring description;
    std::wstring iconFile;    // empty: no icon
    std::wstring iconIndex;   // decimal text; empty: the first icon
    std::wstring hotKey;      // e.g. "CTRL+ALT+F5"
    short windowStyle = 0;
};

// "file, index" (comma and one space), "file" alone when the index is empty, nothing when the
// file is empty.
std::wstring iconLocation(std::wstring_view iconFile, std::wstring_view iconIndex);

// Parses a hot-key text: any of "ALT+", "CTRL+", "SHIFT+", "EXT+" (any order and letter case)
// followed by one key name: a letter, a digit, F1 to F24 or a virtual-key name (Home, End,
// Prior, Next, Insert, Delete, Left, Up, Numpad0 ...). Gives the shell-link hot-key word: the
// virtual key in the low byte, SHIFT 1, CTRL 2, ALT 4, EXT 8 in the high byte. An empty text
// gives 0; an unknown key name or a malformed text gives nothing.
std::optional<WORD> parseHotKey(std::wstring_view text);

// Creates or updates the shortcut file `path` (must end in ".lnk"). Properties whose field is
// empty are cleared when `clear` is true and left as stored otherwise; a window style of 0 is
// always left as stored. Needs COM on the calling thread. True when the file was saved.
bool writeShortcut(const std::wstring& path, const ShortcutInfo& info, bool clear);

// writeShortcut with every empty field cleared; when the file could not be saved the user is
// told so in a message box.
void writeShortcutOrTell(const std::wstring& path, const ShortcutInfo& info);

// The explanation of a shell-link status code, lines separated by CR LF.
std::wstring statusText(long code);

}  // namespace kro::shortcut
