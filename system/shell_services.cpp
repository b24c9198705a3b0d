#include "system/shell_services.h"

#include <algorithm>
#include <cstring>

#include "frame/text.h"

namespace kro::shell {

const Platform& systemPlatform() {
    static const Platform platform{
        [](DWORD message, NOTIFYICONDATAA* record) { return ::Shell_NotifyIconA(message, record); },
    };
    return platform;
}

TooltipField tooltipField(std::wstring_view text) {
    const std::string bytes = toAnsi(text.substr(0, std::min(text.size(), kTooltipChars)));
    // The platform shows at most 63 bytes and needs the NUL within the field; a double-byte
    // character that does not fit whole is left out rather than cut in half.
    const std::size_t limit = sizeof(TooltipField) - 1;
    std::size_t kept = 0;
    while (kept < bytes.size()) {
        std::size_t width = ::IsDBCSLeadByte(static_cast<BYTE>(bytes[kept])) && kept + 1 < bytes.size() ? 2 : 1;
        if (kept + width > limit) break;
        kept += width;
    }
    TooltipField field;
    field.fill(' ');
    std::memcpy(field.data(), bytes.data(), kept);
    field[kept] = '\0';
    return field;
}

TooltipField blankTooltip() {
    TooltipField field;
    field.fill(' ');
    return field;
}

TrayIcon iconToAdd(HWND window, HICON icon, UINT id, std::wstring_view tooltip) {
    return TrayIcon{window, id, kTrayCallbackMessage, icon, tooltipField(tooltip)};
}

TrayIcon programIconToDelete(HWND window, UINT id) {
    return TrayIcon{window, id, kTrayCallbackMessage, nullptr, tooltipField(L"Test")};
}

TrayIcon applicationIconToDelete(HWND window, HICON icon, UINT id) {
    return TrayIcon{window, id, 0, icon, blankTooltip()};
}

NOTIFYICONDATAA trayRecord(const TrayIcon& icon) {
    NOTIFYICONDATAA record{};
    record.cbSize = kTrayRecordSize;
    record.hWnd = icon.window;
    record.uID = icon.id;
    record.uFlags = kTrayFlags;
    record.uCallbackMessage = icon.callbackMessage;
    record.hIcon = icon.icon;
    std::memcpy(record.szTip, icon.tooltip.data(), icon.tooltip.size());
    return record;
}

void addTrayIcon(const Platform& platform, const TrayIcon& icon) {
    NOTIFYICONDATAA record = trayRecord(icon);
    platform.notifyIcon(NIM_ADD, &record);
}

void deleteTrayIcon(const Platform& platform, const TrayIcon& icon) {
    NOTIFYICONDATAA record = trayRecord(icon);
    platform.notifyIcon(NIM_DELETE, &record);
}

void addTaskbarButton(HWND window) {
    ::SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(::GetDesktopWindow()));
}

void setTopmost(HWND window, bool topmost) {
    ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

std::wstring clickHandlerText() {
    static constexpr const wchar_t* kLines[] = {
        L"Private Sub Form_MouseMove( _",
        L"   Button As Integer, Shift As Integer, X As Single, Y As Single)",
        L"",
        L"   ' ★★★ タスクトレイのアイコンをマウスでクリックしたときの処理 ★★★",
        L"   Select Case X \\ Screen.TwipsPerPixelX",
        L"",
        L"   '左クリック",
        L"       Case WM_LBUTTONDOWN     'マウスダウン",
        L"",
        L"       Case WM_LBUTTONUP       'マウスアップ",
        L"",
        L"       Case WM_LBUTTONDBLCLK   'ダブルクリック",
        L"",
        L"   '右クリック",
        L"       Case WM_RBUTTONDOWN     'マウスダウン",
        L"",
        L"       Case WM_RBUTTONUP       'マウスアップ",
        L"",
        L"       Case WM_RBUTTONDBLCLK   'ダブルクリック",
        L"",
        L"   End Select",
        L"",
        L"End Sub",
    };
    std::wstring text;
    for (const wchar_t* line : kLines) {
        if (line != kLines[0]) text += L"\r\n";
        text += line;
    }
    return text;
}

}  // namespace kro::shell
