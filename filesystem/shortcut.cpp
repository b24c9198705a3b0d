#include "filesystem/shortcut.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <array>
#include <climits>
#include <vector>

#include "filesystem/file.h"
#include "frame/raii.h"
#include "frame/text.h"
#include "frame/toolkit.h"

namespace kro::shortcut {
namespace {

struct KeyName {
    const wchar_t* name;
    BYTE key;
};

// Virtual-key names accepted after the modifiers (letters, digits and F1-F24 are handled apart).
constexpr std::array<KeyName, 52> kKeyNames{{
    {L"BACK", VK_BACK}, {L"BACKSPACE", VK_BACK}, {L"TAB", VK_TAB}, {L"CLEAR", VK_CLEAR},
    {L"RETURN", VK_RETURN}, {L"ENTER", VK_RETURN}, {L"PAUSE", VK_PAUSE}, {L"CAPITAL", VK_CAPITAL},
    {L"CAPSLOCK", VK_CAPITAL}, {L"ESCAPE", VK_ESCAPE}, {L"ESC", VK_ESCAPE}, {L"SPACE", VK_SPACE},
    {L"PRIOR", VK_PRIOR}, {L"PAGEUP", VK_PRIOR}, {L"NEXT", VK_NEXT}, {L"PAGEDOWN", VK_NEXT},
    {L"END", VK_END}, {L"HOME", VK_HOME}, {L"LEFT", VK_LEFT}, {L"UP", VK_UP},
    {L"RIGHT", VK_RIGHT}, {L"DOWN", VK_DOWN}, {L"SELECT", VK_SELECT}, {L"PRINT", VK_PRINT},
    {L"EXECUTE", VK_EXECUTE}, {L"SNAPSHOT", VK_SNAPSHOT}, {L"PRINTSCREEN", VK_SNAPSHOT}, {L"INSERT", VK_INSERT},
    {L"INS", VK_INSERT}, {L"DELETE", VK_DELETE}, {L"DEL", VK_DELETE}, {L"HELP", VK_HELP},
    {L"NUMPAD0", VK_NUMPAD0}, {L"NUMPAD1", VK_NUMPAD1}, {L"NUMPAD2", VK_NUMPAD2}, {L"NUMPAD3", VK_NUMPAD3},
    {L"NUMPAD4", VK_NUMPAD4}, {L"NUMPAD5", VK_NUMPAD5}, {L"NUMPAD6", VK_NUMPAD6}, {L"NUMPAD7", VK_NUMPAD7},
    {L"NUMPAD8", VK_NUMPAD8}, {L"NUMPAD9", VK_NUMPAD9}, {L"MULTIPLY", VK_MULTIPLY}, {L"ADD", VK_ADD},
    {L"SEPARATOR", VK_SEPARATOR}, {L"SUBTRACT", VK_SUBTRACT}, {L"DECIMAL", VK_DECIMAL}, {L"DIVIDE", VK_DIVIDE},
    {L"NUMLOCK", VK_NUMLOCK}, {L"SCROLL", VK_SCROLL}, {L"SCROLLLOCK", VK_SCROLL}, {L"APPS", VK_APPS},
}};

std::wstring_view trim(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
}

std::optional<BYTE> keyOf(std::wstring_view name) {
    std::wstring upper = upperAscii(name);
    if (upper.size() == 1) {
        wchar_t c = upper[0];
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return static_cast<BYTE>(c);
        return std::nullopt;
    }
    if (upper.size() <= 3 && upper[0] == L'F') {
        int n = 0;
        for (size_t i = 1; i < upper.size(); ++i) {
            if (upper[i] < L'0' || upper[i] > L'9') return std::nullopt;
            n = n * 10 + (upper[i] - L'0');
        }
        if (upper[1] != L'0' && n >= 1 && n <= 24) return static_cast<BYTE>(VK_F1 + n - 1);
        return std::nullopt;
    }
    for (const auto& k : kKeyNames)
        if (upper == k.name) return k.key;
    return std::nullopt;
}

// A decimal icon index, optionally signed.
std::optional<int> parseIndex(std::wstring_view text) {
    text = trim(text);
    if (text.empty()) return 0;
    bool negative = false;
    if (text.front() == L'-' || text.front() == L'+') {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

bool endsWithLnk(const std::wstring& path) {
    return path.size() >= 4 && upperAscii(std::wstring_view(path).substr(path.size() - 4)) == L".LNK";
}


// The show command stored in a shortcut file's header (the 32-bit field at offset 0x3C of the
// 0x4C-byte header); 0 when the file does not start with such a header.
int storedShowCmd(const std::wstring& path) {
    try {
        file::File f(path, file::Mode::Read);
        unsigned char header[0x4C];
        if (f.read(std::span<std::byte>(reinterpret_cast<std::byte*>(header), sizeof header)) != sizeof header) return 0;
        if (header[0] != 0x4C || header[1] != 0 || header[2] != 0 || header[3] != 0) return 0;
        return static_cast<int>(header[0x3C] | (header[0x3D] << 8) | (header[0x3E] << 16) |
                                (static_cast<unsigned>(header[0x3F]) << 24));
    } catch (...) {
        return 0;
    }
}

}  // namespace

std::wstring iconLocation(std::wstring_view iconFile, std::wstring_view iconIndex) {
    if (iconFile.empty()) return {};
    if (iconIndex.empty()) return std::wstring(iconFile);
    return std::wstring(iconFile) + L", " + std::wstring(iconIndex);
}

std::optional<WORD> parseHotKey(std::wstring_view text) {
    if (text.empty()) return WORD{0};
    BYTE modifiers = 0;
    for (;;) {
        size_t plus = text.find(L'+');
        if (plus == std::wstring_view::npos) break;
        std::wstring modifier = upperAscii(trim(text.substr(0, plus)));
        if (modifier == L"SHIFT") modifiers |= HOTKEYF_SHIFT;
        else if (modifier == L"CTRL") modifiers |= HOTKEYF_CONTROL;
        else if (modifier == L"ALT") modifiers |= HOTKEYF_ALT;
        else if (modifier == L"EXT") modifiers |= HOTKEYF_EXT;
        else return std::nullopt;
        text.remove_prefix(plus + 1);
    }
    std::optional<BYTE> key = keyOf(trim(text));
    if (!key) return std::nullopt;
    return static_cast<WORD>((modifiers << 8) | *key);
}

bool writeShortcut(const std::wstring& path, const ShortcutInfo& info, bool clear) {
    if (!endsWithLnk(path)) return false;
    std::optional<WORD> hotKey = parseHotKey(info.hotKey);
    if (!hotKey) return false;
    std::optional<int> iconIndex = parseIndex(info.iconIndex);
    if (!iconIndex) return false;
    std::wstring full = file::fullPath(path);
    if (full.empty()) return false;

    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.putVoid())))
        return false;
    ComPtr<IPersistFile> persist = link.as<IPersistFile>(IID_IPersistFile);
    if (!persist) return false;
    // An existing shortcut is updated: what is not written keeps its stored value. A file that
    // cannot be read as a shortcut is left alone.
    if (file::exists(full)) {
        if (FAILED(persist->Load(full.c_str(), STGM_READ))) return false;
        // Some shell versions do not restore the stored show command on Load; it is kept as
        // stored unless a new one is given.
        int stored = storedShowCmd(full);
        int loaded = 0;
        if (info.windowStyle == 0 && stored != 0 && SUCCEEDED(link->GetShowCmd(&loaded)) && loaded != stored &&
            FAILED(link->SetShowCmd(stored)))
            return false;
    }

    auto text = [&](const std::wstring& value, HRESULT (STDMETHODCALLTYPE IShellLinkW::*setter)(LPCWSTR)) {
        if (value.empty() && !clear) return true;
        return SUCCEEDED((link.get()->*setter)(value.c_str()));
    };
    if (!text(info.targetPath, &IShellLinkW::SetPath)) return false;
    if (!text(info.arguments, &IShellLinkW::SetArguments)) return false;
    if (!text(info.workingDirectory, &IShellLinkW::SetWorkingDirectory)) return false;
    if (!text(info.description, &IShellLinkW::SetDescription)) return false;
    if (!info.iconFile.empty() || clear) {
        if (FAILED(link->SetIconLocation(info.iconFile.c_str(), info.iconFile.empty() ? 0 : *iconIndex))) return false;
    }
    if (*hotKey != 0 || clear) {
        if (FAILED(link->SetHotkey(*hotKey))) return false;
    }
    if (info.windowStyle != 0) {
        if (FAILED(link->SetShowCmd(info.windowStyle))) return false;
    }
    return SUCCEEDED(persist->Save(full.c_str(), TRUE));
}

void writeShortcutOrTell(const std::wstring& path, const ShortcutInfo& info) {
    if (!writeShortcut(path, info, true))
        toolkit::messageBox(L"ｼｮｰﾄｶｯﾄの作成に失敗しました。", MB_OK | MB_ICONEXCLAMATION);
}

std::wstring statusText(long code) {
    static constexpr const wchar_t* kFailed = L"失敗しました。";
    static constexpr const wchar_t* kSteps[] = {
        L"CoInitialize の実行に",
        L"CoCreateInstance の実行に",
        L"QueryInterface の実行に",
        L"ショートカットファイルの Save または Load に",
        L"Unicode への変換に",
    };
    struct Bit {
        unsigned long bit;
        const wchar_t* subject;
    };
    static constexpr Bit kProperties[] = {
        {8, L"リンク先の設定または取得に"},
        {16, L"コマンドライン引数の設定または取得に"},
        {32, L"作業フォルダの設定または取得に"},
        {64, L"Description の設定または取得に"},
        {128, L"アイコンのパスおよびインデックスの設定または取得に"},
        {256, L"ショートカットキーの設定または取得に"},
        {512, L"実行時の大きさの設定または取得に"},
    };
    if (code == 0) return L"ショートカット情報の登録または取得に成功しました。";
    if (code >= 1 && code <= 5) return std::wstring(kSteps[code - 1]) + L"\r\n" + kFailed;
    std::wstring text;
    for (const Bit& b : kProperties) {
        if (static_cast<unsigned long>(code) & b.bit) {
            text += b.subject;
            text += L"\r\n";
        }
    }
    return text + kFailed;
}

}  // namespace kro::shortcut
