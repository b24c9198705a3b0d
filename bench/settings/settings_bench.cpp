// Settings benchmark: RegistryCls.ManyDeleteRegKey against `reg delete <key> /f` on the same
// 5,000-key tree, and IniFileCls.GetIniValue against direct GetPrivateProfileStringW calls.
// Both sides of each pair run in this one process, one after the other, several rounds.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "kroProgramDll.h"

namespace {

constexpr const wchar_t* kTree = L"Software\\kro_bench_tree";
constexpr int kChildren = 50;       // 50 children with 99 grandchildren each: 5,000 keys below the top
constexpr int kGrandchildren = 99;
constexpr int kIniCalls = 100000;
constexpr int kRounds = 3;

double now() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; ::QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

int buildTree() {
    int keys = 0;
    for (int c = 0; c < kChildren; ++c) {
        for (int g = 0; g < kGrandchildren; ++g) {
            std::wstring path = std::wstring(kTree) + L"\\child" + std::to_wstring(c) + L"\\grandchild" + std::to_wstring(g);
            HKEY k = nullptr;
            if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != 0)
                return -1;
            ::RegSetValueExW(k, L"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
            ::RegCloseKey(k);
            ++keys;
        }
        ++keys;
    }
    return keys;
}

bool treeExists() {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kTree, 0, KEY_READ, &k) != 0) return false;
    ::RegCloseKey(k);
    return true;
}

double runProcess(const std::wstring& commandLine) {
    std::wstring cmd = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    double start = now();
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return -1;
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    double elapsed = now() - start;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return elapsed;
}

double best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

int benchTree() {
    CLSID clsid;
    _RegistryCls* reg = nullptr;
    if (FAILED(::CLSIDFromProgID(L"kroProgramDll.RegistryCls", &clsid)) ||
        FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_RegistryCls), reinterpret_cast<void**>(&reg)))) {
        std::printf("cannot create kroProgramDll.RegistryCls\n");
        return 1;
    }
    std::vector<double> ours, peer;
    double startup = 1e9;
    int keys = 0;
    for (int round = 0; round < kRounds; ++round) {
        keys = buildTree();
        if (keys < 0) { std::printf("cannot build the tree\n"); return 1; }
        RegistryRoots root = kro_HKEY_CURRENT_USER;
        BSTR path = ::SysAllocString(kTree);
        LONG status = -1;
        double start = now();
        HRESULT hr = reg->ManyDeleteRegKey(&root, &path, &status);
        ours.push_back(now() - start);
        ::SysFreeString(path);
        if (FAILED(hr) || status != 0 || treeExists()) { std::printf("ManyDeleteRegKey failed: %ld\n", status); return 1; }

        if (buildTree() < 0) return 1;
        peer.push_back(runProcess(std::wstring(L"reg.exe delete HKCU\\") + kTree + L" /f"));
        if (treeExists()) { std::printf("reg delete left the tree\n"); return 1; }
        // The same program started on a key that does not exist: its start-up cost alone.
        startup = std::min(startup, runProcess(L"reg.exe delete HKCU\\Software\\kro_bench_no_such_key /f"));
    }
    reg->Release();
    double o = best(ours), p = best(peer);
    std::printf("tree of %d keys (best of %d rounds)\n", keys, kRounds);
    std::printf("  ManyDeleteRegKey         %8.1f ms\n", o * 1000);
    std::printf("  reg delete /f            %8.1f ms   (of which program start-up %.1f ms)\n", p * 1000, startup * 1000);
    std::printf("  ratio ours / reg delete  %8.2f   (target <= 1.5)\n", o / p);
    std::printf("  ratio without start-up   %8.2f\n", o / std::max(1e-9, p - startup));
    return 0;
}

int benchIni(const std::wstring& folder) {
    std::wstring file = folder + L"\\bench.ini";
    ::DeleteFileW(file.c_str());
    for (int i = 0; i < 20; ++i) {
        std::wstring k = L"key" + std::to_wstring(i), v = L"value number " + std::to_wstring(i);
        ::WritePrivateProfileStringW(L"section", k.c_str(), v.c_str(), file.c_str());
    }
    ::WritePrivateProfileStringW(L"other", L"x", L"1", file.c_str());
    CLSID clsid;
    _IniFileCls* ini = nullptr;
    if (FAILED(::CLSIDFromProgID(L"kroProgramDll.IniFileCls", &clsid)) ||
        FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_IniFileCls), reinterpret_cast<void**>(&ini)))) {
        std::printf("cannot create kroProgramDll.IniFileCls\n");
        return 1;
    }
    BSTR f = ::SysAllocString(file.c_str()), s = ::SysAllocString(L"section"), k = ::SysAllocString(L"key17"),
         d = ::SysAllocString(L"");
    std::vector<wchar_t> buffer(32767);
    // The two sides alternate in batches, so that a change in the machine's load during the run
    // falls on both alike.
    constexpr int kBatch = 1000;
    double ours = 0, direct = 0;
    size_t check = 0;
    for (int done = 0; done < kIniCalls; done += kBatch) {
        double start = now();
        for (int i = 0; i < kBatch; ++i) {
            DWORD n = ::GetPrivateProfileStringW(L"section", L"key17", L"", buffer.data(), 32767, file.c_str());
            check += n;
        }
        direct += now() - start;
        start = now();
        for (int i = 0; i < kBatch; ++i) {
            VARIANT r;
            ::VariantInit(&r);
            ini->GetIniValue(&f, &s, &k, &d, &r);
            check += ::SysStringLen(r.bstrVal);
            ::VariantClear(&r);
        }
        ours += now() - start;
    }
    if (check != static_cast<size_t>(2) * kIniCalls * 15) {
        std::printf("unexpected values read (%zu)\n", check);
        return 1;
    }
    ini->Release();
    ::SysFreeString(f);
    ::SysFreeString(s);
    ::SysFreeString(k);
    ::SysFreeString(d);
    ::DeleteFileW(file.c_str());
    double o = ours, p = direct;
    std::printf("%d reads of one INI value (each side, alternating in batches of %d)\n", kIniCalls, kBatch);
    std::printf("  GetIniValue                  %8.1f ms  (%.2f us a call)\n", o * 1000, o * 1e6 / kIniCalls);
    std::printf("  GetPrivateProfileStringW     %8.1f ms  (%.2f us a call)\n", p * 1000, p * 1e6 / kIniCalls);
    std::printf("  ratio ours / direct          %8.2f   (target <= 1.2)\n", o / p);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::CoInitialize(nullptr);
    int rc = 0;
    std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"tree") rc = benchTree();
    else if (what == L"ini" && argc > 2) rc = benchIni(argv[2]);
    else { std::printf("usage: settings_bench tree | ini <folder>\n"); rc = 2; }
    ::CoUninitialize();
    return rc;
}
