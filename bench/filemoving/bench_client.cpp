// Times one call of a file-moving member inside this process, through the vtable, and prints
//   <operation> <seconds>
// usage: bench_client split <source> <stem> <volume bytes> | join <index file> <folder>
//        | mltvol <source> <output name> <volume bytes> | sglvol <volume name> <output>
//        | code <source> <dest> | decode <source> <dest> | xor <source> <dest>
//        | takeout <joined file> <output>
#include <windows.h>
#include <oleauto.h>

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

template <class I>
I* create(const wchar_t* progId) {
    CLSID clsid{};
    I* p = nullptr;
    if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), reinterpret_cast<void**>(&p));
    if (!p) {
        std::fprintf(stderr, "cannot create %ls\n", progId);
        std::exit(3);
    }
    return p;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    ::CoInitialize(nullptr);
    auto* fs = create<_FileSystemCls>(L"kroProgramDll.FileSystemCls");
    auto* cv = create<_ConvertCls>(L"kroProgramDll.ConvertCls");
    auto* code = create<_CodeCls>(L"kroProgramDll.CodeCls");
    auto* hand = create<_StringHandCls>(L"kroProgramDll.StringHandCls");
    const std::wstring op = argv[1];
    BSTR a = ::SysAllocString(argv[2]), b = ::SysAllocString(argv[3]);
    BSTR password = ::SysAllocString(L"password");
    LONG size = argc > 4 ? std::wcstol(argv[4], nullptr, 10) : 0;
    VARIANT_BOOL flag = VARIANT_FALSE;
    short volumes = 0;
    HRESULT hr = E_INVALIDARG;
    bool done = true;  // the member's own result, where it has one

    const double start = now();
    if (op == L"split") hr = fs->SplitFile(&a, &b, &size, &flag), done = flag != 0;
    else if (op == L"join") hr = fs->JoinFile(&a, &b, &flag), done = flag != 0;
    else if (op == L"mltvol") hr = cv->CnvMltVol(&a, &b, &size, &volumes), done = volumes > 0;
    else if (op == L"sglvol") hr = cv->CnvSglVol(&a, &b, &flag), done = flag != 0;
    else if (op == L"code") hr = code->FileToCodeFile(&a, &b, &password);
    else if (op == L"decode") hr = code->CodeFileToFile(&a, &b, &password);
    else if (op == L"xor") hr = hand->XorCodeFile(&a, &b, &password, &flag);
    else if (op == L"takeout") hr = fs->TakeOutJoinFileEx(&a, &b);
    const double seconds = now() - start;

    if (FAILED(hr) || !done) {
        std::fprintf(stderr, "%ls failed (0x%08lx)\n", op.c_str(), static_cast<unsigned long>(hr));
        return 1;
    }
    std::printf("%ls %.4f\n", op.c_str(), seconds);
    ::SysFreeString(a);
    ::SysFreeString(b);
    ::SysFreeString(password);
    hand->Release();
    code->Release();
    cv->Release();
    fs->Release();
    ::CoUninitialize();
    return 0;
}
