#pragma once
// The password codec and the XOR coder on plain bytes.
//
// A password folds into a pass code; every byte is then shifted by that code inside a ring of
// 255 steps (not 256: the values 0 and 255 share one place on the ring, which stored data
// relies on). The XOR coder XORs all 32 bits of a value with each byte and folds the result
// back into a byte the same way. The arithmetic below is the stored format: it must not change.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kro::codec {

// The ANSI code of one UTF-16 unit in the system code page: a single-byte character gives
// 0..255, a double-byte character its two-byte code (lead * 256 + trail) read as a signed
// 16-bit number.
std::int32_t ansiCode(wchar_t ch);

// The pass code of a password: the sum of the characters' ANSI codes, brought down by 255
// while above 255 after each addition; negative sums stay as they are. A sum beyond 32 bits
// raises overflow (6).
std::int32_t passCode(std::wstring_view password);

// One byte coded, decoded or XORed exactly as the format defines it, or nothing where the
// arithmetic overflows (coding: byte + code below 0; decoding: byte - code above 255).
std::optional<std::uint8_t> codeByte(std::uint8_t b, std::int32_t passCode);
std::optional<std::uint8_t> decodeByte(std::uint8_t b, std::int32_t passCode);
std::uint8_t xorByte(std::uint8_t b, std::int32_t value);

// A byte transform fixed for one call: built once from the pass code (or XOR value), then
// applied to whole arrays at memory speed.
class ByteMap {
public:
    static ByteMap coding(std::int32_t passCode);
    static ByteMap decoding(std::int32_t passCode);
    static ByteMap xoring(std::int32_t value);

    // Whether some byte value overflows under this map (only negative pass codes do).
    bool canOverflow() const { return anyOverflow_; }

    // The new value of one byte, or nothing where it overflows.
    std::optional<std::uint8_t> operator()(std::uint8_t b) const;

    // The loops that run a map over an array: the 256-entry table, which every processor runs,
    // and 16-byte vectors, which need SSE2 (every x64 processor has it; on x86 it is looked up
    // once, when first needed). Both give the same bytes.
    enum class Loop { Table, Vector };
    static Loop fastestLoop();

    // Transforms `data` in place, front to back, and writes the same bytes to `copy` (when not
    // null; it holds data.size() bytes). At the first byte that overflows, the bytes before it
    // stay transformed (and copied), and overflow (6) is raised. Runs the fastest loop, or the
    // one named (Vector only where fastestLoop() is Vector).
    void apply(std::span<std::byte> data, std::byte* copy = nullptr) const { apply(data, copy, fastestLoop()); }
    void apply(std::span<std::byte> data, std::byte* copy, Loop loop) const;

private:
    // Shapes the vector kernels handle; every map also has its full table.
    enum class Kind {
        AddRing,        // b + k, one step down the ring on carry          (k = 0..255)
        SubRing,        // b - k, one step up the ring on borrow           (k = 0..255)
        Xor,            // b ^ x
        XorAddRing,     // AddRing(b ^ x, k), a result of 0 becoming 255
        XorSubRing,     // SubRing(b ^ x, k), a result of 255 becoming 0
        Table,          // anything else (negative pass codes): table with overflow marks
    };
    ByteMap() = default;
    void fillTable();
    void applyTable(std::byte* data, std::byte* copy, std::size_t n) const;

    Kind kind_ = Kind::Table;
    std::uint8_t x_ = 0;
    std::uint8_t k_ = 0;
    std::int32_t param_ = 0;
    enum class Op { Code, Decode, Xor } op_ = Op::Code;
    std::array<std::uint8_t, 256> table_{};
    std::array<bool, 256> overflows_{};
    bool anyOverflow_ = false;
};

}  // namespace kro::codec
