#pragma once
// Scratch folders and whole-file helpers for tests.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace kro::test {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }          // without trailing backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
private:
    std::wstring path_;
};

void removeTree(const std::wstring& path);
void writeBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> readBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);
bool folderExists(const std::wstring& path);

}  // namespace kro::test
