// Records what a module's DllRegisterServer writes, without touching the machine's registry:
// for the call, HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT of this process are redirected to
// scratch keys of the current user (RegOverridePredefKey), which are then written out and
// deleted. Machine-wide class registrations end up under HKLM\Software\Classes either way, so
// both are written out as that.
//
// usage: regcapture <module> <output file>
// Output (UTF-8), one line each, keys before their values, in registry order:
//   K <tab> key
//   V <tab> key <tab> value name ("" for the default) <tab> type number <tab> data
// where string data is as stored and other data is lower-case hexadecimal bytes.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kScratch = L"Software\\kroProgramDll-registration-capture";

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string hex(const BYTE* data, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (DWORD i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

bool dump(HKEY key, const std::wstring& path, FILE* out) {
    std::fprintf(out, "K\t%s\n", utf8(path).c_str());
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        LSTATUS s = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size);
        if (s == ERROR_NO_MORE_ITEMS) break;
        if (s != ERROR_SUCCESS) return false;
        std::vector<BYTE> data(size + sizeof(wchar_t));
        nameLength = 16384;
        if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return false;
        std::string text;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring value(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
            while (!value.empty() && value.back() == L'\0') value.pop_back();
            text = utf8(value);
        } else {
            text = hex(data.data(), size);
        }
        std::fprintf(out, "V\t%s\t%s\t%lu\t%s\n", utf8(path).c_str(), utf8(std::wstring(name, nameLength)).c_str(),
                     static_cast<unsigned long>(type), text.c_str());
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        LSTATUS s = ::RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (s == ERROR_NO_MORE_ITEMS) break;
        if (s != ERROR_SUCCESS) return false;
        HKEY child = nullptr;
        if (::RegOpenKeyExW(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) return false;
        bool ok = dump(child, path + L"\\" + name, out);
        ::RegCloseKey(child);
        if (!ok) return false;
    }
    return true;
}

// Writes every key under `root` (a scratch key standing for `shownAs`) below `under`.
bool dumpChildren(HKEY root, const std::wstring& shownAs, const std::wstring& under, FILE* out) {
    HKEY start = nullptr;
    if (::RegOpenKeyExW(root, under.c_str(), 0, KEY_READ, &start) != ERROR_SUCCESS) return true;  // nothing written there
    bool ok = true;
    for (DWORD i = 0; ok; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        LSTATUS s = ::RegEnumKeyExW(start, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (s == ERROR_NO_MORE_ITEMS) break;
        HKEY child = nullptr;
        ok = s == ERROR_SUCCESS && ::RegOpenKeyExW(start, name, 0, KEY_READ, &child) == ERROR_SUCCESS;
        if (ok) {
            ok = dump(child, shownAs + L"\\" + name, out);
            ::RegCloseKey(child);
        }
    }
    ::RegCloseKey(start);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: regcapture <module> <output file>\n");
        return 2;
    }
    const std::wstring machinePath = std::wstring(kScratch) + L"\\machine";
    const std::wstring classesPath = std::wstring(kScratch) + L"\\classes";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    HKEY machine = nullptr, classes = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, machinePath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine, nullptr) ||
        ::RegCreateKeyExW(HKEY_CURRENT_USER, classesPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes, nullptr)) {
        std::fprintf(stderr, "regcapture: cannot create the scratch keys\n");
        return 1;
    }
    // The module is loaded before the redirection: loading reads nothing of it, but the
    // system's own libraries must find their settings where they are.
    HMODULE module = ::LoadLibraryW(argv[1]);
    auto registerServer = module ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                       reinterpret_cast<void*>(::GetProcAddress(module, "DllRegisterServer")))
                                 : nullptr;
    if (!registerServer) {
        std::fprintf(stderr, "regcapture: cannot load the module or find DllRegisterServer\n");
        return 1;
    }
    HRESULT hr = E_FAIL;
    if (::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) == ERROR_SUCCESS &&
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, classes) == ERROR_SUCCESS) {
        hr = registerServer();
    }
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (FAILED(hr)) {
        std::fprintf(stderr, "regcapture: DllRegisterServer failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        return 1;
    }
    FILE* out = _wfopen(argv[2], L"wb");
    bool ok = out && dumpChildren(machine, L"HKEY_LOCAL_MACHINE\\Software\\Classes", L"Software\\Classes", out) &&
              dumpChildren(classes, L"HKEY_LOCAL_MACHINE\\Software\\Classes", L"", out);
    if (out) ok = std::fclose(out) == 0 && ok;
    ::RegCloseKey(machine);
    ::RegCloseKey(classes);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    if (!ok) {
        std::fprintf(stderr, "regcapture: cannot write the output\n");
        return 1;
    }
    return 0;
}
