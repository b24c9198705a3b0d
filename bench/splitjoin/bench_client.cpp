// Times one operation of the split and multi-volume members inside this process and prints
//   <operation> <seconds> <peak working set MiB> <result>
// usage: bench_client split <source> <stem> <size> | join <index> <folder>
//        | mltvol <source> <output name> <size> | sglvol <volume name> <output>
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
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
    if (argc < 4) return 2;
    ::CoInitialize(nullptr);
    _FileSystemCls* fs = create<_FileSystemCls>(L"kroProgramDll.FileSystemCls");
    _ConvertCls* cv = create<_ConvertCls>(L"kroProgramDll.ConvertCls");
    if (!fs || !cv) {
        std::fprintf(stderr, "cannot create the classes\n");
        return 3;
    }
    std::wstring op = argv[1];
    BSTR a = ::SysAllocString(argv[2]), b = ::SysAllocString(argv[3]);
    LONG size = argc > 4 ? std::wcstol(argv[4], nullptr, 10) : 0;
    double base = peakMiB();
    double start = now();
    HRESULT hr = E_INVALIDARG;
    long result = 0;
    if (op == L"split") {
        VARIANT_BOOL r = 0;
        hr = fs->SplitFile(&a, &b, &size, &r);
        result = r;
    } else if (op == L"join") {
        VARIANT_BOOL r = 0;
        hr = fs->JoinFile(&a, &b, &r);
        result = r;
    } else if (op == L"mltvol") {
        short r = 0;
        hr = cv->CnvMltVol(&a, &b, &size, &r);
        result = r;
    } else if (op == L"sglvol") {
        VARIANT_BOOL r = 0;
        hr = cv->CnvSglVol(&a, &b, &r);
        result = r;
    }
    double seconds = now() - start;
    std::printf("%ls %.3f %.1f %.1f %ld %s\n", op.c_str(), seconds, base, peakMiB(), result, SUCCEEDED(hr) ? "ok" : "failed");
    ::SysFreeString(a);
    ::SysFreeString(b);
    fs->Release();
    cv->Release();
    ::CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
