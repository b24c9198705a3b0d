#include "filesystem/fileversion.h"

#include <cstring>
#include <vector>

namespace kro::fileversion {

std::wstring versionText(DWORD ms, DWORD ls) {
    return std::to_wstring(HIWORD(ms)) + L"." + std::to_wstring(LOWORD(ms)) + L"." + std::to_wstring(HIWORD(ls)) + L"." +
           std::to_wstring(LOWORD(ls));
}

std::optional<Versions> query(const std::wstring& path) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
    void* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &fixed, &length) || !fixed || length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixed, sizeof info);
    return Versions{versionText(info.dwFileVersionMS, info.dwFileVersionLS),
                    versionText(info.dwProductVersionMS, info.dwProductVersionLS)};
}

}  // namespace kro::fileversion
