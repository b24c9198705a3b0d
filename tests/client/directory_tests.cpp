// Folder listings and tree walkers through the registered module, with the client's own
// collection object (an IDispatch with an Add method).
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

// The client's collection: answers "Add" by name and keeps the texts it receives.
class Bag : public IDispatch {
public:
    std::vector<std::wstring> items;
    bool hasAdd = true;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT n, LCID, DISPID* ids) override {
        if (hasAdd && n == 1 && ::lstrcmpiW(names[0], L"add") == 0) {
            ids[0] = 7;
            return S_OK;
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != 7 || p->cArgs != 1 || p->rgvarg[0].vt != VT_BSTR) return DISP_E_MEMBERNOTFOUND;
        items.emplace_back(p->rgvarg[0].bstrVal, ::SysStringLen(p->rgvarg[0].bstrVal));
        return S_OK;
    }
    ULONG refs = 1;
};

struct Fs {
    _FileSystemCls* p = nullptr;
    Fs() {
        CLSID clsid;
        EXPECT_EQ(::CLSIDFromProgID(L"kroProgramDll.FileSystemCls", &clsid), S_OK);
        EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__FileSystemCls, reinterpret_cast<void**>(&p)), S_OK);
    }
    ~Fs() { if (p) p->Release(); }
    _FileSystemCls* operator->() const { return p; }
};

struct B {
    BSTR b;
    explicit B(const std::wstring& s) : b(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    ~B() { ::SysFreeString(b); }
    std::wstring text() const { return std::wstring(b, ::SysStringLen(b)); }
};

long errNumber(HRESULT hr) {
    if (SUCCEEDED(hr)) return 0;
    return HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr;
}

void touch(const std::wstring& path, DWORD attributes = 0) {
    kro::test::writeBytes(path, {'k', 'r', 'o'});
    if (attributes) ::SetFileAttributesW(path.c_str(), attributes);
}
void mkdir(const std::wstring& path, DWORD attributes = 0) {
    ::CreateDirectoryW(path.c_str(), nullptr);
    if (attributes) ::SetFileAttributesW(path.c_str(), attributes);
}

std::vector<std::wstring> sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::wstring> listing(SAFEARRAY* a, LONG* lower = nullptr) {
    std::vector<std::wstring> out;
    LONG lb = 0, ub = -1;
    ::SafeArrayGetLBound(a, 1, &lb);
    ::SafeArrayGetUBound(a, 1, &ub);
    if (lower) *lower = lb;
    for (LONG i = lb; i <= ub; ++i) {
        BSTR b = nullptr;
        ::SafeArrayGetElement(a, &i, &b);
        out.emplace_back(b ? b : L"");
        ::SysFreeString(b);
    }
    ::SafeArrayDestroy(a);
    return out;
}

HRESULT tree(Fs& fs, const std::wstring& path, Bag& bag, bool getDir) {
    B p(path);
    IDispatch* col = &bag;
    VARIANT_BOOL g = getDir ? VARIANT_TRUE : VARIANT_FALSE;
    return fs->GetDirectryTree(p.b, &col, &g);
}

}  // namespace

// --- listers ----------------------------------------------------------------------------------

TEST(DirectoryListing, GetFilesGivesAListingArray) {
    Fs fs;
    TempDir d;
    touch(d / L"a.txt");
    touch(d / L"b.txt", FILE_ATTRIBUTE_HIDDEN);
    touch(d / L"c.log");
    B pattern(d / L"*.txt");
    LONG attrs = 0;
    SAFEARRAY* a = nullptr;
    ASSERT_EQ(fs->GetFiles(&pattern.b, &attrs, &a), S_OK);
    LONG lb = -1;
    EXPECT_EQ(listing(a, &lb), (std::vector<std::wstring>{L"", L"a.txt"}));
    EXPECT_EQ(lb, 0);
    attrs = 2;
    ASSERT_EQ(fs->GetFiles(&pattern.b, &attrs, &a), S_OK);
    auto names = listing(a);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], L"");
    EXPECT_EQ(sorted({names[1], names[2]}), (std::vector<std::wstring>{L"a.txt", L"b.txt"}));
    EXPECT_EQ(pattern.text(), d / L"*.txt");  // by-reference argument left as it was

    B none(d / L"*.none");
    ASSERT_EQ(fs->GetFiles(&none.b, &attrs, &a), S_OK);
    EXPECT_EQ(listing(a), std::vector<std::wstring>{L""});
}

TEST(DirectoryListing, GetDirectriesBareOrWithPathAndHiddenOnlyWithBit2) {
    Fs fs;
    TempDir d;
    mkdir(d / L"one");
    mkdir(d / L"two", FILE_ATTRIBUTE_HIDDEN);
    touch(d / L"file.txt");
    B path(d.path());
    LONG attrs = 0;
    VARIANT_BOOL inc = VARIANT_FALSE;
    SAFEARRAY* a = nullptr;
    ASSERT_EQ(fs->GetDirectries(&path.b, &attrs, &inc, &a), S_OK);
    EXPECT_EQ(listing(a), (std::vector<std::wstring>{L"", L"one"}));
    EXPECT_EQ(path.text(), d.path());  // the caller's variable is not normalised
    attrs = 2;
    inc = VARIANT_TRUE;
    ASSERT_EQ(fs->GetDirectries(&path.b, &attrs, &inc, &a), S_OK);
    auto names = listing(a);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(sorted({names[1], names[2]}), (std::vector<std::wstring>{d / L"one", d / L"two"}));

    B empty(d / L"one");
    ASSERT_EQ(fs->GetDirectries(&empty.b, &attrs, &inc, &a), S_OK);
    EXPECT_EQ(listing(a), std::vector<std::wstring>{L""});
}

TEST(DirectoryListing, ThroughIDispatchTheArrayKeepsItsBounds) {
    Fs fs;
    TempDir d;
    touch(d / L"only.txt");
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(L"GetFiles");
    ASSERT_EQ(fs->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    VARIANT arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = ::SysAllocString((d / L"*.*").c_str());
    DISPPARAMS params{&arg, nullptr, 1, 0};
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(fs->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    ASSERT_TRUE(result.vt & VT_ARRAY);
    LONG lb = -1, ub = -1;
    ::SafeArrayGetLBound(result.parray, 1, &lb);
    ::SafeArrayGetUBound(result.parray, 1, &ub);
    EXPECT_EQ(lb, 0);
    EXPECT_EQ(ub, 1);
    ::VariantClear(&result);
    ::VariantClear(&arg);
}

// --- GetDirectryTree --------------------------------------------------------------------------

TEST(DirectoryTree, FilesThenSubfoldersThenTheFolderItself) {
    Fs fs;
    TempDir d;
    touch(d / L"a.txt");
    mkdir(d / L"sub");
    touch(d / L"sub\\b.txt");
    const std::wstring F = d.path() + L"\\";
    const std::vector<std::wstring> expected{F + L"a.txt", F + L"sub\\b.txt", F + L"sub\\", F};
    Bag without, with;
    ASSERT_EQ(tree(fs, d.path(), without, true), S_OK);
    ASSERT_EQ(tree(fs, F, with, true), S_OK);
    EXPECT_EQ(without.items, expected);
    EXPECT_EQ(with.items, expected);

    Bag filesOnly;
    ASSERT_EQ(tree(fs, d.path(), filesOnly, false), S_OK);
    EXPECT_EQ(filesOnly.items, (std::vector<std::wstring>{F + L"a.txt", F + L"sub\\b.txt"}));
}

TEST(DirectoryTree, EachSubfolderWalkedCompletelyBeforeTheNext) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    for (const wchar_t* s : {L"p", L"q", L"r"}) {
        mkdir(F + s);
        mkdir(F + s + L"\\deep");
        touch(F + s + L"\\deep\\f.txt");
        touch(F + s + L"\\g.txt");
    }
    Bag bag;
    ASSERT_EQ(tree(fs, d.path(), bag, true), S_OK);
    ASSERT_EQ(bag.items.size(), 3u * 4 + 1);
    for (size_t i = 0; i < 3; ++i) {
        // each block: the folder's file, its subfolder's file, the subfolder, the folder
        std::wstring s = bag.items[i * 4].substr(F.size(), 1);
        EXPECT_EQ(bag.items[i * 4], F + s + L"\\g.txt");
        EXPECT_EQ(bag.items[i * 4 + 1], F + s + L"\\deep\\f.txt");
        EXPECT_EQ(bag.items[i * 4 + 2], F + s + L"\\deep\\");
        EXPECT_EQ(bag.items[i * 4 + 3], F + s + L"\\");
    }
    EXPECT_EQ(bag.items.back(), F);
}

TEST(DirectoryTree, HiddenCollectedSystemLeftOut) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    touch(F + L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    touch(F + L"system.txt", FILE_ATTRIBUTE_SYSTEM);
    touch(F + L"ro.txt", FILE_ATTRIBUTE_READONLY);
    mkdir(F + L"hid", FILE_ATTRIBUTE_HIDDEN);
    touch(F + L"hid\\in.txt");
    mkdir(F + L"sys", FILE_ATTRIBUTE_SYSTEM);
    touch(F + L"sys\\in.txt");
    Bag bag;
    ASSERT_EQ(tree(fs, d.path(), bag, true), S_OK);
    EXPECT_EQ(sorted(bag.items), sorted({F + L"hidden.txt", F + L"ro.txt", F + L"hid\\in.txt", F + L"hid\\", F}));
    ::SetFileAttributesW((F + L"sys").c_str(), 0);
}

TEST(DirectoryTree, MissingCollectionStartFolderOrPath) {
    Fs fs;
    TempDir d;
    B path(d.path());
    IDispatch* none = nullptr;
    VARIANT_BOOL g = VARIANT_TRUE;
    EXPECT_EQ(errNumber(fs->GetDirectryTree(path.b, &none, &g)), 91);  // even on an empty folder
    EXPECT_EQ(errNumber(fs->GetDirectryTree(path.b, nullptr, &g)), 91);
    Bag noAdd;
    noAdd.hasAdd = false;
    EXPECT_EQ(errNumber(tree(fs, d.path(), noAdd, true)), 438);
    Bag bag;
    EXPECT_EQ(errNumber(tree(fs, d / L"missing", bag, true)), 76);
    touch(d / L"file.txt");
    EXPECT_EQ(errNumber(tree(fs, d / L"file.txt", bag, true)), 76);
    EXPECT_EQ(errNumber(tree(fs, L"", bag, true)), 52);
    EXPECT_TRUE(bag.items.empty());
}

TEST(DirectoryTree, NamesOutsideTheAnsiCodePage) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    const std::wstring folder = L"\u041F\u0430\u043F\u043A\u0430";  // Cyrillic
    const std::wstring file = L"\uD55C\uAE00 \uBB38\uC11C.txt";      // Hangul
    mkdir(F + folder);
    touch(F + folder + L"\\" + file);
    Bag bag;
    ASSERT_EQ(tree(fs, d.path(), bag, true), S_OK);
    EXPECT_EQ(bag.items, (std::vector<std::wstring>{F + folder + L"\\" + file, F + folder + L"\\", F}));
}

// --- GetDirFiles ------------------------------------------------------------------------------

TEST(DirFiles, PatternsInOrderPerFolderThenSubfolders) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    touch(F + L"x.log");
    touch(F + L"y.txt");
    touch(F + L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    mkdir(F + L"sub");
    touch(F + L"sub\\w.log");
    touch(F + L"sub\\z.txt");
    B path(d.path()), ext(L"y.txt\tx.log"), delim(L"\t");
    Bag bag;
    IDispatch* col = &bag;
    ASSERT_EQ(fs->GetDirFiles(path.b, &col, &ext.b, &delim.b), S_OK);
    EXPECT_EQ(bag.items, (std::vector<std::wstring>{F + L"y.txt", F + L"x.log"}));

    Bag typed;
    col = &typed;
    B ext2(L"*.txtOR*.log"), orDelim(L"or");
    ASSERT_EQ(fs->GetDirFiles(path.b, &col, &ext2.b, &orDelim.b), S_OK);
    ASSERT_EQ(typed.items.size(), 5u);
    EXPECT_EQ(sorted({typed.items[0], typed.items[1]}), sorted({F + L"y.txt", F + L"hidden.txt"}));
    EXPECT_EQ(typed.items[2], F + L"x.log");
    EXPECT_EQ(typed.items[3], F + L"sub\\z.txt");
    EXPECT_EQ(typed.items[4], F + L"sub\\w.log");

    Bag twice;
    col = &twice;
    B ext3(L"y.*;*.txt"), semi(L";");
    ASSERT_EQ(fs->GetDirFiles(path.b, &col, &ext3.b, &semi.b), S_OK);
    EXPECT_EQ(std::count(twice.items.begin(), twice.items.end(), F + L"y.txt"), 2);

    B bad(L"sub\\*.txt");
    EXPECT_EQ(errNumber(fs->GetDirFiles(path.b, &col, &bad.b, &semi.b)), 5);
    IDispatch* none = nullptr;
    EXPECT_EQ(errNumber(fs->GetDirFiles(path.b, &none, &ext.b, &delim.b)), 91);
}

TEST(DirFiles, OmittedExtensionThroughIDispatchTakesEveryFile) {
    Fs fs;
    TempDir d;
    touch(d / L"a.bin");
    touch(d / L"noext");
    Bag bag;
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(L"GetDirFiles");
    ASSERT_EQ(fs->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    VARIANT args[2];  // reversed order: col, path
    args[0].vt = VT_DISPATCH;
    args[0].pdispVal = &bag;
    args[1].vt = VT_BSTR;
    args[1].bstrVal = ::SysAllocString(d.path().c_str());
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(fs->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    ::SysFreeString(args[1].bstrVal);
    EXPECT_EQ(sorted(bag.items), sorted({d / L"a.bin", d / L"noext"}));
}

// --- MoveDirFiles -----------------------------------------------------------------------------

TEST(MoveDir, CollisionFailsOnTheSecondWithTheFirstMovedAndCollected) {
    Fs fs;
    TempDir d;
    const std::wstring src = d / L"src\\", dst = d / L"dst";
    mkdir(d / L"src");
    mkdir(src + L"a");
    mkdir(src + L"b");
    mkdir(dst);
    kro::test::writeBytes(src + L"a\\readme.txt", {'A'});
    kro::test::writeBytes(src + L"b\\readme.txt", {'B'});
    B path(d / L"src"), dest(dst), ext(L"readme.txt"), delim(L"");
    Bag bag;
    IDispatch* col = &bag;
    EXPECT_EQ(errNumber(fs->MoveDirFiles(path.b, &dest.b, &ext.b, &delim.b, &col)), 58);
    EXPECT_EQ(dest.text(), dst + L"\\");  // the client's variable gained its backslash
    ASSERT_EQ(bag.items.size(), 1u);
    const std::wstring first = bag.items[0];
    EXPECT_TRUE(first == src + L"a\\readme.txt" || first == src + L"b\\readme.txt");
    const std::wstring second = first == src + L"a\\readme.txt" ? src + L"b\\readme.txt" : src + L"a\\readme.txt";
    EXPECT_FALSE(kro::test::fileExists(first));
    EXPECT_TRUE(kro::test::fileExists(second));
    auto moved = kro::test::readBytes(dst + L"\\readme.txt");
    EXPECT_EQ(moved, std::vector<unsigned char>{static_cast<unsigned char>(first == src + L"a\\readme.txt" ? 'A' : 'B')});
}

TEST(MoveDir, ReadOnlyHiddenAndUnicodeFilesMovedSideBySide) {
    Fs fs;
    TempDir d;
    const std::wstring src = d / L"src\\", dst = d / L"dst\\";
    const std::wstring hangul = L"\uD30C\uC77C.dat";
    mkdir(d / L"src");
    mkdir(dst);
    mkdir(src + L"deep");
    touch(src + L"ro.dat", FILE_ATTRIBUTE_READONLY);
    touch(src + L"deep\\" + hangul, FILE_ATTRIBUTE_HIDDEN);
    touch(src + L"keep.txt");
    B path(d / L"src"), dest(dst), ext(L"*.DAT"), delim(L"\t");
    Bag bag;
    IDispatch* col = &bag;
    ASSERT_EQ(fs->MoveDirFiles(path.b, &dest.b, &ext.b, &delim.b, &col), S_OK);
    EXPECT_EQ(dest.text(), dst);
    EXPECT_EQ(bag.items, (std::vector<std::wstring>{src + L"ro.dat", src + L"deep\\" + hangul}));
    EXPECT_TRUE(kro::test::fileExists(dst + L"ro.dat"));
    EXPECT_TRUE(kro::test::fileExists(dst + hangul));
    EXPECT_EQ(::GetFileAttributesW((dst + L"ro.dat").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_TRUE(kro::test::fileExists(src + L"keep.txt"));
    EXPECT_TRUE(kro::test::folderExists(src + L"deep"));  // folders stay where they are
}

TEST(MoveDir, DestinationInsideTheTreeIsNotWalkedAgain) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    mkdir(F + L"all");
    mkdir(F + L"x");
    touch(F + L"one.txt");
    touch(F + L"x\\two.txt");
    touch(F + L"all\\old.txt");
    B path(d.path()), dest(F + L"ALL"), ext(L"*.txt"), delim(L"");
    ASSERT_EQ(fs->MoveDirFiles(path.b, &dest.b, &ext.b, &delim.b, nullptr), S_OK);
    for (const wchar_t* n : {L"one.txt", L"two.txt", L"old.txt"}) EXPECT_TRUE(kro::test::fileExists(F + L"all\\" + n));
}

TEST(MoveDir, MissingDestinationAndNothingWithoutExtension) {
    Fs fs;
    TempDir d;
    touch(d / L"a.txt");
    B path(d.path()), dest(d / L"nowhere"), ext(L"*.txt"), empty(L"");
    IDispatch* none = nullptr;
    EXPECT_EQ(errNumber(fs->MoveDirFiles(path.b, &dest.b, &ext.b, &empty.b, &none)), 76);
    EXPECT_TRUE(kro::test::fileExists(d / L"a.txt"));
    B dest2(d / L"nowhere");
    EXPECT_EQ(fs->MoveDirFiles(path.b, &dest2.b, &empty.b, &empty.b, &none), S_OK);
    EXPECT_EQ(dest2.text(), d / L"nowhere\\");
    EXPECT_TRUE(kro::test::fileExists(d / L"a.txt"));
    B blank(L"");
    EXPECT_EQ(errNumber(fs->MoveDirFiles(path.b, &blank.b, &ext.b, &empty.b, &none)), 52);
}

// --- KillDirFiles -----------------------------------------------------------------------------

TEST(KillDir, ReadOnlyFilesDeletedFoldersKept) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    mkdir(F + L"sub");
    touch(F + L"a.tmp", FILE_ATTRIBUTE_READONLY);
    touch(F + L"sub\\b.tmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    touch(F + L"sub\\c.bak");
    touch(F + L"sub\\keep.txt");
    touch(F + L"sys.tmp", FILE_ATTRIBUTE_SYSTEM);
    B path(d.path()), ext(L"*.tmpOR*.bak"), delim(L"Or");
    Bag bag;
    IDispatch* col = &bag;
    ASSERT_EQ(fs->KillDirFiles(path.b, &ext.b, &delim.b, &col), S_OK);
    EXPECT_EQ(bag.items, (std::vector<std::wstring>{F + L"a.tmp", F + L"sub\\b.tmp", F + L"sub\\c.bak"}));
    for (const auto& p : bag.items) EXPECT_FALSE(kro::test::fileExists(p));
    EXPECT_TRUE(kro::test::fileExists(F + L"sub\\keep.txt"));
    EXPECT_TRUE(kro::test::fileExists(F + L"sys.tmp"));  // system files are not listed
    EXPECT_TRUE(kro::test::folderExists(F + L"sub"));
    ::SetFileAttributesW((F + L"sys.tmp").c_str(), 0);

    B empty(L"");
    ASSERT_EQ(fs->KillDirFiles(path.b, &empty.b, &empty.b, nullptr), S_OK);
    EXPECT_TRUE(kro::test::fileExists(F + L"sub\\keep.txt"));
}

TEST(KillDir, FileInUseEndsTheCallWithEarlierDeletionsKept) {
    Fs fs;
    TempDir d;
    const std::wstring F = d.path() + L"\\";
    touch(F + L"first.tmp");
    mkdir(F + L"sub");
    touch(F + L"sub\\busy.tmp");
    HANDLE h = ::CreateFileW((F + L"sub\\busy.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    B path(d.path()), ext(L"*.tmp"), delim(L"");
    Bag bag;
    IDispatch* col = &bag;
    EXPECT_EQ(errNumber(fs->KillDirFiles(path.b, &ext.b, &delim.b, &col)), 70);
    ::CloseHandle(h);
    EXPECT_EQ(bag.items, std::vector<std::wstring>{F + L"first.tmp"});
    EXPECT_FALSE(kro::test::fileExists(F + L"first.tmp"));
    EXPECT_TRUE(kro::test::fileExists(F + L"sub\\busy.tmp"));
}

// --- DeleteDirOnly ----------------------------------------------------------------------------

TEST(DeleteDir, EmptyTreeRemovedStartingFolderIncluded) {
    Fs fs;
    TempDir d;
    const std::wstring root = d / L"tree";
    mkdir(root);
    mkdir(root + L"\\a");
    mkdir(root + L"\\a\\b", FILE_ATTRIBUTE_HIDDEN);
    mkdir(root + L"\\c");
    B path(root + L"\\");
    ASSERT_EQ(fs->DeleteDirOnly(path.b), S_OK);
    EXPECT_FALSE(kro::test::folderExists(root));
    EXPECT_EQ(errNumber(fs->DeleteDirOnly(path.b)), 76);
}

TEST(DeleteDir, FolderHoldingAFileEndsTheCallDeeperOnesRemoved) {
    Fs fs;
    TempDir d;
    const std::wstring root = d / L"tree";
    mkdir(root);
    mkdir(root + L"\\b");
    mkdir(root + L"\\b\\empty");
    touch(root + L"\\b\\file.txt");
    B path(root);
    EXPECT_EQ(errNumber(fs->DeleteDirOnly(path.b)), 75);
    EXPECT_FALSE(kro::test::folderExists(root + L"\\b\\empty"));
    EXPECT_TRUE(kro::test::fileExists(root + L"\\b\\file.txt"));
    EXPECT_TRUE(kro::test::folderExists(root));
}
