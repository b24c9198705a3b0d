// Codec throughput through the vtable beside a plain memcpy of the same array, and the file
// form's time (the run script times `cat` of the same file beside it).
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "coding/codec.h"
#include "kroProgramDll.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

template <class F>
double best(int rounds, F&& f) {  // the best of `rounds` runs
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

void arrays(_CodeCls* code, _StringHandCls* hand, BSTR password);

int main(int argc, char** argv) {
    // bench arrays            the array table
    // bench file <src> <dst>    one FileToCodeFile, its time in seconds
    bool fileMode = argc == 4 && std::strcmp(argv[1], "file") == 0;
    if (!fileMode && !(argc == 2 && std::strcmp(argv[1], "arrays") == 0)) {
        std::fprintf(stderr, "usage: bench arrays | bench file <source file> <dest file>\n");
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

    BSTR password = ::SysAllocString(L"password");
    if (fileMode) {
        BSTR src = ::SysAllocString(std::wstring(argv[2], argv[2] + std::strlen(argv[2])).c_str());
        BSTR dst = ::SysAllocString(std::wstring(argv[3], argv[3] + std::strlen(argv[3])).c_str());
        auto a = Clock::now();
        HRESULT r = code->FileToCodeFile(&src, &dst, &password);
        double t = seconds(a, Clock::now());
        if (FAILED(r)) fail("FileToCodeFile", r);
        std::printf("%.4f\n", t);
        ::SysFreeString(src);
        ::SysFreeString(dst);
    } else {
        arrays(code, hand, password);
    }
    ::SysFreeString(password);
    hand->Release();
    code->Release();
    ::CoUninitialize();
    return 0;
}

void arrays(_CodeCls* code, _StringHandCls* hand, BSTR password) {
    const size_t size = size_t{64} << 20;
    const int rounds = 9;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
    auto* data = static_cast<unsigned char*>(array->pvData);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
    std::vector<unsigned char> target(size, 1);
    LONG xorValue = 0x5A;

    // Every candidate runs once per round, in turn, so that all of them meet the same load on
    // the machine; each keeps its best round.
    auto raw = reinterpret_cast<std::byte*>(data);
    auto rawOut = reinterpret_cast<std::byte*>(target.data());
    auto member = [&](const char* name, auto&& m) {
        return [&, name, m] {
            SAFEARRAY* out = nullptr;
            HRESULT r = m(&out);
            if (FAILED(r)) fail(name, r);
            ::SafeArrayDestroy(out);
        };
    };
    struct Candidate {
        const char* name;
        std::function<void()> run;
        double best = 1e9;
    };
    std::vector<Candidate> candidates = {
        // The peer: a plain copy of the same array into a buffer already in place.
        {"memcpy (warm buffer)", [&] { std::memcpy(target.data(), data, size); }},
        // The least a member returning a copy can do: a new array of the same size, filled by memcpy.
        {"memcpy into a new array", [&] {
             SAFEARRAY* out = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
             std::memcpy(out->pvData, data, size);
             ::SafeArrayDestroy(out);
         }},
        {"ByteToCode (vtable)", member("ByteToCode", [&](SAFEARRAY** out) { return code->ByteToCode(&array, &password, out); })},
        {"CodeToByte (vtable)", member("CodeToByte", [&](SAFEARRAY** out) { return code->CodeToByte(&array, &password, out); })},
        {"XorCode (vtable)", member("XorCode", [&](SAFEARRAY** out) { return hand->XorCode(&array, &xorValue, out); })},
        // The members' byte loop alone (in place plus copy), into the warm buffer.
        {"coding loop (warm buffer)", [&] { kro::codec::ByteMap::coding(77).apply({raw, size}, rawOut); }},
        {"decoding loop (warm)", [&] { kro::codec::ByteMap::decoding(77).apply({raw, size}, rawOut); }},
        {"XOR loop (warm buffer)", [&] { kro::codec::ByteMap::xoring(0x5A).apply({raw, size}, rawOut); }},
    };
    for (int r = 0; r < rounds; ++r)
        for (auto& c : candidates) {
            auto a = Clock::now();
            c.run();
            c.best = std::min(c.best, seconds(a, Clock::now()));
        }
    const double tCopy = candidates[0].best;
    const double tNewCopy = candidates[1].best;

    const double mib = static_cast<double>(size) / (1 << 20);
    auto line = [&](const char* name, double t) {
        std::printf("  %-26s %8.0f MiB/s  %6.1f %%  %6.1f %%\n", name, mib / t, 100 * tCopy / t, 100 * tNewCopy / t);
    };
    std::printf("64 MiB array, best of %d rounds: throughput; share of memcpy; share of memcpy into a new array\n", rounds);
    for (auto& c : candidates) line(c.name, c.best);

    ::SafeArrayDestroy(array);
}
