#pragma once
// The caller's Byte array as the array-form coders see it (transformed in place from index 0
// to its upper bound, a copy of the same bounds handed back), and files coded through the
// object's own array members.
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "coding/codec.h"
#include "filesystem/file.h"
#include "frame/automation.h"
#include "frame/raii.h"

namespace kro::coding {

class CallerBytes {
public:
    // Fails with 9 for an array never dimensioned or whose lower bound is above 0 (the first
    // index visited, 0, is then outside it), and with 13 for another shape or element type.
    explicit CallerBytes(SAFEARRAY** array);
    // The elements at indexes 0 to the upper bound.
    std::span<std::byte> fromZero() const { return all_.subspan(offset_); }
    // Every element, whatever its index.
    std::span<std::byte> all() const { return all_; }
    LONG upperBound() const { return lower_ + static_cast<LONG>(all_.size()) - 1; }

    // Transforms the elements from index 0 on in place and returns a copy of the whole array
    // with the same bounds. On an overflow the elements before it stay transformed and no
    // copy is returned.
    SAFEARRAY* transformWithCopy(const codec::ByteMap& map) const;

private:
    ByteArrayAccess access_;
    std::span<std::byte> all_;
    LONG lower_;
    std::size_t offset_;
};

// The bytes of a Byte array created by this library or handed back by one of its members.
std::span<const std::byte> arrayBytes(SAFEARRAY* array);

// One of the object's array members: transforms `piece` and hands back the transformed copy.
using ArrayTransform = std::function<void(SAFEARRAY** piece, SAFEARRAY** result)>;

// Codes the open `source` (from its start, as long as it is now) into `dest`, which ends
// exactly as long as the source. Runs before the destination is touched: `beforeWrite`.
//
// With `whole`, the source is read completely, transformed in one piece and only then
// written (the returned copy), so a transform that fails leaves the destination untouched.
// Otherwise the file goes through in pieces small enough to reuse warm memory, each coded in
// place by the transform (as the array members do with the caller's array); the destination
// is opened before the first piece, and each block is written back at its own offset after it
// was read, so source and destination may still be the same file. Use pieces only with a
// transform that cannot fail on the data.
void transformFile(file::File& source, const std::wstring& dest, bool whole, const ArrayTransform& transform,
                   const std::function<void()>& beforeWrite = {});

}  // namespace kro::coding
