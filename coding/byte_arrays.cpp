#include "coding/byte_arrays.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "frame/errors.h"

namespace kro::coding {

namespace {

SAFEARRAY* checked(SAFEARRAY** array) {
    if (!array) raise(err::InvalidCall, L"No array variable was passed");
    return *array;
}

// Pieces this small come back from the heap already touched, call after call (the members
// return a new array each time); larger blocks are fresh memory each time, whose first touch
// costs far more than the coding itself. The file itself is read and written in larger blocks.
constexpr std::size_t kPieceSize = std::size_t{64} << 10;
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// A Byte array over memory the caller owns (one piece of the block buffer); destroying it
// releases the descriptor only.
class PieceArray {
public:
    PieceArray() {
        if (FAILED(::SafeArrayAllocDescriptorEx(VT_UI1, 1, &array_))) throw std::bad_alloc();
        array_->fFeatures |= FADF_STATIC | FADF_FIXEDSIZE;
    }
    ~PieceArray() {
        array_->pvData = nullptr;
        ::SafeArrayDestroyDescriptor(array_);
    }
    PieceArray(const PieceArray&) = delete;
    PieceArray& operator=(const PieceArray&) = delete;
    SAFEARRAY* over(std::byte* data, std::size_t n) {
        array_->pvData = data;
        array_->rgsabound[0].cElements = static_cast<ULONG>(n);
        array_->rgsabound[0].lLbound = 0;
        return array_;
    }
private:
    SAFEARRAY* array_ = nullptr;
};

std::byte* dataOf(SAFEARRAY* a) { return static_cast<std::byte*>(a->pvData); }

SafeArray newByteArray(std::size_t n) {
    SafeArray a(::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(n)));
    if (!a.get()) throw std::bad_alloc();
    return a;
}

SafeArray runTransform(const ArrayTransform& transform, SAFEARRAY* piece) {
    SAFEARRAY* passed = piece;
    SAFEARRAY* result = nullptr;
    transform(&passed, &result);
    return SafeArray(result);
}

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

void transformFile(file::File& source, const std::wstring& dest, bool whole, const ArrayTransform& transform,
                   const std::function<void()>& beforeWrite) {
    std::uint64_t size = source.size();
    if (whole) {
        // A Byte array holds at most 2 GiB.
        if (size > static_cast<std::uint64_t>(0x7FFFFFFF)) raise(err::OutOfMemory);
        SafeArray data = newByteArray(static_cast<std::size_t>(size));
        std::size_t got = source.read({dataOf(data.get()), static_cast<std::size_t>(size)});
        if (got != size) {  // the file became shorter while it was read
            SAFEARRAYBOUND bound{static_cast<ULONG>(got), 0};
            if (FAILED(::SafeArrayRedim(data.get(), &bound))) throw std::bad_alloc();
        }
        SafeArray result = runTransform(transform, data.get());
        if (beforeWrite) beforeWrite();
        file::writeFromStart(dest, arrayBytes(result.get()), true);
        return;
    }
    if (beforeWrite) beforeWrite();
    file::File out(dest, file::Mode::ReadWrite);
    std::vector<std::byte> block(static_cast<std::size_t>(std::min<std::uint64_t>(size, kBlockSize)));
    PieceArray piece;
    std::uint64_t done = 0;
    while (done < size) {
        std::size_t got = source.read({block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(size - done, block.size()))});
        if (got == 0) break;  // the file became shorter while it was read
        for (std::size_t at = 0; at < got; at += kPieceSize) {
            std::size_t n = std::min(kPieceSize, got - at);
            // The member codes the piece in place, inside the block, and hands back a copy of
            // it: the block is then written as it stands, without copying the piece back.
            SafeArray result = runTransform(transform, piece.over(block.data() + at, n));
            if (arrayBytes(result.get()).size() != n) raise(err::InternalError);
        }
        out.write({block.data(), got});
        done += got;
    }
    out.truncateHere();
}

}  // namespace kro::coding
