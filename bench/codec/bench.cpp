// Codec throughput through the vtable beside a plain memcpy of the same array, and the file
// form's time (the run script times `cat` of the same file beside it).
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "coding/codec.h"
#include "kroProgramDll.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

template <class F>
double best(int rounds, F&& f) {
    double t = 1e9;
    for (int i = 0; i < rounds; ++i) {
        auto a = Clock::now();
        f();
        t = std::min(t, seconds(a, Clock::now()));
    }
    return t;
}

void fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "%s failed: 0x%08lx\n", what, static_cast<unsigned long>(hr));
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench <source file> <dest file>\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    CLSID clsCode, clsHand;
    if (FAILED(::CLSIDFromProgID(L"kroProgramDll.CodeCls", &clsCode)) || FAILED(::CLSIDFromProgID(L"kroProgramDll.StringHandCls", &clsHand)))
        fail("CLSIDFromProgID", E_FAIL);
    _CodeCls* code = nullptr;
    _StringHandCls* hand = nullptr;
    HRESULT hr = ::CoCreateInstance(clsCode, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_CodeCls), reinterpret_cast<void**>(&code));
    if (FAILED(hr)) fail("CoCreateInstance CodeCls", hr);
    hr = ::CoCreateInstance(clsHand, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_StringHandCls), reinterpret_cast<void**>(&hand));
    if (FAILED(hr)) fail("CoCreateInstance StringHandCls", hr);

    const size_t size = size_t{64} << 20;
    const int rounds = 7;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
    auto* data = static_cast<unsigned char*>(array->pvData);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
    std::vector<unsigned char> target(size, 1);
    BSTR password = ::SysAllocString(L"password");
    LONG xorValue = 0x5A;

    // The peer: a plain copy of the same array into a buffer already in place.
    double tCopy = best(rounds, [&] { std::memcpy(target.data(), data, size); });
    // The least a member returning a copy can do: a new array of the same size, filled by memcpy.
    double tNewCopy = best(rounds, [&] {
        SAFEARRAY* out = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
        std::memcpy(out->pvData, data, size);
        ::SafeArrayDestroy(out);
    });
    // The members' byte loop alone (transform in place plus copy), into the warm buffer.
    auto raw = reinterpret_cast<std::byte*>(data);
    auto rawOut = reinterpret_cast<std::byte*>(target.data());
    double tLoopCode = best(rounds, [&] { kro::codec::ByteMap::coding(77).apply({raw, size}, rawOut); });
    double tLoopDecode = best(rounds, [&] { kro::codec::ByteMap::decoding(77).apply({raw, size}, rawOut); });
    double tLoopXor = best(rounds, [&] { kro::codec::ByteMap::xoring(0x5A).apply({raw, size}, rawOut); });
    auto call = [&](const char* name, auto&& member) {
        return best(rounds, [&] {
            SAFEARRAY* out = nullptr;
            HRESULT r = member(&out);
            if (FAILED(r)) fail(name, r);
            ::SafeArrayDestroy(out);
        });
    };
    double tCode = call("ByteToCode", [&](SAFEARRAY** out) { return code->ByteToCode(&array, &password, out); });
    double tDecode = call("CodeToByte", [&](SAFEARRAY** out) { return code->CodeToByte(&array, &password, out); });
    double tXor = call("XorCode", [&](SAFEARRAY** out) { return hand->XorCode(&array, &xorValue, out); });

    const double mib = static_cast<double>(size) / (1 << 20);
    auto line = [&](const char* name, double t) {
        std::printf("  %-26s %8.0f MiB/s  %6.1f %%  %6.1f %%\n", name, mib / t, 100 * tCopy / t, 100 * tNewCopy / t);
    };
    std::printf("64 MiB array, best of %d rounds: throughput; share of memcpy; share of memcpy into a new array\n", rounds);
    line("memcpy (warm buffer)", tCopy);
    line("memcpy into a new array", tNewCopy);
    line("ByteToCode (vtable)", tCode);
    line("CodeToByte (vtable)", tDecode);
    line("XorCode (vtable)", tXor);
    line("coding loop (warm buffer)", tLoopCode);
    line("decoding loop (warm)", tLoopDecode);
    line("XOR loop (warm buffer)", tLoopXor);

    BSTR src = ::SysAllocString(std::wstring(argv[1], argv[1] + std::strlen(argv[1])).c_str());
    BSTR dst = ::SysAllocString(std::wstring(argv[2], argv[2] + std::strlen(argv[2])).c_str());
    double tFile = best(3, [&] {
        HRESULT r = code->FileToCodeFile(&src, &dst, &password);
        if (FAILED(r)) fail("FileToCodeFile", r);
    });
    std::printf("FILE %.4f\n", tFile);

    ::SafeArrayDestroy(array);
    ::SysFreeString(password);
    ::SysFreeString(src);
    ::SysFreeString(dst);
    hand->Release();
    code->Release();
    ::CoUninitialize();
    return 0;
}
