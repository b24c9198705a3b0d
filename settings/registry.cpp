#include "settings/registry.h"

#include <algorithm>
#include <cstring>

#include "frame/text.h"

namespace kro::registry {

namespace {

// Names reach the registry as counted strings of at most 32,767 characters; a longer name
// would be cut short silently and address another key or value.
constexpr size_t kMaxNameLength = 32766;

// Size queries and reads are repeated when the value grows between the two calls.
constexpr int kReadAttempts = 4;

std::wstring terminated(std::wstring_view s) { return std::wstring(s); }

bool isStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Reads a value's type and bytes. A missing value reads as zero bytes with status 0: a missing
// value and an empty one are alike to the callers.
LONG queryValue(HKEY key, std::wstring_view name, DWORD& type, std::vector<std::byte>& data) {
    std::wstring n = terminated(name);
    data.clear();
    for (int attempt = 0;; ++attempt) {
        DWORD size = 0;
        type = REG_NONE;
        ::RegQueryValueExW(key, n.c_str(), nullptr, &type, nullptr, &size);
        if (size == 0) return ERROR_SUCCESS;
        data.resize(size);
        DWORD got = size;
        LONG status = ::RegQueryValueExW(key, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA && attempt + 1 < kReadAttempts) continue;
        if (status != ERROR_SUCCESS) {
            data.clear();
            return status;
        }
        data.resize(got);
        return ERROR_SUCCESS;
    }
}

std::wstring_view utf16Of(std::span<const std::byte> data) {
    return std::wstring_view(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
}

}  // namespace

HKEY rootKey(LONG value) { return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(value)); }

bool usableKeyPath(std::wstring_view path) {
    return !path.empty() && path.size() <= kMaxNameLength && path.find(L'\0') == std::wstring_view::npos;
}

bool usableValueName(std::wstring_view name) {
    return name.size() <= kMaxNameLength && name.find(L'\0') == std::wstring_view::npos;
}

LONG createOrOpen(HKEY root, std::wstring_view path, RegKey& key) {
    if (!usableKeyPath(path)) return kInvalidKey;
    std::wstring p = terminated(path);
    return ::RegCreateKeyExW(root, p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                             nullptr);
}

LONG openForReading(HKEY root, std::wstring_view path, RegKey& key) {
    LONG status = createOrOpen(root, path, key);
    if (status != ERROR_ACCESS_DENIED) return status;
    std::wstring p = terminated(path);
    return ::RegOpenKeyExW(root, p.c_str(), 0, KEY_READ, key.put());
}

LONG createKey(HKEY root, std::wstring_view path) {
    RegKey key;
    return createOrOpen(root, path, key);
}

LONG makeKeyChain(HKEY root, std::wstring_view path) {
    if (!usableKeyPath(path)) return kInvalidKey;
    LONG status = ERROR_SUCCESS;
    size_t start = 0;
    for (;;) {
        size_t end = path.find(L'\\', start);
        status = createKey(root, path.substr(0, end == std::wstring_view::npos ? path.size() : end + 1));
        if (end == std::wstring_view::npos || end + 1 == path.size()) break;
        start = end + 1;
    }
    return status;
}

LONG deleteKey(HKEY root, std::wstring_view path) {
    if (!usableKeyPath(path)) return kInvalidKey;
    std::wstring p = terminated(path);
    return ::RegDeleteKeyW(root, p.c_str());
}

LONG writeText(HKEY root, std::wstring_view path, std::wstring_view name, std::wstring_view text) {
    RegKey key;
    LONG status = createOrOpen(root, path, key);
    if (status != ERROR_SUCCESS) return status;
    if (!usableValueName(name)) return ERROR_INVALID_PARAMETER;
    if (text.size() >= MAXDWORD / sizeof(wchar_t)) return ERROR_INVALID_PARAMETER;
    std::wstring data = terminated(text);
    std::wstring n = terminated(name);
    DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), n.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), size);
}

LONG writeBinary(HKEY key, std::wstring_view name, std::span<const std::byte> bytes) {
    if (!usableValueName(name)) return ERROR_INVALID_PARAMETER;
    if (bytes.size() > MAXDWORD) return ERROR_INVALID_PARAMETER;
    std::wstring n = terminated(name);
    return ::RegSetValueExW(key, n.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()));
}

std::wstring valueAsText(DWORD type, std::span<const std::byte> data) {
    if (isStringType(type)) {
        std::wstring_view text = utf16Of(data);
        return std::wstring(text.substr(0, text.find(L'\0')));
    }
    // Other types are taken as ANSI text, as far as their first zero byte (no double-byte
    // character of the ANSI code page contains a zero byte).
    std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    return fromAnsi(bytes.substr(0, bytes.find('\0')));
}

LONG readText(HKEY root, std::wstring_view path, std::wstring_view name, std::wstring& text) {
    text.clear();
    RegKey key;
    LONG status = openForReading(root, path, key);
    if (status != ERROR_SUCCESS) return status;
    if (!usableValueName(name)) return ERROR_INVALID_PARAMETER;
    DWORD type = REG_NONE;
    std::vector<std::byte> data;
    status = queryValue(key.get(), name, type, data);
    if (status != ERROR_SUCCESS) return status;
    // A size of 0 or 1 byte is a missing value or an empty text.
    if (data.size() <= 1) return ERROR_SUCCESS;
    text = valueAsText(type, data);
    return ERROR_SUCCESS;
}

LONG readBinary(HKEY root, std::wstring_view path, std::wstring_view name, std::vector<std::byte>& bytes) {
    bytes.clear();
    RegKey key;
    LONG status = openForReading(root, path, key);
    if (status != ERROR_SUCCESS) return status;
    if (!usableValueName(name)) return ERROR_INVALID_PARAMETER;
    DWORD type = REG_NONE;
    status = queryValue(key.get(), name, type, bytes);
    if (status != ERROR_SUCCESS) return status;
    if (isStringType(type) && !bytes.empty()) {
        // The bytes of a text in the ANSI code page, terminating zero(s) included.
        std::string ansi = toAnsi(utf16Of(bytes));
        bytes.resize(ansi.size());
        if (!ansi.empty()) std::memcpy(bytes.data(), ansi.data(), ansi.size());
    }
    return ERROR_SUCCESS;
}

LONG deleteValue(HKEY root, std::wstring_view path, std::wstring_view name) {
    if (!usableKeyPath(path) || name.empty()) return kInvalidKey;
    RegKey key;
    LONG status = createOrOpen(root, path, key);
    if (status != ERROR_SUCCESS) return status;
    if (!usableValueName(name)) return ERROR_INVALID_PARAMETER;
    std::wstring n = terminated(name);
    return ::RegDeleteValueW(key.get(), n.c_str());
}

std::vector<std::wstring> subkeyNames(HKEY root, std::wstring_view path) {
    std::vector<std::wstring> names;
    RegKey opened;
    HKEY key = root;
    if (!path.empty()) {
        if (!usableKeyPath(path)) return names;
        std::wstring p = terminated(path);
        // Listing needs read access only, so keys the caller may read but not change list too.
        if (::RegOpenKeyExW(root, p.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return names;
        key = opened.get();
    }
    // Key names have at most 255 characters; a longer buffer is taken if the platform asks.
    std::wstring buffer(256, L'\0');
    constexpr DWORD kMaxNames = 999999;
    for (DWORD index = 0; index < kMaxNames;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG status = ::RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA && buffer.size() < 32768) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(buffer.data(), std::min<size_t>(length, buffer.size()));
        ++index;
    }
    return names;
}

std::wstring statusText(LONG status) {
    switch (status) {
    case 1009: return L"レジストリデータベースが壊れています";
    case 1010: return L"レジストリキーが無効です";
    case 1011: return L"レジストリキーをオープンできません";
    case 1012: return L"レジストリキーを読みとれません";
    case 1013: return L"レジストリキーに書き込めません";
    case 1014:
        return L"ログや代替コピーを使ってレジストリデータベースの"
               L"ファイルの1つを復旧しました（復旧は成功しました）";
    case 1015:
        return L"レジストリが壊れています。レジストリデータを含むファイルの1つが"
               L"壊れているか,メモリ内のファイルのイメージが壊れているか、"
               L"ログや代替コピーがないか壊れているために復旧できなかった、などの"
               L"原因が考えられます";
    case 1016:
        return L"レジストリが修復不可能な入出力命令を実行しました。"
               L"レジストリイメージを含むファイルの1つに対して、読み出し"
               L"書き込み、フラッシュができませんでした";
    case 1017:
        return L"システムはレジストリにファイルをロードまたは復旧しようとしましたが"
               L"指定されたファイルはレジストリファイルの形式ではありません";
    case 1018: return L"削除のマークが付けられたレジストリキーに不正な操作をしようとしました";
    case 1019: return L"レジストリログに必要なスペースを割り当てることができませんでした";
    case 1020: return L"すでにサブキーや値を持つレジストリキーにはシンボリックリンクを作成できません";
    case 1021: return L"揮発性親キーの下に不揮発性のサブキーを作ることはできません";
    case 1369: return L"レジストリのサブツリーのトランザクションは要求された操作と相容れません";
    default: return {};
    }
}

}  // namespace kro::registry
