#include "frame/text.h"

#include <new>

namespace kro {

BSTR allocBstr(std::wstring_view s) {
    BSTR b = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    if (!b) throw std::bad_alloc();
    return b;
}

void assign(BSTR* target, std::wstring_view s) {
    BSTR b = allocBstr(s);
    if (*target) ::SysFreeString(*target);
    *target = b;
}

std::string toAnsi(std::wstring_view s) {
    if (s.empty()) return {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring fromAnsi(std::string_view s) {
    if (s.empty()) return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::wstring upperAscii(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return out;
}

}  // namespace kro

#include "frame/raii.h"

kro::Bstr::Bstr(std::wstring_view s) { *put() = kro::allocBstr(s); }
