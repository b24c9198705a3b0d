// Codec throughput through the vtable beside its peer, the new-array floor (a new array of the
// same size filled by memcpy), and the file forms' times (the run script times `cat` of the
// same file beside them).
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
    // bench arrays              the array table
    // bench files <src> <dst>   FileToCodeFile, CodeFileToFile (back from the coded file) and
    //                           XorCodeFile, each over an existing destination: seconds each
    bool fileMode = argc == 4 && std::strcmp(argv[1], "files") == 0;
    if (!fileMode && !(argc == 2 && std::strcmp(argv[1], "arrays") == 0)) {
        std::fprintf(stderr, "usage: bench arrays | bench files <source file> <dest file>\n");
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
        auto wide = [](const char* s) { return std::wstring(s, s + std::strlen(s)); };
        BSTR src = ::SysAllocString(wide(argv[2]).c_str());
        BSTR dst = ::SysAllocString(wide(argv[3]).c_str());
        BSTR back = ::SysAllocString((wide(argv[3]) + L".back").c_str());
        VARIANT_BOOL fresh = VARIANT_FALSE;
        auto timed = [&](const char* name, auto&& call) {
            auto a = Clock::now();
            HRESULT r = call();
            double t = seconds(a, Clock::now());
            if (FAILED(r)) fail(name, r);
            return t;
        };
        double tCode = timed("FileToCodeFile", [&] { return code->FileToCodeFile(&src, &dst, &password); });
        double tDecode = timed("CodeFileToFile", [&] { return code->CodeFileToFile(&dst, &back, &password); });
        double tXor = timed("XorCodeFile", [&] { return hand->XorCodeFile(&src, &dst, &password, &fresh); });
        std::printf("%.4f %.4f %.4f\n", tCode, tDecode, tXor);
        ::SysFreeString(src);
        ::SysFreeString(dst);
        ::SysFreeString(back);
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
    // The members' peer is the new-array floor: a member handing back a new array cannot be
    // faster than creating one and copying into it. The loops alone compare with the warm memcpy.
    std::printf("64 MiB array, best of %d rounds (%d-bit):\n", rounds, static_cast<int>(sizeof(void*) * 8));
    std::printf("  %-26s %9s %9s %9s  %s\n", "", "ms", "MiB/s", "peer ms", "ours / peer (throughput)");
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        bool member = i >= 2 && i <= 4, loop = i >= 5;
        double peer = member ? tNewCopy : loop ? tCopy : 0;
        std::printf("  %-26s %9.1f %9.0f", c.name, 1000 * c.best, mib / c.best);
        if (peer > 0) std::printf(" %9.1f  %.2f of %s", 1000 * peer, peer / c.best, member ? "the new-array floor" : "warm memcpy");
        std::printf("\n");
    }

    ::SafeArrayDestroy(array);
}
