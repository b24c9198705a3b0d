#pragma once
// Binary file access with 64-bit sizes and offsets; every failure raises the runtime error that
// matches the Win32 error (53 file not found, 76 path not found, 70 permission denied, ...).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "frame/raii.h"

namespace kro::file {

enum class Mode {
    Read,          // existing file, read only
    ReadWrite,     // created when missing, never emptied
    Truncate,      // created when missing, emptied when present
};

class File {
public:
    File(const std::wstring& path, Mode mode);
    std::uint64_t size() const;
    void seek(std::uint64_t offset);
    // Reads up to buffer.size() bytes; returns how many were read (0 at the end).
    std::size_t read(std::span<std::byte> buffer);
    // Reads exactly buffer.size() bytes or raises "input past end of file" (62).
    void readExact(std::span<std::byte> buffer);
    void write(std::span<const std::byte> data);
    // Cuts the file at the current position.
    void truncateHere();
    HANDLE handle() const { return handle_.get(); }
    // Whether this open created the file: then it is no other file opened before it.
    bool createdHere() const { return created_; }
private:
    Handle handle_;
    bool created_ = false;
};

// The buffer size of the loops that move a file's bytes: the fastest for large files under Wine
// (bench/filemoving); 1 MiB buffers made a gigabyte's join up to three times slower.
inline constexpr std::size_t kCopyChunk = std::size_t{1} << 18;

// Copies up to `length` bytes from the position of `from` to the position of `to`, chunk by chunk
// through `buffer`; returns how many were copied (fewer only when `from` ends first).
std::uint64_t copyBytes(File& from, File& to, std::uint64_t length, std::span<std::byte> buffer);

// The whole content of an existing file.
std::vector<std::byte> readAll(const std::wstring& path);
// Writes `data` from the first byte of `path` (created when missing); with `cutToLength` the
// file ends right after the data, otherwise a longer file keeps its tail.
void writeFromStart(const std::wstring& path, std::span<const std::byte> data, bool cutToLength);

bool exists(const std::wstring& path);       // a file (not a folder)
bool folderExists(const std::wstring& path);

// The absolute form of `path`, resolved against the current folder; empty when the platform
// cannot resolve it.
std::wstring fullPath(const std::wstring& path);

// Whether two open handles, or an open handle and a path, name the same file, however the path
// is spelled (case, relative form, 8.3 short name, another link to it). False when either
// cannot be asked.
bool sameFile(HANDLE a, HANDLE b);
bool sameFile(HANDLE a, const std::wstring& path);

}  // namespace kro::file
