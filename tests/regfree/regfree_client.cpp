// Uses the library without registration: a program that activates the side-by-side manifest
// beside the module (CreateActCtx/ActivateActCtx) and then creates every class by its ProgID, in
// a prefix where the library was never registered.
// usage: regfree_client <manifest path>; prints one line per check, exits 0 when all pass.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "kroProgramDll.h"
#include "frame/raii.h"

using kro::ComPtr;

namespace {

const wchar_t* const kClasses[] = {L"DebugCls", L"IniFileCls", L"FormCls", L"StringHandCls", L"KeyCodeCls",
                                   L"DirectSoundCls", L"ProgramCls", L"GetDataCls", L"VorelCls", L"ConvertCls",
                                   L"FileSystemCls", L"CodeCls", L"WindowsCls", L"ApplicationCls", L"RegistryCls",
                                   L"MathClass", L"MainCls"};

int failures = 0;

void check(bool ok, const std::wstring& what) {
    std::printf("%s %ls\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

bool keyExists(HKEY root, const std::wstring& path) {
    HKEY key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

bool registered() {
    return keyExists(HKEY_CLASSES_ROOT, L"kroProgramDll.FileSystemCls") ||
           keyExists(HKEY_CURRENT_USER, L"Software\\Classes\\kroProgramDll.FileSystemCls");
}

ComPtr<IDispatch> create(const wchar_t* name) {
    CLSID clsid;
    ComPtr<IDispatch> object;
    std::wstring progId = std::wstring(L"kroProgramDll.") + name;
    if (SUCCEEDED(::CLSIDFromProgID(progId.c_str(), &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid());
    return object;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::printf("usage: regfree_client <manifest>\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    check(!registered(), L"the library is not registered in this prefix");
    check(!create(L"FileSystemCls"), L"without the activation context no class can be created");

    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.lpSource = argv[1];
    HANDLE context = ::CreateActCtxW(&request);
    check(context != INVALID_HANDLE_VALUE, std::wstring(L"activation context from ") + argv[1]);
    if (context == INVALID_HANDLE_VALUE) return 1;
    ULONG_PTR cookie = 0;
    check(::ActivateActCtx(context, &cookie) != FALSE, L"activation context activated");

    for (const wchar_t* name : kClasses) check(static_cast<bool>(create(name)), std::wstring(L"kroProgramDll.") + name + L" created");

    // Late bound: by name through the type information embedded in the module.
    ComPtr<IDispatch> fs = create(L"FileSystemCls");
    if (fs) {
        LPOLESTR member = const_cast<LPOLESTR>(L"GetFileName");
        DISPID id = DISPID_UNKNOWN;
        BSTR path = ::SysAllocString(L"C:\\dir\\file.txt");
        VARIANT arg;
        ::VariantInit(&arg);
        arg.vt = VT_BSTR | VT_BYREF;
        arg.pbstrVal = &path;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        VARIANT result;
        ::VariantInit(&result);
        HRESULT hr = fs->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr)) hr = fs->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        check(hr == S_OK && result.vt == VT_BSTR && std::wstring(result.bstrVal) == L"file.txt",
              L"FileSystemCls.GetFileName by name returns file.txt");
        ::VariantClear(&result);

        // Early bound: through the dual interface's function table.
        ComPtr<_FileSystemCls> typed;
        BSTR folder = nullptr;
        hr = fs->QueryInterface(IID__FileSystemCls, typed.putVoid());
        if (SUCCEEDED(hr)) hr = typed->GetPath(&path, &folder);
        check(hr == S_OK && folder && std::wstring(folder) == L"C:\\dir\\", L"FileSystemCls.GetPath through the vtable returns C:\\dir\\");
        ::SysFreeString(folder);
        ::SysFreeString(path);
    }

    ::DeactivateActCtx(0, cookie);
    ::ReleaseActCtx(context);
    check(!registered(), L"nothing was registered");
    std::printf(failures ? "regfree: %d failed\n" : "regfree: all checks passed\n", failures);
    ::CoUninitialize();
    return failures ? 1 : 0;
}
