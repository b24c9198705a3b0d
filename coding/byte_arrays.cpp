#include "coding/byte_arrays.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "frame/errors.h"

namespace kro::coding {

void checkPointer(const void* p) {
    if (!p) raise(err::InvalidCall, L"No variable was passed for a by-reference argument");
}

namespace {

SAFEARRAY* checked(SAFEARRAY** array) {
    if (!array) raise(err::InvalidCall, L"No array variable was passed");
    return *array;
}

std::byte* dataOf(SAFEARRAY* a) { return static_cast<std::byte*>(a->pvData); }

}  // namespace

CallerBytes::CallerBytes(SAFEARRAY** array) : access_(checked(array)) {
    all_ = access_.bytes();
    lower_ = access_.lowerBound();
    if (lower_ > 0) raise(err::SubscriptOutOfRange);
    offset_ = static_cast<std::size_t>(-static_cast<long long>(lower_));
    if (offset_ > all_.size()) offset_ = all_.size();  // the array ends below index 0
}

SAFEARRAY* CallerBytes::transformWithCopy(const codec::ByteMap& map) const {
    // The copy is made before the caller's array changes, so a failed allocation leaves it whole.
    SAFEARRAYBOUND bound{static_cast<ULONG>(all_.size()), lower_};
    SafeArray copy(::SafeArrayCreate(VT_UI1, 1, &bound));
    if (!copy.get()) throw std::bad_alloc();
    auto* out = dataOf(copy.get());
    if (offset_ > 0) std::memcpy(out, all_.data(), offset_);
    map.apply(fromZero(), out + offset_);
    return copy.release();
}

std::span<const std::byte> arrayBytes(SAFEARRAY* array) {
    if (!array || ::SafeArrayGetDim(array) != 1 || !array->pvData) return {};
    return {static_cast<const std::byte*>(array->pvData), array->rgsabound[0].cElements};
}

void transformFile(file::File& source, const std::wstring& dest, const codec::ByteMap& map,
                   const std::function<void()>& beforeWrite) {
    std::uint64_t size = source.size();
    if (map.canOverflow()) {
        // What would be one Byte array holds at most 2 GiB.
        if (size > static_cast<std::uint64_t>(0x7FFFFFFF)) raise(err::OutOfMemory);
        std::vector<std::byte> data(static_cast<std::size_t>(size));
        data.resize(source.read(data));  // shorter when the file shrank while it was read
        map.apply(data);
        if (beforeWrite) beforeWrite();
        file::writeFromStart(dest, data, true);
        return;
    }
    if (beforeWrite) beforeWrite();
    file::File out(dest, file::Mode::ReadWrite);
    std::vector<std::byte> block(static_cast<std::size_t>(std::min<std::uint64_t>(size, file::kCopyChunk)));
    std::uint64_t done = 0;
    while (done < size) {
        std::size_t got = source.read({block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(size - done, block.size()))});
        if (got == 0) break;  // the file became shorter while it was read
        map.apply({block.data(), got});
        out.write({block.data(), got});
        done += got;
    }
    out.truncateHere();
}

}  // namespace kro::coding
