#pragma once
// Text conversions between UTF-16 and the system ANSI code page, and BSTR views.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace kro {

// The characters of a BSTR; a null BSTR is the empty text.
inline std::wstring_view view(BSTR b) { return b ? std::wstring_view(b, ::SysStringLen(b)) : std::wstring_view(); }
inline std::wstring str(BSTR b) { return std::wstring(view(b)); }

// Allocates a BSTR; throws std::bad_alloc when the system cannot.
BSTR allocBstr(std::wstring_view s);

// Replaces the text in a caller's BSTR variable.
void assign(BSTR* target, std::wstring_view s);

// UTF-16 to and from the ANSI code page (CP_ACP), used where the bytes themselves are the format.
std::string toAnsi(std::wstring_view s);
std::wstring fromAnsi(std::string_view s);

// ASCII-only case folding, enough for names and macros.
std::wstring upperAscii(std::wstring_view s);

}  // namespace kro
