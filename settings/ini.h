#pragma once
// Initialisation files (sections of key=value lines) through the platform's private-profile
// functions. The file format, the search for a file named without a folder, caching and the
// comparison of names are the platform's.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kro::ini {

// Reads one value into `value`; false when the platform copies nothing (a missing key without
// a default, or an empty value). A null section or key makes the platform list the section or
// key names; `value` then holds the first name. Values longer than the usual 32,767-character
// buffer are read whole.
bool readValue(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
               std::wstring& value);

// Writes key=value; a null value deletes the key. Returns the platform's result (0 for failure).
LONG writeValue(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value);
// Deletes a whole section.
LONG deleteSection(const wchar_t* file, const wchar_t* section);

// The block that replaces a section: the lines separated by NULs and ended by two. Empty lines
// are left out, since an empty line would end the block early and drop the lines after it.
std::wstring sectionBlock(const std::vector<std::wstring>& lines);
// Replaces the lines of a section. Returns the platform's result (0 for failure).
LONG writeSection(const wchar_t* file, const wchar_t* section, const std::vector<std::wstring>& lines);

}  // namespace kro::ini
