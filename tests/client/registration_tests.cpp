// Registration (machine-wide and per user), class factories and the unload query, through the
// module's exports as regsvr32 and ole32 use them.
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <cstdlib>
#include <string>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"

using namespace kro;
using namespace kro::test;

namespace {

const wchar_t* const kClassNames[] = {
    L"DebugCls", L"IniFileCls", L"FormCls", L"StringHandCls", L"KeyCodeCls", L"DirectSoundCls",
    L"ProgramCls", L"GetDataCls", L"VorelCls", L"ConvertCls", L"FileSystemCls", L"CodeCls",
    L"WindowsCls", L"ApplicationCls", L"RegistryCls", L"MathClass", L"MainCls"};

class Module {
public:
    Module() : handle_(::LoadLibraryW(modulePath().c_str())) {}
    ~Module() { if (handle_) ::FreeLibrary(handle_); }
    HMODULE get() const { return handle_; }
    template <class Fn>
    Fn fn(const char* name) const { return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(handle_, name))); }
    HRESULT registerServer() const { return fn<HRESULT(WINAPI*)()>("DllRegisterServer")(); }
    HRESULT unregisterServer() const { return fn<HRESULT(WINAPI*)()>("DllUnregisterServer")(); }
    HRESULT install(BOOL on, const wchar_t* what) const { return fn<HRESULT(WINAPI*)(BOOL, LPCWSTR)>("DllInstall")(on, what); }
    HRESULT canUnload() const { return fn<HRESULT(WINAPI*)()>("DllCanUnloadNow")(); }
    HRESULT classObject(REFCLSID clsid, REFIID iid, void** out) const {
        return fn<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid, iid, out);
    }
private:
    HMODULE handle_;
};

std::wstring guidText(REFGUID g) {
    wchar_t buf[40];
    ::StringFromGUID2(g, buf, 40);
    return buf;
}

CLSID clsidOf(const wchar_t* className) {
    CLSID clsid{};
    // The ProgID may be unregistered at this point: read the CLSID from the type library instead.
    ComPtr<ITypeLib> lib;
    ::LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, lib.put());
    for (UINT i = 0, n = lib->GetTypeInfoCount(); i < n; ++i) {
        Bstr name;
        lib->GetDocumentation(static_cast<INT>(i), name.put(), nullptr, nullptr, nullptr);
        TYPEKIND kind;
        lib->GetTypeInfoType(i, &kind);
        if (kind == TKIND_COCLASS && name.view() == className) {
            ComPtr<ITypeInfo> ti;
            lib->GetTypeInfo(i, ti.put());
            TYPEATTR* attr = nullptr;
            ti->GetTypeAttr(&attr);
            clsid = attr->guid;
            ti->ReleaseTypeAttr(attr);
        }
    }
    return clsid;
}

std::wstring readValue(HKEY root, const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"<missing>";
    return buf;
}

bool keyExists(HKEY root, const std::wstring& path) {
    HKEY k;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    ::RegCloseKey(k);
    return true;
}

void expectRegistered(HKEY classes, bool registered) {
    for (const wchar_t* name : kClassNames) {
        std::wstring clsidKey = L"CLSID\\" + guidText(clsidOf(name));
        std::wstring progId = std::wstring(L"kroProgramDll.") + name;
        EXPECT_EQ(keyExists(classes, clsidKey), registered) << "CLSID key";
        EXPECT_EQ(keyExists(classes, progId), registered) << "ProgID key";
        if (!registered) continue;
        EXPECT_EQ(readValue(classes, clsidKey + L"\\InprocServer32"), modulePath());
        EXPECT_EQ(readValue(classes, clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(readValue(classes, clsidKey + L"\\ProgID"), progId);
        EXPECT_EQ(readValue(classes, clsidKey + L"\\TypeLib"), guidText(LIBID_kroProgramDll));
        EXPECT_EQ(readValue(classes, clsidKey + L"\\Version"), L"4.0");
        EXPECT_EQ(readValue(classes, progId + L"\\CLSID"), guidText(clsidOf(name)));
    }
}

bool runRegsvr32(const std::wstring& arguments) {
    std::wstring command = L"regsvr32.exe " + arguments + L" \"" + modulePath() + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    ::WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code == 0;
}

}  // namespace

TEST(Registration, MachineWideRoundTripLeavesNothingBehind) {
    Module module;
    ASSERT_TRUE(module.get());
    ASSERT_EQ(module.unregisterServer(), S_OK);
    expectRegistered(HKEY_CLASSES_ROOT, false);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + guidText(LIBID_kroProgramDll)));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, L"Interface\\" + guidText(IID__FileSystemCls)));

    ASSERT_EQ(module.registerServer(), S_OK);
    expectRegistered(HKEY_CLASSES_ROOT, true);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + guidText(LIBID_kroProgramDll) + L"\\4.0"));
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, L"Interface\\" + guidText(IID__FileSystemCls)), L"_FileSystemCls");
    // Dual interfaces marshal through the type library (the standard automation marshaler).
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, L"Interface\\" + guidText(IID__FileSystemCls) + L"\\ProxyStubClsid32"),
              L"{00020424-0000-0000-C000-000000000046}");
}

TEST(Registration, PerUserRoundTripUsesTheUsersClasses) {
    Module module;
    HKEY userClasses;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &userClasses, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(module.install(TRUE, L"user"), S_OK);
    expectRegistered(userClasses, true);
    ASSERT_EQ(module.install(FALSE, L"user"), S_OK);
    expectRegistered(userClasses, false);
    ::RegCloseKey(userClasses);
    // The machine-wide registration used by the other tests is intact (restore it if the
    // platform's per-user type library removal reached it).
    module.registerServer();
    expectRegistered(HKEY_CLASSES_ROOT, true);
}

TEST(Registration, Regsvr32RegistersAndUnregisters) {
    ASSERT_TRUE(runRegsvr32(L"/s /u"));
    expectRegistered(HKEY_CLASSES_ROOT, false);
    ASSERT_TRUE(runRegsvr32(L"/s"));
    expectRegistered(HKEY_CLASSES_ROOT, true);
    HKEY userClasses;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &userClasses, nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(runRegsvr32(L"/s /n /i:user"));
    expectRegistered(userClasses, true);
    ASSERT_TRUE(runRegsvr32(L"/s /u /n /i:user"));
    expectRegistered(userClasses, false);
    ::RegCloseKey(userClasses);
    ASSERT_TRUE(runRegsvr32(L"/s"));
    expectRegistered(HKEY_CLASSES_ROOT, true);
}

TEST(ClassFactories, AnswerEveryClassAndNothingElse) {
    Module module;
    for (const wchar_t* name : kClassNames) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(module.classObject(clsidOf(name), IID_IClassFactory, factory.putVoid()), S_OK);
        ComPtr<IDispatch> object;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid()), S_OK);
        ComPtr<IUnknown> outer;
        EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(object.get()), IID_IUnknown, outer.putVoid()), CLASS_E_NOAGGREGATION);
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.classObject(IID_IDispatch, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

TEST(ClassFactories, UnloadOnlyWithoutObjectsAndLocks) {
    Module module;
    ::CoFreeUnusedLibraries();
    EXPECT_EQ(module.canUnload(), S_OK);
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(module.classObject(clsidOf(L"MathClass"), IID_IClassFactory, factory.putVoid()), S_OK);
        ComPtr<IDispatch> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid()), S_OK);
        factory->LockServer(TRUE);
        factory = ComPtr<IClassFactory>();
        EXPECT_EQ(module.canUnload(), S_FALSE);  // object and lock
        object = ComPtr<IDispatch>();
        EXPECT_EQ(module.canUnload(), S_FALSE);  // lock
        ComPtr<IClassFactory> again;
        module.classObject(clsidOf(L"MathClass"), IID_IClassFactory, again.putVoid());
        again->LockServer(FALSE);
        EXPECT_EQ(module.canUnload(), S_FALSE);  // the factory itself
    }
    EXPECT_EQ(module.canUnload(), S_OK);
}

// Both modules registered on one machine. Run by tests/support/side-by-side.sh in a prefix of its
// own, which registers and unregisters the two modules and says in KRO_EXPECT_REGISTRATION what
// this architecture should find: "registered", "absent" (this module's own entries gone, the
// other module's may stay) or "nothing" (no key of the library in either registry view).
TEST(SideBySide, RegistrationAsExpected) {
    const char* expectation = std::getenv("KRO_EXPECT_REGISTRATION");
    if (!expectation) GTEST_SKIP() << "run by side-by-side.sh";
    const std::string expect = expectation;
#ifdef _WIN64
    const REGSAM own = KEY_WOW64_64KEY, other = KEY_WOW64_32KEY;
    const std::wstring platform = L"win64";
#else
    const REGSAM own = KEY_WOW64_32KEY, other = KEY_WOW64_64KEY;
    const std::wstring platform = L"win32";
#endif
    auto exists = [](const std::wstring& path, REGSAM view) {
        HKEY k;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + path).c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(k);
        return true;
    };
    const std::wstring typeLib = L"TypeLib\\" + guidText(LIBID_kroProgramDll);
    const std::wstring ownPlatform = typeLib + L"\\4.0\\0\\" + platform;
    const std::wstring iface = L"Interface\\" + guidText(IID__FileSystemCls);
    const bool registered = expect == "registered";
    for (const wchar_t* name : kClassNames) {
        const std::wstring clsidKey = L"CLSID\\" + guidText(clsidOf(name)), progId = std::wstring(L"kroProgramDll.") + name;
        EXPECT_EQ(exists(clsidKey, own), registered) << expect << " " << std::string(progId.begin(), progId.end());
        if (registered) {
            EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + progId + L"\\CLSID"), guidText(clsidOf(name)));
            CLSID byProgId{};
            ASSERT_EQ(::CLSIDFromProgID(progId.c_str(), &byProgId), S_OK);
            ComPtr<IDispatch> object;
            EXPECT_EQ(::CoCreateInstance(byProgId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid()), S_OK);
        }
        if (expect == "nothing") {
            EXPECT_FALSE(exists(clsidKey, other));
            EXPECT_FALSE(exists(progId, own));
        }
    }
    EXPECT_EQ(exists(ownPlatform, own), registered);
    EXPECT_EQ(exists(iface, own), registered);
    if (registered) {
        ComPtr<ITypeLib> lib;
        EXPECT_EQ(::LoadRegTypeLib(LIBID_kroProgramDll, 4, 0, 0, lib.put()), S_OK);
    }
    if (expect == "nothing") {
        EXPECT_FALSE(exists(typeLib, own));
        EXPECT_FALSE(exists(iface, other));
    }
}
