#include "filesystem/takeout.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "frame/errors.h"

namespace kro::takeout {
namespace {

constexpr std::uint64_t kDosSignatureSize = 64;   // the DOS header up to the PE header offset
constexpr std::uint64_t kFileHeaderSize = 24;     // "PE\0\0" + the COFF file header
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSizeOfHeadersOffset = 60;  // within the optional header (PE32 and PE32+)

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly `n` bytes at `offset`; false when the file is shorter.
bool readAt(file::File& f, std::uint64_t offset, unsigned char* out, std::size_t n) {
    f.seek(offset);
    return f.read(std::span<std::byte>(reinterpret_cast<std::byte*>(out), n)) == n;
}

}  // namespace

std::uint64_t imageEnd(file::File& f) {
    const std::uint64_t size = f.size();
    if (size < kDosSignatureSize) return 0;

    unsigned char dos[kDosSignatureSize];
    if (!readAt(f, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return 0;
    const std::uint64_t peOffset = le32(dos + 60);
    if (peOffset + kFileHeaderSize > size) return 0;

    unsigned char header[kFileHeaderSize];
    if (!readAt(f, peOffset, header, sizeof header)) return 0;
    if (std::memcmp(header, "PE\0\0", 4) != 0) return 0;
    const std::uint64_t sections = le16(header + 6);
    const std::uint64_t optionalSize = le16(header + 20);

    const std::uint64_t optionalStart = peOffset + kFileHeaderSize;
    const std::uint64_t tableStart = optionalStart + optionalSize;
    const std::uint64_t tableEnd = tableStart + sections * kSectionHeaderSize;
    if (tableEnd > size) return 0;

    std::uint64_t end = tableEnd;
    if (optionalSize >= kSizeOfHeadersOffset + 4) {
        unsigned char v[4];
        if (!readAt(f, optionalStart + kSizeOfHeadersOffset, v, 4)) return 0;
        end = std::max<std::uint64_t>(end, le32(v));
    }

    std::vector<unsigned char> table(static_cast<std::size_t>(sections * kSectionHeaderSize));
    if (!table.empty() && !readAt(f, tableStart, table.data(), table.size())) return 0;
    for (std::uint64_t i = 0; i < sections; ++i) {
        const unsigned char* s = table.data() + i * kSectionHeaderSize;
        const std::uint64_t rawSize = le32(s + 16);
        const std::uint64_t rawOffset = le32(s + 20);
        if (rawSize == 0) continue;  // no data in the file (uninitialised data)
        end = std::max(end, rawOffset + rawSize);
    }
    return end > size ? 0 : end;
}

bool extract(const std::wstring& exePath, const std::wstring& outPath) {
    file::File exe(exePath, file::Mode::Read);
    const std::uint64_t size = exe.size();
    const std::uint64_t start = imageEnd(exe);
    if (start >= size) return false;

    // Writing into the executable itself would overwrite its start with its own tail.
    if (file::sameFile(exe.handle(), outPath)) raise(err::PathFileAccessError);
    file::File out(outPath, file::Mode::ReadWrite);
    exe.seek(start);
    std::vector<std::byte> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(size - start, file::kCopyChunk)));
    file::copyBytes(exe, out, size - start, buffer);  // a file that shrank meanwhile gives what was there
    out.truncateHere();
    return true;
}

}  // namespace kro::takeout
