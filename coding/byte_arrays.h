#pragma once
// The caller's Byte array as the array-form coders see it (transformed in place from index 0
// to its upper bound, a copy of the same bounds handed back), and files coded with a byte map.
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

// Raises 5 for a by-reference argument that a C or C++ caller passed as a null pointer.
void checkPointer(const void* p);

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

// Codes the open `source` (from its start, as long as it is now) into `dest` with `map`; `dest`
// ends exactly as long as the source. `beforeWrite` runs before the destination is touched.
//
// A map that can overflow (see ByteMap::canOverflow) codes the whole source in memory before
// anything is written, so a failure leaves the destination untouched. Any other map streams the
// file through in blocks, each written back at its own offset after it was read, so source and
// destination may be the same file.
void transformFile(file::File& source, const std::wstring& dest, const codec::ByteMap& map,
                   const std::function<void()>& beforeWrite = {});

}  // namespace kro::coding
