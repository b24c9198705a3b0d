// The platform's own floor for what Message_Show does per call: a popup window with a static
// label, whose text is changed, repainted at once and followed by one pass of the message pump.
// Prints microseconds per call for 10,000 calls (or the count given).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../common/update_floor.h"

int wmain(int argc, wchar_t** argv) {
    const int n = argc > 1 ? _wtoi(argv[1]) : 10000;
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, L"STATIC", L"", WS_POPUP | WS_DLGFRAME,
                                    200, 200, 430, 88, nullptr, nullptr, nullptr, nullptr);
    HWND label = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 62, 30, 367, 43, window,
                                   nullptr, nullptr, nullptr);
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ::ShowWindow(window, SW_SHOWNA);
    ::UpdateWindow(window);
    double us = microsecondsPerUpdate(n, [&](int i) {
        std::wstring text = L"ファイルを処理しています: " + std::to_wstring(i);
        ::SetWindowTextW(label, text.c_str());
        ::UpdateWindow(window);
    });
    std::printf("bare Win32 repaint (SetWindowText + UpdateWindow + pump): %.1f us per call\n", us);
    ::DestroyWindow(window);
    return 0;
}
