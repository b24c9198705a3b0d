// Times one whole-file load inside this process and prints
//   <operation> <seconds> <peak working set MiB before> <peak after> <ok|failed>
// usage: bench_client load <wave file>   DirectSoundCls.Setting, then LoadingFile (timed)
//        bench_client read <file>        FileSystemCls.ReadBinaryFile (timed)
//        bench_client create <bytes>     the platform alone: an empty DirectSound buffer of that size
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
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
    } else if (op == L"create") {
        IDirectSound8* device = nullptr;
        hr = ::DirectSoundCreate8(nullptr, &device, nullptr);
        if (FAILED(hr)) return 3;
        device->SetCooperativeLevel(::GetDesktopWindow(), DSSCL_NORMAL);
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
        DSBUFFERDESC desc{sizeof desc, DSBCAPS_STATIC | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME,
                          static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) & ~3u, 0, &format, {}};
        IDirectSoundBuffer* buffer = nullptr;
        base = peakMiB();
        start = now();
        hr = device->CreateSoundBuffer(&desc, &buffer, nullptr);
        seconds = now() - start;
        if (buffer) buffer->Release();
        device->Release();
    }
    std::printf("%ls %.3f %.1f %.1f %s\n", op.c_str(), seconds, base, peakMiB(), SUCCEEDED(hr) ? "ok" : "failed");
    ::SysFreeString(path);
    ::CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
