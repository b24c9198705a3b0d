#include "coding/codec.h"

#include <windows.h>

#include <emmintrin.h>

#include <cstring>
#include <limits>

#include "frame/errors.h"

namespace kro::codec {

namespace {

constexpr std::int64_t kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();

// A value above 255 stepped down by 255 until it is at most 255: it ends in 1..255.
std::int64_t foldDown(std::int64_t v) { return (v - 1) % 255 + 1; }
// A negative value stepped up by 255 until it is not negative: it ends in 0..254.
std::int64_t foldUp(std::int64_t v) { return (v % 255 + 255) % 255; }

}  // namespace

std::int32_t ansiCode(wchar_t ch) {
    char bytes[8] = {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, &ch, 1, bytes, sizeof bytes, nullptr, nullptr);
    if (n <= 0) return 0;
    if (n == 1) return static_cast<unsigned char>(bytes[0]);
    auto code = static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]));
    return static_cast<std::int16_t>(code);
}

std::int32_t passCode(std::wstring_view password) {
    std::int64_t a = 0;
    // Most passwords are plain ASCII; their codes are looked up once per character value.
    constexpr std::int32_t kUnknown = std::numeric_limits<std::int32_t>::min();  // no 16-bit code
    std::array<std::int32_t, 128> ascii;
    ascii.fill(kUnknown);
    for (wchar_t ch : password) {
        std::int32_t code;
        if (ch < 128) {
            if (ascii[ch] == kUnknown) ascii[ch] = ansiCode(ch);
            code = ascii[ch];
        } else {
            code = ansiCode(ch);
        }
        a += code;
        if (a < kLongMin) raise(err::Overflow);  // the running sum is a 32-bit Long
        if (a > 255) a = foldDown(a);
    }
    return static_cast<std::int32_t>(a);
}

std::optional<std::uint8_t> codeByte(std::uint8_t b, std::int32_t passCode) {
    std::int64_t v = std::int64_t{b} + passCode;
    // Below 0 the steps of -255 move away from the range until the Long overflows.
    if (v > kLongMax || v < 0) return std::nullopt;
    return static_cast<std::uint8_t>(v > 255 ? foldDown(v) : v);
}

std::optional<std::uint8_t> decodeByte(std::uint8_t b, std::int32_t passCode) {
    std::int64_t v = std::int64_t{b} - passCode;
    // Above 255 the steps of +255 move away from the range until the Long overflows.
    if (v > 255 || v < kLongMin) return std::nullopt;
    return static_cast<std::uint8_t>(v < 0 ? foldUp(v) : v);
}

std::uint8_t xorByte(std::uint8_t b, std::int32_t value) {
    std::int64_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) ^ b);
    if (v > 255) v = foldDown(v);
    if (v < 0) v = foldUp(v);
    return static_cast<std::uint8_t>(v);
}

// --- ByteMap -------------------------------------------------------------------------------------

ByteMap ByteMap::coding(std::int32_t passCode) {
    ByteMap m;
    m.op_ = Op::Code;
    m.param_ = passCode;
    if (passCode >= 0 && passCode <= 255) {
        // b + k above 255 wraps past 256 and steps one place further: carry adds one.
        m.kind_ = Kind::AddRing;
        m.k_ = static_cast<std::uint8_t>(passCode);
    }
    m.fillTable();
    return m;
}

ByteMap ByteMap::decoding(std::int32_t passCode) {
    ByteMap m;
    m.op_ = Op::Decode;
    m.param_ = passCode;
    if (passCode >= 0 && passCode <= 255) {
        m.kind_ = Kind::SubRing;
        m.k_ = static_cast<std::uint8_t>(passCode);
    }
    m.fillTable();
    return m;
}

ByteMap ByteMap::xoring(std::int32_t value) {
    ByteMap m;
    m.op_ = Op::Xor;
    m.param_ = value;
    m.x_ = static_cast<std::uint8_t>(value & 0xFF);
    // The bits above the low byte add (value >> 8) * 256 to the XORed byte; as 256 is one
    // step on the ring of 255, they shift the ring by (value >> 8) mod 255.
    std::int32_t high = value >> 8;
    if (high == 0) {
        m.kind_ = Kind::Xor;
    } else if (high > 0) {
        m.kind_ = Kind::XorAddRing;
        m.k_ = static_cast<std::uint8_t>(high % 255);
    } else {
        m.kind_ = Kind::XorSubRing;
        m.k_ = static_cast<std::uint8_t>((-static_cast<std::int64_t>(high)) % 255);
    }
    m.fillTable();
    return m;
}

void ByteMap::fillTable() {
    anyOverflow_ = false;
    for (int b = 0; b < 256; ++b) {
        std::optional<std::uint8_t> v;
        auto byte = static_cast<std::uint8_t>(b);
        switch (op_) {
        case Op::Code: v = codeByte(byte, param_); break;
        case Op::Decode: v = decodeByte(byte, param_); break;
        case Op::Xor: v = xorByte(byte, param_); break;
        }
        table_[b] = v.value_or(0);
        overflows_[b] = !v;
        anyOverflow_ = anyOverflow_ || !v;
    }
}

std::optional<std::uint8_t> ByteMap::operator()(std::uint8_t b) const {
    if (overflows_[b]) return std::nullopt;
    return table_[b];
}

// 16-byte vectors. The x64 compiler always emits SSE2; on x86 only the code between these
// pragmas uses it, and it runs only where the processor has it (ByteMap::fastestLoop).
#pragma GCC push_options
#pragma GCC target("sse2")
namespace {

using u8x16 = std::uint8_t __attribute__((vector_size(16)));

inline u8x16 load(const std::byte* p) { u8x16 v; std::memcpy(&v, p, sizeof v); return v; }
inline void store(std::byte* p, u8x16 v) { std::memcpy(p, &v, sizeof v); }

// The copy is written once and not read again soon: on SSE2, past the caches (it must be
// 16-byte aligned), so that writing it costs no reads of the lines it replaces.
inline void storeCopy(std::byte* p, u8x16 v) { _mm_stream_si128(reinterpret_cast<__m128i*>(p), reinterpret_cast<__m128i>(v)); }

template <int K>
inline u8x16 step(u8x16 b, u8x16 x, u8x16 k) {
    if constexpr (K == 0) {  // AddRing
        u8x16 s = b + k;
        return s - reinterpret_cast<u8x16>(s < b);  // carry (mask -1) adds one
    } else if constexpr (K == 1) {  // SubRing
        u8x16 s = b - k;
        return s + reinterpret_cast<u8x16>(b < k);  // borrow (mask -1) takes one off
    } else if constexpr (K == 2) {  // Xor
        return b ^ x;
    } else if constexpr (K == 3) {  // XorAddRing
        u8x16 f = step<0>(b ^ x, x, k);
        return f | reinterpret_cast<u8x16>(f == 0);
    } else {  // XorSubRing
        u8x16 f = step<1>(b ^ x, x, k);
        return f & ~reinterpret_cast<u8x16>(f == 255);
    }
}

// Transforms n bytes (a multiple of 64) in place and, when Copy, into `copy` as well.
template <int K, bool Copy>
void runKernel(std::byte* data, std::byte* copy, std::size_t n, std::uint8_t xs, std::uint8_t ks) {
    u8x16 x, k;
    std::memset(&x, xs, sizeof x);
    std::memset(&k, ks, sizeof k);
    for (std::size_t i = 0; i < n; i += 64) {
        u8x16 a = step<K>(load(data + i), x, k);
        u8x16 b = step<K>(load(data + i + 16), x, k);
        u8x16 c = step<K>(load(data + i + 32), x, k);
        u8x16 d = step<K>(load(data + i + 48), x, k);
        store(data + i, a); store(data + i + 16, b); store(data + i + 32, c); store(data + i + 48, d);
        if constexpr (Copy) {
            // The caller's array stays in the cache for its next use; the copy goes to memory.
            storeCopy(copy + i, a); storeCopy(copy + i + 16, b); storeCopy(copy + i + 32, c); storeCopy(copy + i + 48, d);
        }
    }
}

template <int K>
void runKernel(std::byte* data, std::byte* copy, std::size_t n, std::uint8_t xs, std::uint8_t ks) {
    if (copy) runKernel<K, true>(data, copy, n, xs, ks);
    else runKernel<K, false>(data, copy, n, xs, ks);
    if (copy && n) _mm_sfence();  // streaming stores are ordered before anything after
}

// The kernel of shape K (AddRing, SubRing, Xor, XorAddRing, XorSubRing: 0 to 4) over n bytes, a
// multiple of 64; `copy`, when given, is 16-byte aligned. The stack is aligned on entry:
// 32-bit callers may arrive with only 4-byte alignment, and spilled vectors need 16.
__attribute__((force_align_arg_pointer, noinline))
void runVector(int shape, std::byte* data, std::byte* copy, std::size_t n, std::uint8_t xs, std::uint8_t ks) {
    switch (shape) {
    case 0: runKernel<0>(data, copy, n, xs, ks); break;
    case 1: runKernel<1>(data, copy, n, xs, ks); break;
    case 2: runKernel<2>(data, copy, n, xs, ks); break;
    case 3: runKernel<3>(data, copy, n, xs, ks); break;
    case 4: runKernel<4>(data, copy, n, xs, ks); break;
    }
}

}  // namespace
#pragma GCC pop_options

void ByteMap::applyTable(std::byte* data, std::byte* copy, std::size_t n) const {
    if (anyOverflow_) {
        for (std::size_t i = 0; i < n; ++i) {
            auto b = static_cast<std::uint8_t>(data[i]);
            if (overflows_[b]) raise(err::Overflow);
            data[i] = static_cast<std::byte>(table_[b]);
            if (copy) copy[i] = data[i];
        }
        return;
    }
    if (!copy) {
        for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::byte>(table_[static_cast<std::uint8_t>(data[i])]);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) copy[i] = data[i] = static_cast<std::byte>(table_[static_cast<std::uint8_t>(data[i])]);
}

ByteMap::Loop ByteMap::fastestLoop() {
#if defined(__SSE2__)
    return Loop::Vector;
#else
    static const Loop loop = ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) ? Loop::Vector : Loop::Table;
    return loop;
#endif
}

void ByteMap::apply(std::span<std::byte> data, std::byte* copy, Loop loop) const {
    std::size_t n = data.size();
    if (kind_ == Kind::Table || loop == Loop::Table) {
        applyTable(data.data(), copy, n);
        return;
    }
    // A short head by the table brings the copy to a 16-byte boundary for the streaming stores.
    std::size_t head = copy ? (16 - reinterpret_cast<std::uintptr_t>(copy) % 16) % 16 : 0;
    if (head > n) head = n;
    applyTable(data.data(), copy, head);
    std::byte* rest = data.data() + head;
    std::byte* restCopy = copy ? copy + head : nullptr;
    n -= head;
    std::size_t bulk = n & ~std::size_t{63};
    static_assert(static_cast<int>(Kind::AddRing) == 0 && static_cast<int>(Kind::XorSubRing) == 4, "kernel shapes");
    runVector(static_cast<int>(kind_), rest, restCopy, bulk, x_, k_);
    applyTable(rest + bulk, restCopy ? restCopy + bulk : nullptr, n - bulk);
}

}  // namespace kro::codec
