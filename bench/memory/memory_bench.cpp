// Memory benchmark: many calls of a few representative members (a path helper, a registry read,
// the codec on a small array), half through the vtable and half late-bound, and the growth of
// the process's private bytes between a warmed-up start and the end. Nothing may accumulate
// per call: the growth must stay below 4 MiB.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "kroProgramDll.h"

namespace {

constexpr const wchar_t* kKey = L"Software\\kro_bench_memory";
constexpr double kLimitMiB = 4.0;

double now() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; ::QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The process's private bytes: its committed private memory, added up region by region. (Wine
// reports PrivateUsage from GetProcessMemoryInfo as 0, so the counter itself cannot be used.)
SIZE_T privateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (const char* p = nullptr; ::VirtualQuery(p, &mbi, sizeof(mbi)) == sizeof(mbi); p = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
        if (static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize < p) break;  // wrapped round
    }
    return total;
}

template <class T>
T* create(const wchar_t* progId, REFIID iid) {
    CLSID clsid;
    T* p = nullptr;
    if (FAILED(::CLSIDFromProgID(progId, &clsid)) ||
        FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&p)))) {
        std::printf("cannot create %ls (is the module registered?)\n", progId);
        std::exit(2);
    }
    return p;
}

// Calls `member` of `object` late-bound with by-reference arguments, as a script does.
struct LateCall {
    IDispatch* object;
    DISPID id = DISPID_UNKNOWN;
    LateCall(IDispatch* o, const wchar_t* member) : object(o) {
        LPOLESTR name = const_cast<LPOLESTR>(member);
        object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    }
    HRESULT operator()(std::vector<VARIANT> reversedArgs) {
        DISPPARAMS params{reversedArgs.data(), nullptr, static_cast<UINT>(reversedArgs.size()), 0};
        VARIANT result;
        ::VariantInit(&result);
        HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        ::VariantClear(&result);
        return hr;
    }
};

VARIANT ref(BSTR* b) { VARIANT v; ::VariantInit(&v); v.vt = VT_BYREF | VT_BSTR; v.pbstrVal = b; return v; }
VARIANT ref(LONG* l) { VARIANT v; ::VariantInit(&v); v.vt = VT_BYREF | VT_I4; v.plVal = l; return v; }
VARIANT ref(SAFEARRAY** a) { VARIANT v; ::VariantInit(&v); v.vt = VT_BYREF | VT_ARRAY | VT_UI1; v.pparray = a; return v; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const long calls = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000000;
    ::CoInitialize(nullptr);
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ::RegSetValueExW(key, L"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"a registry text"), 32);
    ::RegCloseKey(key);

    auto* fs = create<_FileSystemCls>(L"kroProgramDll.FileSystemCls", IID__FileSystemCls);
    auto* reg = create<_RegistryCls>(L"kroProgramDll.RegistryCls", IID__RegistryCls);
    auto* code = create<_CodeCls>(L"kroProgramDll.CodeCls", IID__CodeCls);
    LateCall getPath(fs, L"GetPath"), getRegValue(reg, L"GetRegValue"), byteToCode(code, L"ByteToCode");

    BSTR path = ::SysAllocString(L"C:\\folder\\file.txt");
    BSTR keyName = ::SysAllocString(kKey);
    BSTR valueName = ::SysAllocString(L"v");
    BSTR password = ::SysAllocString(L"password");
    SAFEARRAY* small = ::SafeArrayCreateVector(VT_UI1, 0, 16);
    bool ok = true;

    struct Member {
        const char* name;
        std::function<bool(bool late)> call;
    };
    std::vector<Member> members = {
        {"FileSystemCls.GetPath", [&](bool late) {
             if (late) return getPath({ref(&path)}) == S_OK;
             BSTR out = nullptr;
             HRESULT hr = fs->GetPath(&path, &out);
             ::SysFreeString(out);
             return hr == S_OK;
         }},
        {"RegistryCls.GetRegValue", [&](bool late) {
             RegistryRoots root = kro_HKEY_CURRENT_USER;
             LONG rootValue = root;
             BSTR text = nullptr;
             bool good;
             if (late) {
                 good = getRegValue({ref(&text), ref(&valueName), ref(&keyName), ref(&rootValue)}) == S_OK;
             } else {
                 LONG status = -1;
                 good = reg->GetRegValue(&root, &keyName, &valueName, &text, &status) == S_OK && status == 0;
             }
             good = good && text && ::SysStringLen(text) == 15;
             ::SysFreeString(text);
             return good;
         }},
        {"CodeCls.ByteToCode (16 bytes)", [&](bool late) {
             if (late) return byteToCode({ref(&password), ref(&small)}) == S_OK;
             SAFEARRAY* out = nullptr;
             HRESULT hr = code->ByteToCode(&small, &password, &out);
             if (out) ::SafeArrayDestroy(out);
             return hr == S_OK;
         }},
    };

    std::printf("%ld calls of each member, alternately through the vtable and late-bound\n", calls);
    std::printf("| member | private bytes before | after | growth | time |\n|---|---|---|---|---|\n");
    double worst = 0;
    for (auto& m : members) {
        for (long i = 0; i < 10000; ++i) ok = m.call(i & 1) && ok;  // warm-up: caches, heap
        SIZE_T before = privateBytes();
        double start = now();
        for (long i = 0; i < calls; ++i) ok = m.call(i & 1) && ok;
        double seconds = now() - start;
        SIZE_T after = privateBytes();
        double growth = (static_cast<double>(after) - static_cast<double>(before)) / (1024.0 * 1024.0);
        if (growth > worst) worst = growth;
        std::printf("| %s | %.2f MiB | %.2f MiB | %+.3f MiB | %.1f s |\n", m.name, before / 1048576.0, after / 1048576.0, growth, seconds);
        std::fflush(stdout);
    }
    std::printf("largest growth %.3f MiB (limit %.0f MiB): %s; every call %s\n", worst, kLimitMiB,
                worst < kLimitMiB ? "flat" : "GROWS", ok ? "succeeded" : "DID NOT SUCCEED");

    ::SysFreeString(path);
    ::SysFreeString(keyName);
    ::SysFreeString(valueName);
    ::SysFreeString(password);
    ::SafeArrayDestroy(small);
    fs->Release();
    reg->Release();
    code->Release();
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    ::CoUninitialize();
    return worst < kLimitMiB && ok ? 0 : 1;
}
