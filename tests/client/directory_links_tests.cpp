// Tree walkers against links that point back up the tree or out of it, and against a tree far
// deeper than the classic path limit.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kroProgramDll.h"
#include "tests/support/test_files.h"

using kro::test::TempDir;

namespace {

class Bag : public IDispatch {
public:
    std::vector<std::wstring> items;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        ids[0] = 1;
        return ::lstrcmpiW(names[0], L"Add") == 0 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        items.emplace_back(p->rgvarg[0].bstrVal, ::SysStringLen(p->rgvarg[0].bstrVal));
        return S_OK;
    }
};

struct Fs {
    _FileSystemCls* p = nullptr;
    Fs() {
        CLSID clsid;
        ::CLSIDFromProgID(L"kroProgramDll.FileSystemCls", &clsid);
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__FileSystemCls, reinterpret_cast<void**>(&p));
    }
    ~Fs() { if (p) p->Release(); }
    _FileSystemCls* operator->() const { return p; }
};

long errNumber(HRESULT hr) {
    if (SUCCEEDED(hr)) return 0;
    return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr;
}

// The host path of a file under Wine (empty elsewhere).
std::wstring unixPath(const std::wstring& windowsPath) {
    std::wstring full = windowsPath;
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* u = toUnix(full.c_str());
    if (!u) return {};
    std::string s = u;
    ::HeapFree(::GetProcessHeap(), 0, u);
    return std::wstring(s.begin(), s.end());
}

// Starts a host program (Wine starts those too).
void run(const std::wstring& program, const std::wstring& commandLine) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = commandLine;
    if (!::CreateProcessW(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

bool isLink(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A link to a folder: the platform's symbolic link where it can make one, else (under Wine, whose
// CreateSymbolicLinkW reports success and makes nothing) a host symbolic link, which Wine shows
// as a folder with the reparse point attribute.
bool makeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && isLink(link)) return true;
    std::wstring l = unixPath(link), t = unixPath(target);
    if (l.empty() || t.empty()) return false;
    run(L"Z:\\bin\\ln", L"ln -s \"" + t + L"\" \"" + l + L"\"");
    // Wine does not wait for a host program to finish: look for the link for a while.
    for (int i = 0; i < 100 && !isLink(link); ++i) ::Sleep(50);
    return isLink(link);
}

void removeLink(const std::wstring& link) {
    if (::RemoveDirectoryW(link.c_str()) || ::DeleteFileW(link.c_str())) return;
    std::wstring l = unixPath(link);
    if (!l.empty()) run(L"Z:\\bin\\rm", L"rm -f \"" + l + L"\"");
}

struct Links {
    std::vector<std::wstring> made;
    ~Links() { for (auto& l : made) removeLink(l); }
    bool make(const std::wstring& link, const std::wstring& target) {
        if (!makeFolderLink(link, target)) return false;
        made.push_back(link);
        return true;
    }
};

std::vector<std::wstring> sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(DirectoryLinks, LoopsAndLinksOutOfTheTreeAreNotFollowed) {
    Fs fs;
    TempDir d;
    const std::wstring in = d / L"inside\\", out = d / L"outside\\";
    ::CreateDirectoryW((d / L"inside").c_str(), nullptr);
    ::CreateDirectoryW((d / L"outside").c_str(), nullptr);
    kro::test::writeBytes(in + L"a.txt", {'a'});
    kro::test::writeBytes(out + L"precious.txt", {'p'});
    Links links;
    if (!links.make(in + L"loop", d / L"inside") || !links.make(in + L"out", d / L"outside"))
        GTEST_SKIP() << "this system can make no folder links";

    // Listers show a link as the folder entry it is.
    BSTR path = ::SysAllocString(in.c_str());
    LONG attrs = 0;
    VARIANT_BOOL inc = VARIANT_FALSE;
    SAFEARRAY* a = nullptr;
    ASSERT_EQ(fs->GetDirectries(&path, &attrs, &inc, &a), S_OK);
    LONG ub = 0;
    ::SafeArrayGetUBound(a, 1, &ub);
    EXPECT_EQ(ub, 2);
    ::SafeArrayDestroy(a);

    // The tree walk lists a link only where a folder's own entry stands, and never enters it.
    Bag withDirs;
    IDispatch* col = &withDirs;
    VARIANT_BOOL getDir = VARIANT_TRUE;
    ASSERT_EQ(fs->GetDirectryTree(path, &col, &getDir), S_OK);
    ASSERT_EQ(withDirs.items.size(), 4u);
    EXPECT_EQ(withDirs.items.front(), in + L"a.txt");
    EXPECT_EQ(withDirs.items.back(), in);
    EXPECT_EQ(sorted({withDirs.items[1], withDirs.items[2]}), sorted({in + L"loop\\", in + L"out\\"}));
    Bag filesOnly;
    col = &filesOnly;
    getDir = VARIANT_FALSE;
    ASSERT_EQ(fs->GetDirectryTree(path, &col, &getDir), S_OK);
    EXPECT_EQ(filesOnly.items, std::vector<std::wstring>{in + L"a.txt"});

    // Nothing outside the tree is moved or deleted through a link.
    BSTR ext = ::SysAllocString(L"*.txt"), delim = ::SysAllocString(L""), dest = ::SysAllocString((d / L"dest").c_str());
    ::CreateDirectoryW((d / L"dest").c_str(), nullptr);
    Bag moved;
    col = &moved;
    ASSERT_EQ(fs->MoveDirFiles(path, &dest, &ext, &delim, &col), S_OK);
    EXPECT_EQ(moved.items, std::vector<std::wstring>{in + L"a.txt"});
    Bag killed;
    col = &killed;
    ASSERT_EQ(fs->KillDirFiles(path, &ext, &delim, &col), S_OK);
    EXPECT_TRUE(killed.items.empty());
    EXPECT_TRUE(kro::test::fileExists(out + L"precious.txt"));

    // Links are left in place like files: their folder stays and the call says so.
    EXPECT_EQ(errNumber(fs->DeleteDirOnly(path)), 75);
    EXPECT_TRUE(kro::test::folderExists(d / L"outside"));
    EXPECT_TRUE(kro::test::fileExists(out + L"precious.txt"));
    ::SysFreeString(path);
    ::SysFreeString(ext);
    ::SysFreeString(delim);
    ::SysFreeString(dest);
}

// Wine itself ends the process on very long paths (creating the 1,650th level of this tree, or
// removing the 1,500th, dies inside the platform), and its path lookups grow with the depth, so
// the tree here has 600 levels: five times the classic path limit. Far deeper walks are covered
// on an imaginary tree by the unit tests of the walk.
TEST(DeepTree, SixHundredLevelsWalkedAndRemoved) {
    Fs fs;
    TempDir d;
    const int depth = 600;
    // Made through the long-path form: the tree goes far beyond the classic path limit.
    std::wstring folder = L"\\\\?\\" + d.path() + L"\\";
    std::wstring plain = d.path() + L"\\";
    int made = 0;
    for (; made < depth; ++made) {
        folder += L"d\\";
        if (!::CreateDirectoryW(folder.c_str(), nullptr)) break;
        plain += L"d\\";
    }
    ASSERT_EQ(made, depth) << "the file system here takes no deeper tree";
    HANDLE h = ::CreateFileW((folder + L"bottom.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);

    Bag bag;
    IDispatch* col = &bag;
    VARIANT_BOOL getDir = VARIANT_TRUE;
    BSTR root = ::SysAllocString(d.path().c_str());
    ASSERT_EQ(fs->GetDirectryTree(root, &col, &getDir), S_OK);
    ASSERT_EQ(bag.items.size(), size_t(depth) + 2);
    EXPECT_EQ(bag.items[0], plain + L"bottom.txt");
    EXPECT_EQ(bag.items[1], plain);
    EXPECT_EQ(bag.items.back(), d.path() + L"\\");

    BSTR ext = ::SysAllocString(L"*.txt"), delim = ::SysAllocString(L"");
    ASSERT_EQ(fs->KillDirFiles(root, &ext, &delim, nullptr), S_OK);
    BSTR top = ::SysAllocString((d / L"d").c_str());
    ASSERT_EQ(fs->DeleteDirOnly(top), S_OK);
    EXPECT_FALSE(kro::test::folderExists(d / L"d"));
    ::SysFreeString(root);
    ::SysFreeString(ext);
    ::SysFreeString(delim);
    ::SysFreeString(top);
}
