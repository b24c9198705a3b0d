#pragma once
// Registry keys and values addressed by a predefined root and a key path. Every operation
// returns the Windows status code of the registry call (0 for success) and shows nothing.
#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame/raii.h"

namespace kro::registry {

// The status returned, without touching the registry, for an empty (or unusable) key path.
constexpr LONG kInvalidKey = ERROR_BADKEY;  // 1010

// The predefined root for its signed 32-bit handle value (HKEY_CURRENT_USER = 0x80000001 ...).
HKEY rootKey(LONG value);

// A key path the registry can take as given: not empty, without NUL characters (which would
// end the name early and address another key) and within the platform's counted-string limit.
bool usableKeyPath(std::wstring_view path);
// A value name the registry can take as given (the empty name is the key's default value).
bool usableValueName(std::wstring_view name);

// Creates the key or opens the existing one, with full access.
LONG createOrOpen(HKEY root, std::wstring_view path, RegKey& key);

// The key for a read: created or opened with full access where the caller may (a missing key is
// created, as for every member); where full access is refused (a standard user under HKLM or
// most of HKCR, an administrator's unelevated program) opened for reading only, creating
// nothing, with the status of that open.
LONG openForReading(HKEY root, std::wstring_view path, RegKey& key);

LONG createKey(HKEY root, std::wstring_view path);
// Creates every level of the path in turn (A, A\B, A\B\C); a failing level does not stop the
// chain. Returns the status of the last level.
LONG makeKeyChain(HKEY root, std::wstring_view path);
// Deletes one key (which must have no subkeys).
LONG deleteKey(HKEY root, std::wstring_view path);

// Writes a REG_SZ value: the text and its terminating NUL.
LONG writeText(HKEY root, std::wstring_view path, std::wstring_view name, std::wstring_view text);
// Writes REG_BINARY bytes into a key already opened.
LONG writeBinary(HKEY key, std::wstring_view name, std::span<const std::byte> bytes);

// Reads a value of any type as text, cut before its first NUL: string types as stored, other
// types as ANSI bytes. A missing or empty value gives 0 and the empty text.
LONG readText(HKEY root, std::wstring_view path, std::wstring_view name, std::wstring& text);
// Reads a value's bytes; string types give the bytes the ANSI registry functions would give
// (the text in the ANSI code page with its terminating zero). A missing value gives 0 and no bytes.
LONG readBinary(HKEY root, std::wstring_view path, std::wstring_view name, std::vector<std::byte>& bytes);

// Deletes one value; an empty value name gives kInvalidKey.
LONG deleteValue(HKEY root, std::wstring_view path, std::wstring_view name);

// The names of the key's direct subkeys in enumeration order (an empty path lists the root);
// empty when the key has none or cannot be opened.
std::vector<std::wstring> subkeyNames(HKEY root, std::wstring_view path);

// The Japanese explanation of a registry status code; empty for any code without one.
std::wstring statusText(LONG status);

// Turns stored value bytes of the given type into text as readText does.
std::wstring valueAsText(DWORD type, std::span<const std::byte> data);

}  // namespace kro::registry
