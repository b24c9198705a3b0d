#include "filesystem/file.h"

#include <algorithm>

#include "frame/errors.h"

namespace kro::file {

File::File(const std::wstring& path, Mode mode) {
    DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = mode == Mode::Read ? OPEN_EXISTING : OPEN_ALWAYS;
    handle_.reset(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | (mode == Mode::Read ? FILE_SHARE_WRITE : 0), nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle_) {
        DWORD e = ::GetLastError();
        if (e == ERROR_ACCESS_DENIED && folderExists(path)) raise(err::PathFileAccessError);
        raiseWin32(e);
    }
    created_ = disposition == OPEN_ALWAYS && ::GetLastError() != ERROR_ALREADY_EXISTS;
    if (mode == Mode::Truncate) truncateHere();
}

std::uint64_t File::size() const {
    LARGE_INTEGER s{};
    if (!::GetFileSizeEx(handle_.get(), &s)) raiseWin32();
    return static_cast<std::uint64_t>(s.QuadPart);
}

void File::seek(std::uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN)) raiseWin32();
}

std::size_t File::read(std::span<std::byte> buffer) {
    std::size_t total = 0;
    while (total < buffer.size()) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - total, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handle_.get(), buffer.data() + total, want, &got, nullptr)) raiseWin32();
        if (got == 0) break;
        total += got;
    }
    return total;
}

void File::readExact(std::span<std::byte> buffer) {
    if (read(buffer) != buffer.size()) raise(err::InputPastEnd);
}

void File::write(std::span<const std::byte> data) {
    std::size_t total = 0;
    while (total < data.size()) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - total, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(handle_.get(), data.data() + total, want, &put, nullptr)) raiseWin32();
        if (put == 0) raise(err::DiskFull);
        total += put;
    }
}

void File::truncateHere() {
    if (!::SetEndOfFile(handle_.get())) raiseWin32();
}

std::uint64_t copyBytes(File& from, File& to, std::uint64_t length, std::span<std::byte> buffer) {
    std::uint64_t done = 0;
    while (done < length) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        const std::size_t got = from.read(buffer.first(want));
        if (got == 0) break;
        to.write(buffer.first(got));
        done += got;
    }
    return done;
}

std::vector<std::byte> readAll(const std::wstring& path) {
    File f(path, Mode::Read);
    std::uint64_t n = f.size();
    if (n > static_cast<std::uint64_t>(0x7FFFFFFF)) raise(err::OutOfMemory);
    std::vector<std::byte> data(static_cast<std::size_t>(n));
    data.resize(f.read(data));
    return data;
}

void writeFromStart(const std::wstring& path, std::span<const std::byte> data, bool cutToLength) {
    File f(path, Mode::ReadWrite);
    f.write(data);
    if (cutToLength) f.truncateHere();
}

bool exists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring fullPath(const std::wstring& path) {
    DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return {};
    full.resize(n);
    return full;
}

bool sameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (!::GetFileInformationByHandle(a, &ia) || !::GetFileInformationByHandle(b, &ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

bool sameFile(HANDLE a, const std::wstring& path) {
    Handle b(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return b && sameFile(a, b.get());
}

}  // namespace kro::file
