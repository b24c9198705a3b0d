// Times one whole-file load inside this process and prints
//   <operation> <seconds> <peak working set MiB before> <peak after> <ok|failed>
// usage: bench_client load <wave file>   DirectSoundCls.Setting, then LoadingFile (timed)
//        bench_client read <file>        FileSystemCls.ReadBinaryFile (timed)
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "kroProgramDll.h"

namespace {

double now() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double peakMiB() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

template <class I>
I* create(const wchar_t* progId) {
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(progId, &clsid))) return nullptr;
    I* p = nullptr;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), reinterpret_cast<void**>(&p));
    return p;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    ::CoInitialize(nullptr);
    std::wstring op = argv[1];
    BSTR path = ::SysAllocString(argv[2]);
    HRESULT hr = E_INVALIDARG;
    double base = 0, start = 0, seconds = 0;
    if (op == L"load") {
        _DirectSoundCls* player = create<_DirectSoundCls>(L"kroProgramDll.DirectSoundCls");
        if (!player) return 3;
        LONG window = 0, number = -1, result = 0;
        hr = player->Setting(&window);
        base = peakMiB();
        start = now();
        if (SUCCEEDED(hr)) hr = player->LoadingFile(&path, &number, &result);
        seconds = now() - start;
        player->Release();
    } else if (op == L"read") {
        _FileSystemCls* fs = create<_FileSystemCls>(L"kroProgramDll.FileSystemCls");
        if (!fs) return 3;
        SAFEARRAY* bytes = nullptr;
        base = peakMiB();
        start = now();
        hr = fs->ReadBinaryFile(&path, &bytes);
        seconds = now() - start;
        if (bytes) ::SafeArrayDestroy(bytes);
        fs->Release();
    }
    std::printf("%ls %.3f %.1f %.1f %s\n", op.c_str(), seconds, base, peakMiB(), SUCCEEDED(hr) ? "ok" : "failed");
    ::SysFreeString(path);
    ::CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
