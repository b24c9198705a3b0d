// The module's exports: class factories, the unload query, and registration machine-wide
// (DllRegisterServer) or for the current user only (DllInstall with "user").
#include <windows.h>
#include <olectl.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "kro_version.h"
#include "frame/catalog.h"
#include "frame/module.h"
#include "frame/per_thread.h"
#include "frame/raii.h"
#include "frame/unknown.h"

namespace kro {
namespace {

class ClassFactory final : public Unknown<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return entry_.create(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        module::lock(lock != FALSE);
        return S_OK;
    }

private:
    const ClassEntry& entry_;
};

std::wstring guidText(REFGUID g) {
    wchar_t buf[40] = {};
    ::StringFromGUID2(g, buf, 40);
    return buf;
}

LSTATUS setValue(HKEY key, const wchar_t* name, const std::wstring& value) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS writeKey(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    RegKey key;
    LSTATUS s = ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    if (s != ERROR_SUCCESS) return s;
    return setValue(key.get(), name, value);
}

// Writes the class and ProgID keys under `classes` (the machine's or a user's Software\Classes).
HRESULT registerClasses(HKEY classes) {
    const std::wstring modulePath = module::path();
    const std::wstring libid = guidText(LIBID_kroProgramDll);
    std::size_t count = 0;
    const ClassEntry* entries = classCatalog(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const ClassEntry& c = entries[i];
        const std::wstring progId = std::wstring(kLibraryName) + L"." + c.name;
        const std::wstring clsidKey = L"CLSID\\" + guidText(*c.clsid);
        LSTATUS s = ERROR_SUCCESS;
        if (!s) s = writeKey(classes, clsidKey, nullptr, progId);
        if (!s) s = writeKey(classes, clsidKey + L"\\InprocServer32", nullptr, modulePath);
        if (!s) s = writeKey(classes, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (!s) s = writeKey(classes, clsidKey + L"\\ProgID", nullptr, progId);
        if (!s) s = writeKey(classes, clsidKey + L"\\TypeLib", nullptr, libid);
        if (!s) s = writeKey(classes, clsidKey + L"\\Version", nullptr, KRO_TYPELIB_VERSION_TEXT);
        if (!s) s = writeKey(classes, clsidKey + L"\\Programmable", nullptr, L"");
        if (!s) s = writeKey(classes, progId, nullptr, progId);
        if (!s) s = writeKey(classes, progId + L"\\CLSID", nullptr, guidText(*c.clsid));
        if (s != ERROR_SUCCESS) return HRESULT_FROM_WIN32(s);
    }
    return S_OK;
}

// Per-user type library registration (Vista and later), looked up at run time.
using RegisterForUserFn = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterForUserFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

template <class Fn>
Fn oleautFunction(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"oleaut32.dll"), name)));
}

HRESULT loadOwnTypeLib(ITypeLib** lib) { return ::LoadTypeLibEx(module::path().c_str(), REGKIND_NONE, lib); }

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

// The type library's header carries locale 0x409, but it serves every locale: move the
// registration from "<version>\409" to the neutral "<version>\0".
void registerUnderNeutralLocale(bool perUser) {
    const std::wstring version = std::wstring(perUser ? L"Software\\Classes\\" : L"") + L"TypeLib\\" + guidText(LIBID_kroProgramDll) + L"\\" + std::wstring(KRO_TYPELIB_VERSION_TEXT);
    HKEY root = perUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
    RegKey from, to;
    if (::RegOpenKeyExW(root, (version + L"\\409").c_str(), 0, KEY_READ, from.put()) != ERROR_SUCCESS) return;
    if (::RegCreateKeyExW(root, (version + L"\\0").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, to.put(), nullptr) != ERROR_SUCCESS) return;
    if (::RegCopyTreeW(from.get(), nullptr, to.get()) == ERROR_SUCCESS) {
        from.reset();
        ::RegDeleteTreeW(root, (version + L"\\409").c_str());
    }
}

HRESULT registerServer(bool perUser) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = loadOwnTypeLib(lib.put());
    if (FAILED(hr)) return SELFREG_E_TYPELIB;
    std::wstring path = module::path();
    if (perUser) {
        auto registerForUser = oleautFunction<RegisterForUserFn>("RegisterTypeLibForUser");
        hr = registerForUser ? registerForUser(lib.get(), path.data(), nullptr) : E_NOTIMPL;
    } else {
        hr = ::RegisterTypeLib(lib.get(), path.data(), nullptr);
    }
    if (FAILED(hr)) return SELFREG_E_TYPELIB;
    registerUnderNeutralLocale(perUser);
    // Machine-wide into HKLM itself: through HKEY_CLASSES_ROOT a key that the user already has
    // under HKCU would be written there, where elevated programs never look.
    RegKey classes;
    LSTATUS s = ::RegCreateKeyExW(perUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, classes.put(), nullptr);
    if (s != ERROR_SUCCESS) return SELFREG_E_CLASS;
    return SUCCEEDED(registerClasses(classes.get())) ? S_OK : SELFREG_E_CLASS;
}

// --- unregistration --------------------------------------------------------------------------
// Both modules may be registered on one machine. Windows keeps CLSID and Interface apart per
// registry view (the 32-bit one under Wow6432Node) but shares the ProgID keys and TypeLib between
// them, so each module removes only its own: its CLSIDs and interface keys in its own view, its
// own platform subkey of the type library, and a shared key only when the other module no longer
// uses it.

#ifdef _WIN64
constexpr REGSAM kOwnView = KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
constexpr const wchar_t* kOwnPlatform = L"win64";
#else
constexpr REGSAM kOwnView = KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;  // ignored on 32-bit Windows: the same view
constexpr const wchar_t* kOwnPlatform = L"win32";
#endif

// The classes key machine-wide or of the current user, as a root and a path prefix.
struct Classes {
    HKEY root;
    std::wstring under(const std::wstring& path) const { return L"Software\\Classes\\" + path; }
};

bool keyExists(const Classes& c, const std::wstring& path, REGSAM view) {
    RegKey key;
    return ::RegOpenKeyExW(c.root, c.under(path).c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

void deleteTree(const Classes& c, const std::wstring& path, REGSAM view) {
    const std::wstring full = c.under(path);
    {
        RegKey key;
        if (::RegOpenKeyExW(c.root, full.c_str(), 0, KEY_ALL_ACCESS | view, key.put()) != ERROR_SUCCESS) return;
        ::RegDeleteTreeW(key.get(), nullptr);
    }
    ::RegDeleteKeyExW(c.root, full.c_str(), view, 0);
}

std::vector<std::wstring> subkeys(const Classes& c, const std::wstring& path, REGSAM view) {
    std::vector<std::wstring> names;
    RegKey key;
    if (::RegOpenKeyExW(c.root, c.under(path).c_str(), 0, KEY_READ | view, key.put()) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

// This module's platform subkey of the type library; the version key and the library key go
// when no platform of any locale is left in them.
void removeOwnTypeLib(const Classes& c) {
    const std::wstring library = L"TypeLib\\" + guidText(LIBID_kroProgramDll);
    const std::wstring version = library + L"\\" + KRO_TYPELIB_VERSION_TEXT;
    bool localeLeft = false;
    for (const std::wstring& locale : subkeys(c, version, kOwnView)) {
        if (locale == L"FLAGS" || locale == L"HELPDIR") continue;
        deleteTree(c, version + L"\\" + locale + L"\\" + kOwnPlatform, kOwnView);
        if (subkeys(c, version + L"\\" + locale, kOwnView).empty())
            deleteTree(c, version + L"\\" + locale, kOwnView);
        else
            localeLeft = true;
    }
    if (!localeLeft) deleteTree(c, version, kOwnView);
    if (subkeys(c, library, kOwnView).empty()) deleteTree(c, library, kOwnView);
}

void removeOwnInterfaces(const Classes& c) {
    ComPtr<ITypeLib> lib;
    if (FAILED(loadOwnTypeLib(lib.put()))) return;
    for (UINT i = 0, n = lib->GetTypeInfoCount(); i < n; ++i) {
        TYPEATTR* attr = nullptr;
        ComPtr<ITypeInfo> ti;
        if (FAILED(lib->GetTypeInfo(i, ti.put())) || FAILED(ti->GetTypeAttr(&attr))) continue;
        if (attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE)
            deleteTree(c, L"Interface\\" + guidText(attr->guid), kOwnView);
        ti->ReleaseTypeAttr(attr);
    }
}

void removeOwnClasses(const Classes& c) {
    std::size_t count = 0;
    const ClassEntry* entries = classCatalog(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring clsidKey = L"CLSID\\" + guidText(*entries[i].clsid);
        deleteTree(c, clsidKey, kOwnView);
        // The ProgID serves the other module too while its class is registered in its view.
        if (!keyExists(c, clsidKey + L"\\InprocServer32", kOtherView))
            deleteTree(c, std::wstring(kLibraryName) + L"." + entries[i].name, kOwnView);
    }
}

HRESULT unregisterServer(bool perUser) {
    if (perUser) {
        if (auto unregisterForUser = oleautFunction<UnregisterForUserFn>("UnRegisterTypeLibForUser"))
            unregisterForUser(LIBID_kroProgramDll, KRO_TYPELIB_MAJOR, KRO_TYPELIB_MINOR, 0, kSysKind);
    }
    const Classes classes{perUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE};
    removeOwnClasses(classes);
    removeOwnInterfaces(classes);
    removeOwnTypeLib(classes);
    return S_OK;
}

}  // namespace
}  // namespace kro

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        kro::module::setHandle(instance);
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: no thread may later call back into this code.
        kro::module::freeThreadSlots();
        kro::module::runUnloadActions();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const kro::ClassEntry* entry = kro::findClass(clsid);
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) kro::ClassFactory(*entry);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return kro::module::canUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return kro::registerServer(false); }

STDAPI DllUnregisterServer() { return kro::unregisterServer(false); }

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    bool perUser = commandLine && ::CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) == CSTR_EQUAL;
    if (!perUser) return install ? kro::registerServer(false) : kro::unregisterServer(false);
    return install ? kro::registerServer(true) : kro::unregisterServer(true);
}

}  // extern "C"
