// The library's own cost per copy step: Copy_SetValue and Copy_CancelCheck called 1,000 times
// through the vtable from a compiled client (no script engine, no copying), with the window
// shown, the texts of a copy loop (the folders stay, the file name and count change), and the
// clip given on the command line playing (or none). Prints microseconds per step.
#include <windows.h>

#include <cstdio>
#include <string>

#include "kroProgramDll.h"
#include "../common/update_floor.h"

int wmain(int argc, wchar_t** argv) {
    ::CoInitialize(nullptr);
    _FormCls* form = nullptr;
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(L"kroProgramDll.FormCls", &clsid)) ||
        FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_FormCls), reinterpret_cast<void**>(&form)))) {
        std::printf("cannot create FormCls\n");
        return 1;
    }
    const short n = 1000;
    BSTR clip = ::SysAllocString(argc > 1 ? argv[1] : L""), caption = ::SysAllocString(L"コピーしています...");
    BSTR src = ::SysAllocString(L"C:\\src"), dst = ::SysAllocString(L"D:\\dst");
    IDispatch* owner = nullptr;
    short max = n;
    form->Copy_ShowEx(&clip, &max, &owner, &caption);
    LARGE_INTEGER f, t0, t1;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t0);
    for (short i = 1; i < n; ++i) {  // the last step would unload the window
        BSTR name = ::SysAllocString((L"file" + std::to_wstring(i) + L".txt").c_str());
        form->Copy_SetValue(&i, &name, &src, &dst);
        VARIANT cancelled;
        ::VariantInit(&cancelled);
        form->Copy_CancelCheck(&cancelled);
        ::SysFreeString(name);
    }
    ::QueryPerformanceCounter(&t1);
    std::printf("library step (Copy_SetValue + Copy_CancelCheck, %s): %.1f us per step\n", argc > 1 ? "clip playing" : "no clip",
                static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(f.QuadPart) / (n - 1));
    form->Copy_Hide();
    form->Release();
    ::CoUninitialize();
    return 0;
}
