// Hostile input through the public face: names no file can have, non-finite numbers for integer
// parameters, and several apartment threads making their first calls at the same moment.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "kroProgramDll.h"
#include "tests/client/client_support.h"
#include "tests/support/test_files.h"

using namespace kro;
using namespace kro::test;

namespace {

constexpr SCODE kBadFileName = static_cast<SCODE>(0x800A0034);  // runtime error 52

// Owns the VARIANTs of one argument list.
struct Args {
    std::vector<VARIANT> values;
    ~Args() { for (auto& v : values) ::VariantClear(&v); }
    std::vector<VARIANT*> pointers() {
        std::vector<VARIANT*> p;
        for (auto& v : values) p.push_back(&v);
        return p;
    }
};

VARIANT byteArray() {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = ::SafeArrayCreateVector(VT_UI1, 0, 4);
    return v;
}

VARIANT variantArray(std::vector<VARIANT> elements) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size()));
    for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
        ::SafeArrayPutElement(v.parray, &i, &elements[i]);
        ::VariantClear(&elements[i]);
    }
    return v;
}

std::vector<std::wstring> entriesOf(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return names;
}

std::wstring windowsFolder() {
    wchar_t buf[MAX_PATH];
    ::GetWindowsDirectoryW(buf, MAX_PATH);
    return buf;
}

FILETIME lastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d);
    return d.ftLastWriteTime;
}

// A call of one member with `name` standing where it takes a path.
struct PathCall {
    const wchar_t* cls;
    const wchar_t* member;
    bool emptyRefused;  // false where the empty text has a meaning of its own
    std::function<void(Args&, const std::wstring& name)> build;
};

}  // namespace

// Every member that takes a path refuses a name holding a NUL, one beyond the platform's
// longest path, and (where a name is required) the empty one, with 52 and before anything is
// touched: nothing appears in the current folder or the Windows folder (where the INI members
// would put a bare name), and WIN.INI (which the platform reads and writes for an empty INI
// name) stays as it was.
TEST(HostilePaths, NamesNoFileCanHaveFailWith52BeforeAnythingIsTouched) {
    TempDir work, sources;
    const std::wstring source = sources / L"source.dat";
    writeBytes(source, {1, 2, 3, 4, 5});
    wchar_t oldCurrent[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, oldCurrent);
    ASSERT_TRUE(::SetCurrentDirectoryW(work.path().c_str()));
    const std::wstring strayInWindows = windowsFolder() + L"\\ab";
    ::DeleteFileW(strayInWindows.c_str());
    const std::wstring winIni = windowsFolder() + L"\\win.ini";
    FILETIME winIniBefore = lastWrite(winIni);

    auto text_ = [](const std::wstring& s) { return text(s); };
    const std::vector<PathCall> calls = {
        {L"FileSystemCls", L"WriteFile", true, [&](Args& a, auto& n) { a.values = {text_(L"x"), text_(n)}; }},
        {L"FileSystemCls", L"ReadFile", true, [&](Args& a, auto& n) { a.values = {text_(n)}; }},
        {L"FileSystemCls", L"ReadBinaryFile", true, [&](Args& a, auto& n) { a.values = {text_(n)}; }},
        {L"FileSystemCls", L"WriteBinaryFile", true, [&](Args& a, auto& n) { a.values = {byteArray(), text_(n)}; }},
        {L"FileSystemCls", L"WriteBinaryFile_New", true, [&](Args& a, auto& n) { a.values = {byteArray(), text_(n)}; }},
        {L"FileSystemCls", L"SplitFile", true, [&](Args& a, auto& n) { a.values = {text_(source), text_(n), i4(2)}; }},
        {L"FileSystemCls", L"SplitFile", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"stem"), i4(2)}; }},
        {L"FileSystemCls", L"JoinFile", true, [&](Args& a, auto& n) { a.values = {text_(L"x.00000"), text_(n)}; }},
        {L"FileSystemCls", L"CnvMltVol", true, [&](Args& a, auto& n) { a.values = {text_(source), text_(n), i4(100000)}; }},
        {L"ConvertCls", L"CnvSglVol", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"out")}; }},
        {L"ConvertCls", L"OpenMltFile", true, [&](Args& a, auto& n) { a.values = {text_(n), i4(0), i4(0)}; }},
        {L"IniFileCls", L"GetIniValue", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"s"), text_(L"k")}; }},
        {L"IniFileCls", L"SetIniValue", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"s"), text_(L"k"), text_(L"v")}; }},
        {L"IniFileCls", L"SetIniKeyAndValue", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"s"), variantArray({text_(L"k=v")})}; }},
        {L"StringHandCls", L"XorCodeFile", true, [&](Args& a, auto& n) { a.values = {text_(source), text_(n), text_(L"pw")}; }},
        {L"CodeCls", L"FileToCodeFile", true, [&](Args& a, auto& n) { a.values = {text_(source), text_(n), text_(L"pw")}; }},
        {L"CodeCls", L"CodeFileToFile", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"out"), text_(L"pw")}; }},
        {L"VorelCls", L"TakeOutJoinFileEx", true, [&](Args& a, auto& n) { a.values = {text_(source), text_(n)}; }},
        {L"VorelCls", L"ElashFileEx", true, [&](Args& a, auto& n) { a.values = {text_(n)}; }},
        {L"VorelCls", L"MkShortcut", true, [&](Args& a, auto& n) { a.values = {text_(source), text_(n)}; }},
        {L"FileSystemCls", L"MkShortcut", false, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"ab.lnk")}; }},
        {L"FileSystemCls", L"GetFileVersion", false, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"")}; }},
        {L"FileSystemCls", L"ManyMkDir", false, [&](Args& a, auto& n) { a.values = {text_(n + L"\\x")}; }},
        {L"FileSystemCls", L"GetFiles", false, [&](Args& a, auto& n) { a.values = {text_(n)}; }},
        {L"FileSystemCls", L"GetDirectries", false, [&](Args& a, auto& n) { a.values = {text_(n)}; }},
        {L"FileSystemCls", L"KillDirFiles", true, [&](Args& a, auto& n) { a.values = {text_(n), text_(L"*.*")}; }},
        {L"FileSystemCls", L"MoveDirFiles", true, [&](Args& a, auto& n) { a.values = {text_(sources.path()), text_(n), text_(L"*.*")}; }},
    };
    const std::wstring withNul(L"ab\0cd", 5);
    const std::wstring tooLong(32768, L'a');  // one beyond the platform's longest path
    for (const auto& c : calls) {
        auto object = create(c.cls);
        std::vector<std::wstring> names = {withNul, tooLong};
        if (c.emptyRefused) names.push_back(L"");
        for (const auto& name : names) {
            Args args;
            c.build(args, name);
            CallResult r;
            callByName(object.get(), c.member, args.pointers(), r, DISPATCH_METHOD);
            std::string what = std::string(c.cls, c.cls + wcslen(c.cls)) + "." + std::string(c.member, c.member + wcslen(c.member)) +
                               (name.empty() ? " with an empty name" : name.size() > 5 ? " with a long name" : " with a NUL");
            EXPECT_EQ(r.hr, DISP_E_EXCEPTION) << what;
            EXPECT_EQ(r.excep.scode, kBadFileName) << what;
        }
        EXPECT_TRUE(entriesOf(work.path()).empty()) << "after " << std::string(c.member, c.member + wcslen(c.member));
    }
    EXPECT_FALSE(fileExists(strayInWindows));
    FILETIME winIniAfter = lastWrite(winIni);
    EXPECT_EQ(::CompareFileTime(&winIniBefore, &winIniAfter), 0);
    EXPECT_TRUE(fileExists(source));
    ::SetCurrentDirectoryW(oldCurrent);
}

// A non-finite number for an integer parameter is an overflow (6) in the dispatcher, whichever
// way it arrives, and the member never runs; a finite Double still converts.
TEST(HostileNumbers, NanAndInfinityForIntegerParametersOverflow) {
    TempDir work;
    const std::wstring target = work / L"f.bin";
    auto fs = create(L"FileSystemCls");
    auto hand = create(L"StringHandCls");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf}) {
        {  // a Long position, by value
            VARIANT bytes = byteArray(), name = text(target), position = r8(bad);
            CallResult r;
            callByName(fs.get(), L"WriteBinaryFile", {&bytes, &name, &position}, r);
            EXPECT_EQ(r.hr, DISP_E_OVERFLOW);
            EXPECT_EQ(r.argErr, 0u);  // the last argument
            ::VariantClear(&bytes);
            ::VariantClear(&name);
        }
        {  // the same through a script's by-reference Double variable, and as a Single
            VARIANT bytes = byteArray(), name = text(target);
            double variable = bad;
            VARIANT position;
            position.vt = VT_BYREF | VT_R8;
            position.pdblVal = &variable;
            VARIANT single;
            single.vt = VT_R4;
            single.fltVal = static_cast<float>(bad);
            CallResult r, s;
            callByName(fs.get(), L"WriteBinaryFile_New", {&bytes, &name, &position}, r);
            callByName(fs.get(), L"WriteBinaryFile_New", {&bytes, &name, &single}, s);
            EXPECT_EQ(r.hr, DISP_E_OVERFLOW);
            EXPECT_EQ(s.hr, DISP_E_OVERFLOW);
            ::VariantClear(&bytes);
            ::VariantClear(&name);
        }
        {  // an Integer count
            VARIANT letter = text(L"ab"), count = r8(bad);
            CallResult r;
            callByName(hand.get(), L"ReturnText", {&letter, &count}, r);
            EXPECT_EQ(r.hr, DISP_E_OVERFLOW);
            ::VariantClear(&letter);
        }
        {  // an element of a Variant array passed for a Byte array
            VARIANT bytes = variantArray({i4(1), r8(bad)}), name = text(target);
            CallResult r;
            callByName(fs.get(), L"WriteBinaryFile", {&bytes, &name}, r);
            EXPECT_EQ(r.hr, DISP_E_OVERFLOW);
            ::VariantClear(&bytes);
            ::VariantClear(&name);
        }
    }
    EXPECT_FALSE(fileExists(target));
    VARIANT letter = text(L"ab"), count = r8(2.4);
    CallResult r;
    callByName(hand.get(), L"ReturnText", {&letter, &count}, r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(std::wstring(r.value.bstrVal), L"abab");
    ::VariantClear(&letter);
}

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// One thread's part: a class, a member, its arguments and the result the registered module
// gives for them.
struct Probe {
    const wchar_t* cls;
    const wchar_t* member;
    std::function<void(Args&)> args;
    std::wstring expected;
};

std::wstring resultText(const VARIANT& v) {
    Variant copy, t;
    ::VariantCopy(&copy, const_cast<VARIANT*>(&v));
    if (copy.vt & VT_ARRAY) return L"<array>";
    if (::VariantChangeType(&t, &copy, 0, VT_BSTR) != S_OK) return L"<no text>";
    return std::wstring(t.bstrVal, ::SysStringLen(t.bstrVal));
}

std::wstring callOnce(IDispatch* object, const Probe& p) {
    Args a;
    p.args(a);
    CallResult r;
    callByName(object, p.member, a.pointers(), r, DISPATCH_METHOD);
    if (r.hr != S_OK) return L"<failed " + std::to_wstring(static_cast<unsigned long>(r.hr)) + L">";
    return resultText(r.value);
}

}  // namespace

// The dispatcher builds each interface's table on first use. Threads that each live in their
// own apartment make that first use at the same moment, for different classes, in a fresh copy
// of the module every round (so every round is a first use), and call many times: each call
// must land in its own member and give the registered module's answer.
TEST(Apartments, ConcurrentFirstUseOfDifferentClassesDispatchesRightly) {
    TempDir work;
    const std::wstring ini = work / L"x.ini";
    const std::vector<Probe> probes = {
        {L"FileSystemCls", L"GetFileName", [](Args& a) { a.values = {text(L"C:\\d\\name.txt")}; }, {}},
        {L"StringHandCls", L"ReturnText", [](Args& a) { a.values = {text(L"ab"), i2(3)}; }, {}},
        {L"CodeCls", L"GetPassCode", [](Args& a) { a.values = {text(L"password")}; }, {}},
        {L"RegistryCls", L"GetRegErrorText", [](Args& a) { a.values = {i4(2)}; }, {}},
        {L"GetDataCls", L"GetWindowsVersion", [](Args& a) { a.values = {}; }, {}},
        {L"WindowsCls", L"IsWinNT", [](Args& a) { a.values = {}; }, {}},
        {L"MathClass", L"math_Parsent", [](Args& a) { a.values = {i4(1), i4(4)}; }, {}},
        {L"IniFileCls", L"GetIniValue", [&](Args& a) { a.values = {text(ini), text(L"s"), text(L"k"), text(L"dflt")}; }, {}},
        {L"ApplicationCls", L"GetCommand", [](Args& a) { a.values = {text(L"/a x /b y"), text(L"/")}; }, {}},
    };
    std::vector<Probe> expected = probes;
    for (auto& p : expected) {
        auto object = create(p.cls);
        p.expected = callOnce(object.get(), p);
        ASSERT_EQ(p.expected.rfind(L"<", 0), std::wstring::npos) << std::string(p.member, p.member + wcslen(p.member));
    }
    std::vector<CLSID> clsids(expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(::CLSIDFromProgID((std::wstring(L"kroProgramDll.") + expected[i].cls).c_str(), &clsids[i]), S_OK);

    // A copy under another name loads beside the registered module and unloads at each round's end.
    const std::wstring copy = work / L"copy.dll";
    ASSERT_TRUE(::CopyFileW(modulePath().c_str(), copy.c_str(), FALSE));
    constexpr int kRounds = 25, kCallsPerThread = 40;
    int freshRounds = 0;
    for (int round = 0; round < kRounds; ++round) {
        HMODULE module = ::LoadLibraryW(copy.c_str());
        ASSERT_TRUE(module);
        auto getClassObject = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
        ASSERT_TRUE(getClassObject);
        HANDLE start = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::vector<std::wstring> failures(expected.size());
        std::vector<std::thread> threads;
        for (size_t i = 0; i < expected.size(); ++i) {
            threads.emplace_back([&, i] {
                ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
                {
                    ComPtr<IClassFactory> factory;
                    ComPtr<IDispatch> object;
                    ::WaitForSingleObject(start, INFINITE);
                    if (FAILED(getClassObject(clsids[i], IID_IClassFactory, factory.putVoid())) ||
                        FAILED(factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid()))) {
                        failures[i] = L"not created";
                    } else {
                        for (int n = 0; n < kCallsPerThread && failures[i].empty(); ++n) {
                            std::wstring got = callOnce(object.get(), expected[i]);
                            if (got != expected[i].expected) failures[i] = got;
                        }
                    }
                }
                ::CoUninitialize();
            });
        }
        ::SetEvent(start);
        for (auto& t : threads) t.join();
        ::CloseHandle(start);
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(failures[i], L"") << "round " << round << ", " << std::string(expected[i].member, expected[i].member + wcslen(expected[i].member));
        ::FreeLibrary(module);
        if (!::GetModuleHandleW(copy.c_str())) ++freshRounds;
    }
    // Without unloading, only the first round would test a first use.
    EXPECT_GT(freshRounds, kRounds / 2);
}
