#pragma once
// Services for a client's own windows: an icon with a tooltip in the taskbar's notification
// area, a taskbar button for an owned window, the topmost state, and the ready-made handler
// text that shows how to decode the icon's mouse messages.
//
// The notification-area call goes through a table so that tests can record the exact record
// the platform receives without touching the real notification area.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kro::shell {

struct Platform {
    std::function<BOOL(DWORD message, NOTIFYICONDATAA* record)> notifyIcon;
};

// The real shell32 Shell_NotifyIconA.
const Platform& systemPlatform();

// Size of the record handed to the platform: its first (ANSI) version as laid out on this
// architecture, 88 bytes on x86 and 104 on x64, where the handles are 8 bytes wide. A fixed
// 88 would be the 32-bit layout, which a 64-bit shell rejects.
inline constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
// Message, icon and tooltip fields are valid.
inline constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// Mouse events on the icon reach the window as WM_MOUSEMOVE, the mouse message in lParam.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
inline constexpr std::size_t kTooltipChars = 64;

// The first version's tooltip field: 64 bytes (later versions of the record make it longer).
using TooltipField = std::array<char, 64>;

// Clients pass window and icon handles as 32-bit numbers: widen them as the platform does,
// with sign extension.
template <class Handle>
Handle handleFrom(std::int32_t value) {
    return reinterpret_cast<Handle>(static_cast<INT_PTR>(value));
}

// The tooltip field: the text cut to 64 characters, in the ANSI code page, at most 63 bytes
// (never half a double-byte character), a NUL, then spaces to the end of the field.
TooltipField tooltipField(std::wstring_view text);
// A field of spaces only, the filler of a delete request that names no tooltip.
TooltipField blankTooltip();

struct TrayIcon {
    HWND window = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    TooltipField tooltip{};
};

// What each class sends. Adding: the client's window, icon, identifier and tooltip, with the
// callback message. Deleting: the platform finds the icon by window and identifier alone; the
// other fields are filler, and each class sends its own (ProgramCls the tooltip "Test", the
// callback message and no icon; ApplicationCls the icon, a tooltip of spaces and no message).
TrayIcon iconToAdd(HWND window, HICON icon, UINT id, std::wstring_view tooltip);
TrayIcon programIconToDelete(HWND window, UINT id);
TrayIcon applicationIconToDelete(HWND window, HICON icon, UINT id);

// The platform's record for `icon`, with the flags and the size above.
NOTIFYICONDATAA trayRecord(const TrayIcon& icon);

// Adds (NIM_ADD) or deletes (NIM_DELETE) the icon. The platform's answer is not reported:
// callers carry on whether or not the notification area took the request.
void addTrayIcon(const Platform& platform, const TrayIcon& icon);
void deleteTrayIcon(const Platform& platform, const TrayIcon& icon);

// Makes the desktop window the owner of `window`, which gives an owned window a taskbar
// button of its own. Failures are ignored.
void addTaskbarButton(HWND window);

// Makes `window` topmost or not, keeping its size and position and showing it. Failures are
// ignored.
void setTopmost(HWND window, bool topmost);

// The event handler a client pastes into its form to tell the tray icon's mouse messages
// apart: 23 lines joined by CR LF, without a line break after the last.
std::wstring clickHandlerText();
// Title of the box that shows the handler text.
inline constexpr const wchar_t* kClickHandlerTitle = L"このコードは戻り値に記載されています。";

}  // namespace kro::shell
