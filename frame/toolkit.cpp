#include "frame/toolkit.h"

#include "dialogs/window.h"
#include "frame/module.h"

namespace kro::toolkit {

int messageBox(std::wstring_view text, UINT style) { return messageBox(text, style, kDefaultCaption); }

int messageBox(std::wstring_view text, UINT style, std::wstring_view caption) {
    std::wstring t(text), c(caption);
    // Owned by the thread's active window so that the box is modal to the client's UI.
    return ::MessageBoxW(::GetActiveWindow(), t.c_str(), c.c_str(), style | MB_SETFOREGROUND);
}

void pumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the client's own loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // Keyboard navigation (Tab, access keys) inside the library's own windows.
        HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && ui::Window::isLibraryWindow(root) && ::IsDialogMessageW(root, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring loadString(UINT id) {
    const wchar_t* text = nullptr;
    int n = ::LoadStringW(module::handle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

HICON loadIcon(UINT id) {
    return static_cast<HICON>(::LoadImageW(module::handle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace kro::toolkit
