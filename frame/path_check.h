#pragma once
// The one check every member applies to a path or file name it is given, before it touches
// anything. The platform's functions read names as NUL-terminated text, so "ab" + NUL + "cd"
// would silently name "ab"; names beyond the platform's longest path make some of its functions
// fault; and an empty name would make several members invent names of their own (".000") in
// the current folder. Each of these fails with 52 ("Bad file name or number") instead.
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kro {

// The longest path the platform's wide-character functions accept, in characters.
inline constexpr std::size_t kMaxPathChars = 32767;

enum class EmptyName {
    Refused,  // a name is required
    Allowed,  // the member gives the empty text a meaning of its own
};

// Raises 52 unless `path` is acceptable.
void checkPath(std::wstring_view path, EmptyName empty = EmptyName::Refused);

// A caller's by-reference path, checked; a missing variable counts as the empty text.
std::wstring checkedPath(const BSTR* path, EmptyName empty = EmptyName::Refused);

}  // namespace kro
