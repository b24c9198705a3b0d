// The hostile-argument sweep. It walks the module's type library and calls every member of every
// class, late-bound and through the vtable, with a table of hostile arguments: each argument in
// turn replaced by each hostile value, plus argument lists that are empty or too long. Members
// added to the type library later are swept without any change here, unless the exclusion list
// below names them.
//
//   sweep <module>                      one child process per class, then the verdict
//   sweep --class <name> <module> <log> the child: sweeps one class in the current folder
//
// Every call must end in success or an automation error, quickly; a crash or a hang of a child
// is reported with the call it was making. No call may write outside the class's working
// folder: the folders where stray writes land (the drive's root, the Windows and system
// folders, the temporary folder, the profile, the folder holding the working folders) are
// compared before and after each class.
#include <windows.h>
#include <oleauto.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- What is not swept ---------------------------------------------------------------------
// Members that act on the machine, on other programs' windows or on the session, or that show
// a window and wait for a person. "*" stands for every class that carries the member.
struct Exclusion {
    const wchar_t* cls;
    const wchar_t* member;
};
const Exclusion kExcluded[] = {
    // Ends the session.
    {L"WindowsCls", L"WinShutDown"},
    // Write the batch file "C:\Delete.bat" at the root of the drive and start it.
    {L"VorelCls", L"ElashFileEx"},
    {L"FileSystemCls", L"ElashReadyFile"},
    // Change the registry under machine-wide roots (hostile numbers include valid root keys,
    // and an empty key names the root itself), or the start-up entry of the user.
    {L"RegistryCls", L"CreateRegKey"},
    {L"RegistryCls", L"ManyMkKey"},
    {L"RegistryCls", L"DeleteRegKey"},
    {L"RegistryCls", L"ManyDeleteRegKey"},
    {L"RegistryCls", L"SetRegValue"},
    {L"RegistryCls", L"SetRegBinary"},
    {L"RegistryCls", L"DeleteRegValue"},
    {L"RegistryCls", L"SetStartupFile"},
    {L"RegistryCls", L"DeleteStartupFile"},
    // Put icons into the desktop's tray, or change windows of other programs named by handle.
    {L"*", L"Tasktray_Set"},
    {L"*", L"Tasktray_Exit"},
    {L"*", L"AddButtonForTaskBar"},
    {L"*", L"Set_Window_Top"},
    // Show a window or a dialog and wait for a person.
    {L"*", L"Show_Browse"},
    {L"MainCls", L"Info"},
    {L"FormCls", L"Registry_Show"},
    {L"FormCls", L"Shortcut_Show"},
    {L"FormCls", L"Message_Show"},
    {L"FormCls", L"List_Show"},
    {L"FormCls", L"List_SettingToShow"},
    {L"FormCls", L"Copy_ShowEx"},
};

bool excluded(const std::wstring& cls, const std::wstring& member) {
    for (const auto& e : kExcluded)
        if ((std::wstring(e.cls) == L"*" || cls == e.cls) && member == e.member) return true;
    return false;
}

constexpr DWORD kClassTimeoutMs = 180000;  // a child that takes longer hangs
constexpr double kSlowCallSeconds = 10.0;  // a single call that takes longer is reported

std::string narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return out;
}

// ---- A client's collection: any object with an Add method ----------------------------------
class Bag final : public IDispatch {
public:
    virtual ~Bag() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT n, LCID, DISPID* ids) override {
        for (UINT i = 0; i < n; ++i) ids[i] = DISPID_UNKNOWN;
        if (n >= 1 && ::lstrcmpiW(names[0], L"Add") == 0) { ids[0] = 1; return S_OK; }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return id == 1 ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
private:
    LONG refs_ = 1;
};

// ---- The hostile table ---------------------------------------------------------------------
SAFEARRAY* bytes(std::vector<SAFEARRAYBOUND> bounds) {
    // SafeArrayCreate takes the first dimension first.
    return ::SafeArrayCreate(VT_UI1, static_cast<UINT>(bounds.size()), bounds.data());
}

// Makes hostile value k (a fresh VARIANT each time, owned by the caller); false past the end.
// `plain` is an ordinary text (a file in the working folder) for the by-reference case.
bool hostile(int k, VARIANT& v, const std::wstring& plain) {
    ::VariantInit(&v);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto textValue = [&](const std::wstring& s) { v.vt = VT_BSTR; v.bstrVal = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())); };
    switch (k) {
    case 0: return true;  // Empty
    case 1: v.vt = VT_NULL; return true;
    case 2: v.vt = VT_ERROR; v.scode = DISP_E_PARAMNOTFOUND; return true;  // missing
    case 3: v.vt = VT_DISPATCH; v.pdispVal = nullptr; return true;          // Nothing
    case 4: v.vt = VT_DISPATCH; v.pdispVal = new Bag; return true;
    case 5: v.vt = VT_UNKNOWN; v.punkVal = new Bag; return true;
    case 6: textValue(L""); return true;
    case 7: textValue(std::wstring(100000, L'x')); return true;
    case 8: textValue(std::wstring(L"ab\0cd", 5)); return true;
    case 9: textValue(L"*?<>|\"\x3042:"); return true;
    case 10: textValue(L"-1"); return true;
    case 11: v.vt = VT_I2; v.iVal = -32768; return true;
    case 12: v.vt = VT_I4; v.lVal = 0; return true;
    case 13: v.vt = VT_I4; v.lVal = -1; return true;
    case 14: v.vt = VT_I4; v.lVal = 32768; return true;
    case 15: v.vt = VT_I4; v.lVal = std::numeric_limits<LONG>::min(); return true;
    case 16: v.vt = VT_I4; v.lVal = std::numeric_limits<LONG>::max(); return true;
    case 17: v.vt = VT_I8; v.llVal = std::numeric_limits<LONGLONG>::max(); return true;
    case 18: v.vt = VT_R8; v.dblVal = 1e300; return true;
    case 19: v.vt = VT_R8; v.dblVal = nan; return true;
    case 20: v.vt = VT_R8; v.dblVal = inf; return true;
    case 21: v.vt = VT_R8; v.dblVal = -inf; return true;
    case 22: v.vt = VT_BOOL; v.boolVal = VARIANT_TRUE; return true;
    case 23: v.vt = VT_CY; v.cyVal.int64 = std::numeric_limits<LONGLONG>::max(); return true;
    case 24: v.vt = VT_ARRAY | VT_UI1; v.parray = bytes({{0, 0}}); return true;           // no elements
    case 25: v.vt = VT_ARRAY | VT_UI1; v.parray = bytes({{2, 0}, {2, 0}}); return true;   // two dimensions
    case 26: v.vt = VT_ARRAY | VT_UI1; v.parray = bytes({{3, 5}}); return true;           // lower bound 5
    case 27: v.vt = VT_ARRAY | VT_UI1; v.parray = nullptr; return true;                   // never dimensioned
    case 28: {  // Variants that are no texts, numbers that are no bytes
        v.vt = VT_ARRAY | VT_VARIANT;
        v.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, 3);
        VARIANT* e = nullptr;
        ::SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&e));
        e[0].vt = VT_NULL;
        e[1].vt = VT_DISPATCH;
        e[1].pdispVal = new Bag;
        e[2].vt = VT_R8;
        e[2].dblVal = nan;
        ::SafeArrayUnaccessData(v.parray);
        return true;
    }
    case 29: {
        v.vt = VT_ARRAY | VT_BSTR;
        v.parray = ::SafeArrayCreateVector(VT_BSTR, 0, 2);
        BSTR* e = nullptr;
        ::SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&e));
        e[0] = ::SysAllocString(L"k=v");
        e[1] = ::SysAllocStringLen(L"a\0b", 3);
        ::SafeArrayUnaccessData(v.parray);
        return true;
    }
    case 31: textValue(plain.substr(0, plain.rfind(L'\\') + 1)); return true;  // the working folder
    case 30: {  // a script's variable passed by reference
        auto* inner = static_cast<VARIANT*>(::CoTaskMemAlloc(sizeof(VARIANT)));
        ::VariantInit(inner);
        inner->vt = VT_BSTR;
        inner->bstrVal = ::SysAllocString(plain.c_str());
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = inner;
        return true;
    }
    default: return false;
    }
}

void freeHostile(VARIANT& v) {
    if (v.vt == (VT_BYREF | VT_VARIANT)) {
        ::VariantClear(v.pvarVal);
        ::CoTaskMemFree(v.pvarVal);
        v.vt = VT_EMPTY;
        return;
    }
    ::VariantClear(&v);
}

// ---- Members as the type library describes them ---------------------------------------------
struct Param {
    VARTYPE vt = VT_EMPTY;  // declared type; enumerations are VT_I4, arrays VT_ARRAY|element
    IID iid = IID_NULL;     // for object parameters: the interface they must have
    bool byRef = false;
    bool optional = false;
};

struct Member {
    std::wstring name;
    MEMBERID id = 0;
    INVOKEKIND kind = INVOKE_FUNC;
    short vtableOffset = 0;
    std::vector<Param> params;  // without the result
    bool hasResult = false;
    VARTYPE resultVt = VT_EMPTY;
};

void resolve(ITypeInfo* ti, const TYPEDESC& td, Param& p, bool top) {
    switch (td.vt) {
    case VT_PTR: {
        const TYPEDESC& inner = *td.lptdesc;
        bool interfacePointer = false;
        if (inner.vt == VT_USERDEFINED) {
            ITypeInfo* ref = nullptr;
            TYPEATTR* attr = nullptr;
            if (SUCCEEDED(ti->GetRefTypeInfo(inner.hreftype, &ref)) && SUCCEEDED(ref->GetTypeAttr(&attr))) {
                interfacePointer = attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE;
                ref->ReleaseTypeAttr(attr);
            }
            if (ref) ref->Release();
        }
        if (!(interfacePointer && top)) p.byRef = true;
        resolve(ti, inner, p, false);
        break;
    }
    case VT_USERDEFINED: {
        ITypeInfo* ref = nullptr;
        TYPEATTR* attr = nullptr;
        p.vt = VT_I4;
        if (SUCCEEDED(ti->GetRefTypeInfo(td.hreftype, &ref)) && SUCCEEDED(ref->GetTypeAttr(&attr))) {
            if (attr->typekind == TKIND_ALIAS) resolve(ref, attr->tdescAlias, p, false);
            else if (attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE) {
                p.vt = (attr->wTypeFlags & TYPEFLAG_FDISPATCHABLE) ? VT_DISPATCH : VT_UNKNOWN;
                p.iid = attr->guid;
            }
            ref->ReleaseTypeAttr(attr);
        }
        if (ref) ref->Release();
        break;
    }
    case VT_SAFEARRAY: {
        Param element;
        resolve(ti, *td.lptdesc, element, false);
        p.vt = static_cast<VARTYPE>(VT_ARRAY | element.vt);
        break;
    }
    case VT_INT: p.vt = VT_I4; break;
    case VT_UINT: p.vt = VT_UI4; break;
    default: p.vt = td.vt; break;
    }
}

std::vector<Member> membersOf(ITypeInfo* vtableInfo) {
    std::vector<Member> members;
    TYPEATTR* attr = nullptr;
    if (FAILED(vtableInfo->GetTypeAttr(&attr))) return members;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(vtableInfo->GetFuncDesc(i, &fd))) continue;
        Member m;
        BSTR name = nullptr;
        vtableInfo->GetDocumentation(fd->memid, &name, nullptr, nullptr, nullptr);
        m.name = name ? name : L"";
        ::SysFreeString(name);
        m.id = fd->memid;
        m.kind = fd->invkind;
        m.vtableOffset = fd->oVft;
        for (SHORT k = 0; k < fd->cParams; ++k) {
            const ELEMDESC& ed = fd->lprgelemdescParam[k];
            Param p;
            resolve(vtableInfo, ed.tdesc, p, true);
            if (ed.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) {
                m.hasResult = true;
                m.resultVt = p.vt;
                continue;
            }
            p.optional = (ed.paramdesc.wParamFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
            m.params.push_back(p);
        }
        vtableInfo->ReleaseFuncDesc(fd);
        members.push_back(std::move(m));
    }
    vtableInfo->ReleaseTypeAttr(attr);
    return members;
}

// ---- The child: one class ------------------------------------------------------------------
// Message boxes and dialogs of the sweeping thread are refused as they are created, so that
// MessageBox answers 0 at once, as if a person had closed the box: showing and dismissing each
// would cost about a second under Wine, and members that tell the user about a failure would
// wait for a person.
LRESULT CALLBACK refuseDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t cls[16] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 16);
        if (std::wstring(cls) == L"#32770") return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// As a second line, answers every message box of this process that does appear of this process (Cancel where there is one, which also closes an
// OK-only box), so that members which tell the user about a failure do not wait for a person.
BOOL CALLBACK answerBox(HWND w, LPARAM) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w) && std::wstring(cls) == L"#32770")
        ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

DWORD WINAPI dismissBoxes(void* stop) {
    while (!*static_cast<volatile LONG*>(stop)) {
        ::EnumWindows(answerBox, 0);
        ::Sleep(15);
    }
    return 0;
}

void clearFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        std::wstring p = folder + L"\\" + n;
        ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) clearFolder(p);
            ::RemoveDirectoryW(p.c_str());
        } else {
            ::DeleteFileW(p.c_str());
        }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

class ClassSweep {
public:
    ClassSweep(std::wstring cls, std::wstring folder, HANDLE log) : cls_(std::move(cls)), folder_(std::move(folder)), log_(log) {
        seed_ = folder_ + L"\\seed.dat";
    }

    int failures = 0;
    long lateCalls = 0, vtableCalls = 0, skipped = 0;

    void run(IDispatch* object, IUnknown* vtable, const std::vector<Member>& members) {
        for (const auto& m : members) {
            if (excluded(cls_, m.name)) { ++skipped; continue; }
            resetFolder();
            sweepMember(object, vtable, m);
        }
        clearFolder(folder_);
    }

private:
    std::wstring cls_, folder_, seed_;
    HANDLE log_;

    void resetFolder() {
        clearFolder(folder_);
        HANDLE f = ::CreateFileW(seed_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        ::WriteFile(f, "seed\r\ndata\r\n", 12, &n, nullptr);
        ::CloseHandle(f);
    }

    // The call about to be made, for the parent to name when this process crashes or hangs.
    void note(const std::wstring& what) {
        std::string line = narrow(what);
        DWORD n = 0;
        ::SetFilePointer(log_, 0, nullptr, FILE_BEGIN);
        ::WriteFile(log_, line.data(), static_cast<DWORD>(line.size()), &n, nullptr);
        ::SetEndOfFile(log_);
    }

    void fail(const std::wstring& what) {
        ++failures;
        std::printf("FAIL %s\n", narrow(what).c_str());
        std::fflush(stdout);
    }

    // An ordinary value of the declared type: the seed file for texts, 1 for numbers.
    void baseline(const Param& p, VARIANT& v) {
        ::VariantInit(&v);
        if (p.vt == VT_BSTR || p.vt == VT_VARIANT) {
            v.vt = VT_BSTR;
            v.bstrVal = ::SysAllocString(seed_.c_str());
        } else if (p.vt == (VT_ARRAY | VT_VARIANT)) {
            v.vt = VT_ARRAY | VT_VARIANT;
            v.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, 1);
            LONG i = 0;
            VARIANT e;
            e.vt = VT_BSTR;
            e.bstrVal = ::SysAllocString(L"k=v");
            ::SafeArrayPutElement(v.parray, &i, &e);
            ::VariantClear(&e);
        } else if (p.vt & VT_ARRAY) {
            v.vt = VT_ARRAY | VT_UI1;
            v.parray = ::SafeArrayCreateVector(VT_UI1, 0, 4);
        } else if (p.vt == VT_DISPATCH && (p.iid == IID_NULL || p.iid == IID_IDispatch)) {
            v.vt = VT_DISPATCH;
            v.pdispVal = new Bag;
        } else if (p.vt == VT_DISPATCH || p.vt == VT_UNKNOWN) {
            v.vt = p.vt;
            v.punkVal = nullptr;
        } else {
            v.vt = VT_I4;
            v.lVal = 1;
        }
    }

    std::wstring label(const Member& m, int position, int k, const wchar_t* path) {
        return cls_ + L"." + m.name + L" " + path + L" argument " + std::to_wstring(position) + L" = hostile value " + std::to_wstring(k);
    }

    void sweepMember(IDispatch* object, IUnknown* vtable, const Member& m) {
        const int n = static_cast<int>(m.params.size());
        // Argument lists: each position in turn holds each hostile value, the others ordinary.
        for (int position = 0; position < n; ++position) {
            for (int k = 0;; ++k) {
                std::vector<VARIANT> args(n);
                for (int i = 0; i < n; ++i) baseline(m.params[i], args[i]);
                freeHostile(args[position]);
                if (!hostile(k, args[position], seed_)) {
                    for (auto& a : args) freeHostile(a);
                    break;
                }
                callLate(object, m, args, label(m, position, k, L"late-bound"));
                callVtable(vtable, m, args, label(m, position, k, L"vtable"));
                for (auto& a : args) freeHostile(a);
            }
        }
        // No arguments at all, and one too many.
        std::vector<VARIANT> none;
        callLate(object, m, none, cls_ + L"." + m.name + L" late-bound without arguments");
        std::vector<VARIANT> extra(n + 1);
        for (int i = 0; i < n; ++i) baseline(m.params[i], extra[i]);
        ::VariantInit(&extra[n]);
        extra[n].vt = VT_I4;
        callLate(object, m, extra, cls_ + L"." + m.name + L" late-bound with one argument too many");
        for (auto& a : extra) freeHostile(a);
    }

    template <class Call>
    void timed(const std::wstring& what, Call call) {
        note(what);
        auto start = std::chrono::steady_clock::now();
        call();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > kSlowCallSeconds) fail(what + L": took " + std::to_wstring(seconds) + L" s");
    }

    void callLate(IDispatch* object, const Member& m, std::vector<VARIANT>& args, const std::wstring& what) {
        ++lateCalls;
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // shallow: args keep ownership
        DISPID putId = DISPID_PROPERTYPUT;
        WORD flags = m.kind == INVOKE_FUNC ? DISPATCH_METHOD
                   : m.kind == INVOKE_PROPERTYGET ? DISPATCH_PROPERTYGET : DISPATCH_PROPERTYPUT;
        bool put = flags == DISPATCH_PROPERTYPUT && !reversed.empty();
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &putId : nullptr,
                          static_cast<UINT>(reversed.size()), put ? 1u : 0u};
        VARIANT result;
        ::VariantInit(&result);
        EXCEPINFO ei{};
        UINT argErr = 0;
        HRESULT hr = S_OK;
        timed(what, [&] { hr = object->Invoke(m.id, IID_NULL, 0, flags, &params, &result, &ei, &argErr); });
        // By-value arguments may have been written back in place: hand their bits back.
        for (size_t i = 0; i < args.size(); ++i) args[i] = reversed[args.size() - 1 - i];
        ::VariantClear(&result);
        bool described = hr != DISP_E_EXCEPTION || (ei.bstrDescription && FAILED(ei.scode));
        ::SysFreeString(ei.bstrSource);
        ::SysFreeString(ei.bstrDescription);
        ::SysFreeString(ei.bstrHelpFile);
        switch (hr) {
        case S_OK: case DISP_E_EXCEPTION: case DISP_E_TYPEMISMATCH: case DISP_E_OVERFLOW: case DISP_E_PARAMNOTOPTIONAL:
        case DISP_E_BADPARAMCOUNT: case DISP_E_PARAMNOTFOUND: case DISP_E_BADVARTYPE: case E_OUTOFMEMORY:
            if (!described) fail(what + L": an exception without a description");
            break;
        default:
            fail(what + L": returned " + std::to_wstring(static_cast<unsigned long>(hr)));
        }
    }

    // The value as a compiled caller would pass it for the declared type; false when no
    // caller could (a text where an object is declared).
    static bool asDeclared(const Param& p, const VARIANT& hostileValue, VARIANT& store) {
        ::VariantInit(&store);
        const VARIANT* h = &hostileValue;
        if (h->vt == (VT_BYREF | VT_VARIANT)) h = h->pvarVal;
        bool missing = h->vt == VT_ERROR && h->scode == DISP_E_PARAMNOTFOUND;
        if (p.vt == VT_VARIANT) return SUCCEEDED(::VariantCopy(&store, const_cast<VARIANT*>(h)));
        store.vt = p.vt;
        if (missing || (h->vt == VT_EMPTY && (p.vt & VT_ARRAY))) return true;  // the zero value
        if (p.vt & VT_ARRAY) {
            // A compiled caller can hand over any array, of any element type or shape.
            if (!(h->vt & VT_ARRAY)) return false;
            return !h->parray || SUCCEEDED(::SafeArrayCopy(h->parray, &store.parray));
        }
        if (p.vt == VT_DISPATCH || p.vt == VT_UNKNOWN) {
            if (h->vt != VT_DISPATCH && h->vt != VT_UNKNOWN) return false;
            if (!h->punkVal) return true;
            IID want = p.iid == IID_NULL ? (p.vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown) : p.iid;
            return SUCCEEDED(h->punkVal->QueryInterface(want, reinterpret_cast<void**>(&store.punkVal)));
        }
        if (p.vt == VT_BSTR && h->vt == VT_BSTR) {  // exactly, NULs included
            store.bstrVal = ::SysAllocStringLen(h->bstrVal, ::SysStringLen(h->bstrVal));
            return true;
        }
        VARIANT converted;
        ::VariantInit(&converted);
        if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(h), 0, p.vt))) return false;
        store = converted;
        return true;
    }

    void callVtable(IUnknown* vtable, const Member& m, const std::vector<VARIANT>& args, const std::wstring& what) {
        const size_t n = m.params.size();
        std::vector<VARIANT> store(n + 1);
        std::vector<VARIANT> callArgs(n + 1);
        std::vector<VARIANTARG*> pointers(n + 1);
        std::vector<VARTYPE> types(n + 1);
        size_t made = 0;
        bool callable = true;
        for (; made < n && callable; ++made) callable = asDeclared(m.params[made], args[made], store[made]);
        if (!callable) {
            for (size_t i = 0; i < made; ++i) ::VariantClear(&store[i]);
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            const Param& p = m.params[i];
            void* storage = p.vt == VT_VARIANT ? static_cast<void*>(&store[i]) : static_cast<void*>(&store[i].lVal);
            ::VariantInit(&callArgs[i]);
            if (p.byRef) {
                types[i] = static_cast<VARTYPE>(VT_BYREF | p.vt);
                callArgs[i].vt = types[i];
                callArgs[i].byref = storage;
            } else {
                types[i] = p.vt;
                callArgs[i] = store[i];  // shallow: store keeps ownership
            }
            pointers[i] = &callArgs[i];
        }
        size_t count = n;
        ::VariantInit(&store[n]);
        if (m.hasResult) {
            types[n] = static_cast<VARTYPE>(VT_BYREF | m.resultVt);
            callArgs[n].vt = types[n];
            callArgs[n].byref = m.resultVt == VT_VARIANT ? static_cast<void*>(&store[n]) : static_cast<void*>(&store[n].lVal);
            pointers[n] = &callArgs[n];
            ++count;
        }
        ++vtableCalls;
        ::SetErrorInfo(0, nullptr);
        VARIANT returned;
        ::VariantInit(&returned);
        HRESULT hr = S_OK;
        timed(what, [&] {
            hr = ::DispCallFunc(vtable, m.vtableOffset, CC_STDCALL, VT_ERROR, static_cast<UINT>(count), types.data(),
                                pointers.data(), &returned);
        });
        HRESULT memberHr = SUCCEEDED(hr) ? returned.scode : hr;
        if (FAILED(memberHr)) {
            IErrorInfo* info = nullptr;
            BSTR description = nullptr;
            if (::GetErrorInfo(0, &info) == S_OK && info) {
                info->GetDescription(&description);
                info->Release();
            }
            if (!description) fail(what + L": failed (" + std::to_wstring(static_cast<unsigned long>(memberHr)) + L") without error information");
            ::SysFreeString(description);
        }
        if (m.hasResult && m.resultVt != VT_VARIANT) store[n].vt = m.resultVt;
        for (size_t i = 0; i <= n; ++i) ::VariantClear(&store[i]);
    }
};

int runChild(const std::wstring& cls, const std::wstring& modulePath, const std::wstring& logPath) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HANDLE log = ::CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    volatile LONG stop = 0;
    HANDLE dismisser = ::CreateThread(nullptr, 0, dismissBoxes, const_cast<LONG*>(&stop), 0, nullptr);
    HHOOK refuser = ::SetWindowsHookExW(WH_CBT, refuseDialogs, nullptr, ::GetCurrentThreadId());
    ITypeLib* lib = nullptr;
    if (FAILED(::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &lib))) { std::printf("FAIL no type library\n"); return 2; }
    int result = 2;
    for (UINT i = 0, count = lib->GetTypeInfoCount(); i < count; ++i) {
        TYPEKIND kind;
        BSTR name = nullptr;
        if (FAILED(lib->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS) continue;
        lib->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr);
        bool match = name && cls == name;
        ::SysFreeString(name);
        if (!match) continue;
        ITypeInfo* coclass = nullptr, *dispatchInfo = nullptr, *vtableInfo = nullptr;
        TYPEATTR* attr = nullptr;
        HREFTYPE ref = 0;
        lib->GetTypeInfo(i, &coclass);
        coclass->GetTypeAttr(&attr);
        CLSID clsid = attr->guid;
        coclass->ReleaseTypeAttr(attr);
        coclass->GetRefTypeOfImplType(0, &ref);
        coclass->GetRefTypeInfo(ref, &dispatchInfo);
        // A dual interface's type info describes the dispinterface; its vtable half is the other.
        if (FAILED(dispatchInfo->GetRefTypeOfImplType(-1, &ref)) || FAILED(dispatchInfo->GetRefTypeInfo(ref, &vtableInfo))) {
            vtableInfo = dispatchInfo;
            vtableInfo->AddRef();
        }
        vtableInfo->GetTypeAttr(&attr);
        IID iid = attr->guid;
        vtableInfo->ReleaseTypeAttr(attr);
        IDispatch* object = nullptr;
        IUnknown* vtable = nullptr;
        if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object))) ||
            FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(&vtable)))) {
            std::printf("FAIL %s cannot be created\n", narrow(cls).c_str());
        } else {
            wchar_t folder[MAX_PATH];
            ::GetCurrentDirectoryW(MAX_PATH, folder);
            ClassSweep sweep(cls, folder, log);
            sweep.run(object, vtable, membersOf(vtableInfo));
            std::printf("%s: %ld late-bound and %ld vtable calls, %ld members excluded, %d failures\n", narrow(cls).c_str(),
                        sweep.lateCalls, sweep.vtableCalls, sweep.skipped, sweep.failures);
            result = sweep.failures ? 1 : 0;
        }
        if (vtable) vtable->Release();
        if (object) object->Release();
        vtableInfo->Release();
        dispatchInfo->Release();
        coclass->Release();
        break;
    }
    lib->Release();
    ::UnhookWindowsHookEx(refuser);
    stop = 1;
    ::WaitForSingleObject(dismisser, INFINITE);
    ::CloseHandle(log);
    ::CoUninitialize();
    std::fflush(stdout);
    return result;
}

// ---- The parent ----------------------------------------------------------------------------
struct Entry {
    ULONGLONG size;
    FILETIME written;
    bool folder;  // a folder's time changes with its entries; only its appearance counts
};
using Snapshot = std::map<std::wstring, Entry>;

void addEntries(const std::wstring& folder, Snapshot& out) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        out[folder + L"\\" + n] = {(static_cast<ULONGLONG>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, fd.ftLastWriteTime,
                                    (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

std::wstring folderFrom(UINT (WINAPI* get)(LPWSTR, UINT)) {
    wchar_t buf[MAX_PATH] = {};
    get(buf, MAX_PATH);
    return buf;
}

std::wstring environment(const wchar_t* name) {
    wchar_t buf[MAX_PATH] = {};
    ::GetEnvironmentVariableW(name, buf, MAX_PATH);
    return buf;
}

// The texts of the hostile values that name a file without a folder ("-1", "NAN", "True" ...).
// The INI members look for such a file in the Windows folder and create it there: that is the
// platform's rule for a bare name, which the library keeps, and not a stray write.
std::set<std::wstring> bareNames() {
    std::set<std::wstring> names;
    VARIANT v, t;
    for (int k = 0; hostile(k, v, L"C:\\x"); ++k) {
        // Booleans become "True" late-bound and "-1" through the vtable.
        for (USHORT flags : {USHORT(0), USHORT(VARIANT_ALPHABOOL)}) {
            ::VariantInit(&t);
            if (v.vt != VT_BSTR && SUCCEEDED(::VariantChangeType(&t, &v, flags, VT_BSTR))) {
                std::wstring name(t.bstrVal, ::SysStringLen(t.bstrVal));
                ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
                names.insert(name);
            }
            ::VariantClear(&t);
        }
        freeHostile(v);
    }
    return names;
}

bool platformsBareIniName(const std::wstring& cls, const std::wstring& path, const std::wstring& windows,
                          const std::set<std::wstring>& bare) {
    size_t slash = path.rfind(L'\\');
    if (cls != L"IniFileCls" || slash == std::wstring::npos || path.substr(0, slash) != windows) return false;
    std::wstring name = path.substr(slash + 1);
    ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return bare.count(name) != 0;
}

std::wstring readLog(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return L"(nothing logged)";
    char buf[4096];
    DWORD n = 0;
    ::ReadFile(f, buf, sizeof(buf) - 1, &n, nullptr);
    ::CloseHandle(f);
    return std::wstring(buf, buf + n);
}

int runParent(const std::wstring& modulePath) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ITypeLib* lib = nullptr;
    if (FAILED(::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &lib))) {
        std::printf("cannot load the type library of %s\n", narrow(modulePath).c_str());
        return 2;
    }
    std::vector<std::wstring> classes;
    for (UINT i = 0, count = lib->GetTypeInfoCount(); i < count; ++i) {
        TYPEKIND kind;
        BSTR name = nullptr;
        if (SUCCEEDED(lib->GetTypeInfoType(i, &kind)) && kind == TKIND_COCLASS &&
            SUCCEEDED(lib->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr)))
            classes.push_back(name);
        ::SysFreeString(name);
    }
    lib->Release();

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring tempFolder(temp);
    if (!tempFolder.empty() && tempFolder.back() == L'\\') tempFolder.pop_back();
    const std::wstring root = tempFolder + L"\\kro-sweep-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::wstring systemRoot = folderFrom(::GetWindowsDirectoryW).substr(0, 2);
    const std::vector<std::wstring> watched = {systemRoot, folderFrom(::GetWindowsDirectoryW), folderFrom(::GetSystemDirectoryW),
                                               tempFolder, environment(L"USERPROFILE"), root};
    auto snapshot = [&] {
        Snapshot s;
        for (const auto& f : watched) addEntries(f, s);
        return s;
    };
    const std::wstring windows = folderFrom(::GetWindowsDirectoryW);
    const std::set<std::wstring> bare = bareNames();
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);

    int failed = 0;
    auto started = std::chrono::steady_clock::now();
    for (const auto& cls : classes) {
        const std::wstring folder = root + L"\\" + cls;
        const std::wstring log = root + L"\\" + cls + L".log";
        ::CreateDirectoryW(folder.c_str(), nullptr);
        Snapshot before = snapshot();
        std::wstring command = L"\"" + std::wstring(self) + L"\" --class " + cls + L" \"" + modulePath + L"\" \"" + log + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        for (HANDLE h : {si.hStdInput, si.hStdOutput, si.hStdError}) ::SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        PROCESS_INFORMATION pi{};
        std::fflush(stdout);
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi)) {
            std::printf("FAIL %s: the child could not be started\n", narrow(cls).c_str());
            ++failed;
            continue;
        }
        DWORD waited = ::WaitForSingleObject(pi.hProcess, kClassTimeoutMs);
        DWORD code = 0;
        if (waited == WAIT_TIMEOUT) {
            ::TerminateProcess(pi.hProcess, 3);
            ::WaitForSingleObject(pi.hProcess, INFINITE);
            std::printf("FAIL %s: no answer within %lu s, during %s\n", narrow(cls).c_str(), kClassTimeoutMs / 1000,
                        narrow(readLog(log)).c_str());
            ++failed;
        } else {
            ::GetExitCodeProcess(pi.hProcess, &code);
            if (code == 1) {
                ++failed;
            } else if (code != 0) {
                std::printf("FAIL %s: the child ended with 0x%08lx during %s\n", narrow(cls).c_str(), code, narrow(readLog(log)).c_str());
                ++failed;
            }
        }
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        ::DeleteFileW(log.c_str());
        clearFolder(folder);
        ::RemoveDirectoryW(folder.c_str());
        Snapshot after = snapshot();
        for (const auto& [path, entry] : after) {
            auto old = before.find(path);
            if (path == folder || path == log) continue;
            bool changed = old != before.end() && !entry.folder && (old->second.size != entry.size || ::CompareFileTime(&old->second.written, &entry.written) != 0);
            if (platformsBareIniName(cls, path, windows, bare)) {
                ::DeleteFileW(path.c_str());
                continue;
            }
            if (old == before.end() || changed) {
                std::printf("FAIL %s wrote outside its working folder: %s\n", narrow(cls).c_str(), narrow(path).c_str());
                ++failed;
            }
        }
    }
    ::RemoveDirectoryW(root.c_str());
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("sweep: %zu classes in %.1f s, %d failed\n", classes.size(), seconds, failed);
    ::CoUninitialize();
    return failed ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 5 && std::wstring(argv[1]) == L"--class") return runChild(argv[2], argv[3], argv[4]);
    if (argc == 2) {
        // A Unix path (as the build names the module) is reached through drive Z:.
        std::wstring module = argv[1];
        if (!module.empty() && module[0] == L'/') {
            for (auto& c : module) if (c == L'/') c = L'\\';
            module = L"Z:" + module;
        }
        return runParent(module);
    }
    std::printf("usage: sweep <module>\n");
    return 2;
}
