#include "frame/toolkit.h"

#include "frame/module.h"

namespace kro::toolkit {

int messageBox(std::wstring_view text, UINT style) { return messageBox(text, style, kDefaultCaption); }

int messageBox(std::wstring_view text, UINT style, std::wstring_view caption) {
    std::wstring t(text), c(caption);
    // Owned by the thread's active window so that the box is modal to the client's UI.
    return ::MessageBoxW(::GetActiveWindow(), t.c_str(), c.c_str(), style | MB_SETFOREGROUND);
}

bool isLibraryWindow(HWND hwnd) {
    // Only the window layer registers window classes in this module.
    return hwnd && ::GetClassLongPtrW(hwnd, GCLP_HMODULE) == reinterpret_cast<ULONG_PTR>(module::handle());
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
        if (root && isLibraryWindow(root) && ::IsDialogMessageW(root, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring loadString(UINT id) {
    const wchar_t* text = nullptr;
    int n = ::LoadStringW(module::handle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

std::vector<std::wstring> loadStringList(UINT countId) {
    std::vector<std::wstring> entries;
    const int count = _wtoi(loadString(countId).c_str());
    for (int k = 1; k <= count; ++k) entries.push_back(loadString(countId + static_cast<UINT>(k)));
    return entries;
}

HICON loadIcon(UINT id) {
    return static_cast<HICON>(::LoadImageW(module::handle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace kro::toolkit
