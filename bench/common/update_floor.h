#pragma once
// The timing loop of the bare Win32 floors: `update(i)` changes what the window shows for step i
// (1..n), then one pass of the message pump runs. Returns microseconds per step.
#include <windows.h>

template <typename Update>
double microsecondsPerUpdate(int n, Update update) {
    LARGE_INTEGER f, t0, t1;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t0);
    for (int i = 1; i <= n; ++i) {
        update(i);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::QueryPerformanceCounter(&t1);
    return static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(f.QuadPart) / n;
}
