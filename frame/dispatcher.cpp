#include "frame/dispatcher.h"

#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "frame/automation.h"
#include "frame/errors.h"
#include "frame/module.h"
#include "frame/raii.h"

namespace kro::dispatch {
namespace {

constexpr UINT kMaxParams = 16;

unsigned foldedChar(wchar_t c) {
    if (c >= L'a' && c <= L'z') return c - L'a' + L'A';
    if (c < 0x80) return c;
    wchar_t buf[1] = {c};
    ::CharUpperBuffW(buf, 1);
    return buf[0];
}

unsigned nameHash(const wchar_t* s, size_t n) {
    unsigned h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ foldedChar(s[i])) * 16777619u;
    return h;
}

bool sameName(const std::wstring& a, const wchar_t* b, size_t n) {
    return a.size() == n && ::CompareStringOrdinal(a.c_str(), static_cast<int>(n), b, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

// Resolves a parameter's TYPEDESC to the declared base type, pointer level and interface id.
void resolveType(ITypeInfo* ti, const TYPEDESC& td, ParamInfo& p, int depth = 0) {
    switch (td.vt) {
    case VT_PTR: {
        const TYPEDESC& inner = *td.lptdesc;
        bool innerIsInterface = false;
        if (inner.vt == VT_USERDEFINED) {
            ComPtr<ITypeInfo> ref;
            TYPEATTR* attr = nullptr;
            if (SUCCEEDED(ti->GetRefTypeInfo(inner.hreftype, ref.put())) && SUCCEEDED(ref->GetTypeAttr(&attr))) {
                innerIsInterface = attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE;
                ref->ReleaseTypeAttr(attr);
            }
        }
        if (innerIsInterface && depth == 0) {
            // Pointer to an interface: an object passed by value.
            resolveType(ti, inner, p, depth + 1);
        } else {
            p.byRef = true;
            resolveType(ti, inner, p, depth + 1);
        }
        break;
    }
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> ref;
        TYPEATTR* attr = nullptr;
        p.vt = VT_I4;
        if (SUCCEEDED(ti->GetRefTypeInfo(td.hreftype, ref.put())) && SUCCEEDED(ref->GetTypeAttr(&attr))) {
            if (attr->typekind == TKIND_ALIAS) {
                resolveType(ref.get(), attr->tdescAlias, p, depth);
            } else if (attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE) {
                p.vt = (attr->wTypeFlags & TYPEFLAG_FDISPATCHABLE) ? VT_DISPATCH : VT_UNKNOWN;
                p.iid = attr->guid;
            }
            ref->ReleaseTypeAttr(attr);
        }
        break;
    }
    case VT_SAFEARRAY: {
        ParamInfo element;
        resolveType(ti, *td.lptdesc, element, depth);
        p.vt = VT_ARRAY | element.vt;
        break;
    }
    case VT_INT: p.vt = VT_I4; break;
    case VT_UINT: p.vt = VT_UI4; break;
    case VT_HRESULT: p.vt = VT_ERROR; break;
    default: p.vt = td.vt; break;
    }
}

// A BSTR read from a type library may carry NULs after its text; keep the text.
void trimBstrDefault(VARIANT& v) {
    if (v.vt != VT_BSTR || !v.bstrVal) return;
    UINT len = ::SysStringLen(v.bstrVal);
    UINT real = static_cast<UINT>(std::wcslen(v.bstrVal));
    if (real < len) {
        BSTR trimmed = ::SysAllocStringLen(v.bstrVal, real);
        if (trimmed) { ::SysFreeString(v.bstrVal); v.bstrVal = trimmed; }
    }
}

bool isMissing(const VARIANT* v) {
    if (!v) return true;
    const VARIANT* d = v;
    if (d->vt == (VT_BYREF | VT_VARIANT) && d->pvarVal) d = d->pvarVal;
    return d->vt == VT_ERROR && d->scode == DISP_E_PARAMNOTFOUND;
}

// The variant a by-reference argument finally refers to, or null for a by-value argument.
VARIANT* referencedVariant(VARIANT* arg) {
    if (arg->vt == (VT_BYREF | VT_VARIANT)) {
        VARIANT* v = arg->pvarVal;
        while (v && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
        return v;
    }
    return nullptr;
}

// Pointer to the caller's storage when the argument already has exactly the declared type, so
// the member reads and writes the caller's variable directly.
void* directStorage(VARIANT* arg, VARTYPE vt) {
    if (VARIANT* v = referencedVariant(arg)) {
        if (vt == VT_VARIANT) return v;
        return v->vt == vt ? &v->lVal : nullptr;
    }
    if (arg->vt == (VT_BYREF | vt)) return arg->byref;
    return nullptr;
}

bool isIntegerType(VARTYPE vt) {
    switch (vt) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
    case VT_I8: case VT_UI8: case VT_INT: case VT_UINT: case VT_CY:
        return true;
    default:
        return false;
    }
}

// The floating-point value a variant (or the variable it refers to) holds, if it holds one.
bool floatingValue(const VARIANT& v, double& value) {
    switch (v.vt) {
    case VT_R4: value = v.fltVal; return true;
    case VT_R8: case VT_DATE: value = v.dblVal; return true;
    case VT_BYREF | VT_R4: value = *v.pfltVal; return true;
    case VT_BYREF | VT_R8: case VT_BYREF | VT_DATE: value = *v.pdblVal; return true;
    case VT_BYREF | VT_VARIANT: return v.pvarVal && floatingValue(*v.pvarVal, value);
    default: return false;
    }
}

// VariantChangeType, except that NaN and the infinities never become integers: Windows refuses
// them with an overflow, while Wine's conversion turns them into the largest value (a NaN
// position would then write 2 GiB into a file).
HRESULT changeType(VARIANT* out, VARIANT* in, USHORT flags, VARTYPE vt) {
    double value = 0;
    if (isIntegerType(vt) && floatingValue(*in, value) && !std::isfinite(value)) return DISP_E_OVERFLOW;
    return ::VariantChangeType(out, in, flags, vt);
}

// Converts the `total` elements of `src` into those of `dst`, which has the same layout.
HRESULT convertElements(SAFEARRAY* src, VARTYPE srcVt, SAFEARRAY* dst, VARTYPE dstVt, ULONG total) {
    SafeArrayData from(src), to(dst);
    if (FAILED(from.hr())) return from.hr();
    if (FAILED(to.hr())) return to.hr();
    HRESULT hr = S_OK;
    // Both arrays share one layout, so a linear walk covers any number of dimensions.
    for (ULONG i = 0; i < total && SUCCEEDED(hr); ++i) {
        char* p = static_cast<char*>(from.data()) + static_cast<size_t>(i) * src->cbElements;
        char* q = static_cast<char*>(to.data()) + static_cast<size_t>(i) * dst->cbElements;
        VARIANT element;
        ::VariantInit(&element);
        if (srcVt == VT_VARIANT) {
            element = *reinterpret_cast<VARIANT*>(p);  // borrowed, not owned
        } else {
            element.vt = static_cast<VARTYPE>(VT_BYREF | srcVt);
            element.byref = p;
        }
        if (dstVt == VT_VARIANT) {
            hr = ::VariantCopyInd(reinterpret_cast<VARIANT*>(q), &element);
        } else {
            Variant converted;
            hr = changeType(&converted, &element, VARIANT_ALPHABOOL, dstVt);
            if (SUCCEEDED(hr)) {
                std::memcpy(q, &converted.lVal, dst->cbElements);
                converted.vt = VT_EMPTY;  // ownership moved into the array
            }
        }
    }
    return hr;
}

// Converts an array element by element to another element type, keeping its bounds.
HRESULT convertArray(SAFEARRAY* src, VARTYPE srcVt, VARTYPE dstVt, SAFEARRAY** out) {
    *out = nullptr;
    UINT dims = ::SafeArrayGetDim(src);
    if (dims == 0) return DISP_E_TYPEMISMATCH;
    std::vector<SAFEARRAYBOUND> bounds(dims);
    ULONG total = 1;
    for (UINT d = 0; d < dims; ++d) {
        // rgsabound is stored last dimension first; SafeArrayCreate takes it first dimension first.
        bounds[d] = src->rgsabound[dims - 1 - d];
        total *= bounds[d].cElements;
    }
    SafeArray dst(::SafeArrayCreate(dstVt, dims, bounds.data()));
    if (!dst.get()) return E_OUTOFMEMORY;
    HRESULT hr = convertElements(src, srcVt, dst.get(), dstVt, total);
    if (FAILED(hr)) return hr;
    *out = dst.release();
    return S_OK;
}

// Converts one argument to the declared type of `p` into `out` (which is VT_EMPTY).
HRESULT convertArgument(const VARIANT* arg, const ParamInfo& p, VARIANT& out) {
    Variant plain;
    HRESULT hr = ::VariantCopyInd(&plain, const_cast<VARIANT*>(arg));
    if (FAILED(hr)) return hr;
    if (plain.vt == (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
    if (p.convert) {
        hr = p.convert(plain, out);
        if (hr != S_FALSE) return hr;
    }
    if (p.vt == VT_VARIANT) {
        out = plain.release();
        return S_OK;
    }
    if (p.vt & VT_ARRAY) {
        if (plain.vt == VT_EMPTY) {  // an array never dimensioned
            out.vt = p.vt;
            out.parray = nullptr;
            return S_OK;
        }
        if (!(plain.vt & VT_ARRAY)) return DISP_E_TYPEMISMATCH;
        out.vt = p.vt;
        if (!plain.parray) { out.parray = nullptr; return S_OK; }
        VARTYPE srcElement = plain.vt & ~VT_ARRAY;
        VARTYPE dstElement = p.vt & ~VT_ARRAY;
        if (srcElement == dstElement) {
            out.parray = plain.parray;
            plain.vt = VT_EMPTY;
            return S_OK;
        }
        hr = convertArray(plain.parray, srcElement, dstElement, &out.parray);
        if (FAILED(hr)) out.vt = VT_EMPTY;
        return hr;
    }
    if (p.vt == VT_DISPATCH || p.vt == VT_UNKNOWN) {
        IUnknown* unk = nullptr;
        if (plain.vt == VT_DISPATCH) unk = plain.pdispVal;
        else if (plain.vt == VT_UNKNOWN) unk = plain.punkVal;
        else return DISP_E_TYPEMISMATCH;
        out.vt = p.vt;
        out.punkVal = nullptr;
        if (!unk) return S_OK;  // Nothing
        REFIID want = p.iid != IID_NULL ? p.iid : (p.vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown);
        hr = unk->QueryInterface(want, reinterpret_cast<void**>(&out.punkVal));
        if (FAILED(hr)) { out.vt = VT_EMPTY; return DISP_E_TYPEMISMATCH; }
        return S_OK;
    }
    return changeType(&out, &plain, p.vt == VT_BSTR ? VARIANT_ALPHABOOL : 0, p.vt);
}

// The value an omitted optional parameter receives.
HRESULT omittedValue(const ParamInfo& p, VARIANT& out) {
    if (p.hasDefault) {
        Variant def;
        HRESULT hr = ::VariantCopy(&def, const_cast<VARIANT*>(&p.defaultValue));
        if (FAILED(hr)) return hr;
        return convertArgument(&def, p, out);
    }
    if (p.vt == VT_VARIANT) {
        out.vt = VT_ERROR;
        out.scode = DISP_E_PARAMNOTFOUND;
        return S_OK;
    }
    out.vt = p.vt;
    out.llVal = 0;  // zero value: empty text (null BSTR), 0, False, no object, no array
    return S_OK;
}

// Stores `value` (of the declared type) into a caller's by-reference argument of another type.
void writeBack(VARIANT* arg, VARIANT& value) {
    if (VARIANT* target = referencedVariant(arg)) {
        // A script's Variant array stays a Variant array so that the script can still index it.
        if (target->vt == (VT_ARRAY | VT_VARIANT) && (value.vt & VT_ARRAY) && value.vt != target->vt && value.parray) {
            SAFEARRAY* converted = nullptr;
            if (SUCCEEDED(convertArray(value.parray, value.vt & ~VT_ARRAY, VT_VARIANT, &converted))) {
                ::VariantClear(target);
                target->vt = VT_ARRAY | VT_VARIANT;
                target->parray = converted;
                return;
            }
        }
        ::VariantClear(target);
        *target = value;
        ::VariantInit(&value);
        return;
    }
    if (!(arg->vt & VT_BYREF)) return;
    VARTYPE callerVt = arg->vt & ~VT_BYREF;
    Variant converted;
    if (callerVt & VT_ARRAY) {
        if (!(value.vt & VT_ARRAY) || !value.parray) return;
        SAFEARRAY* a = nullptr;
        if (FAILED(convertArray(value.parray, value.vt & ~VT_ARRAY, callerVt & ~VT_ARRAY, &a))) return;
        if (*arg->pparray) ::SafeArrayDestroy(*arg->pparray);
        *arg->pparray = a;
        return;
    }
    if (FAILED(::VariantChangeType(&converted, &value, 0, callerVt))) return;
    switch (callerVt) {
    case VT_BSTR:
        ::SysFreeString(*arg->pbstrVal);
        *arg->pbstrVal = converted.bstrVal;
        converted.vt = VT_EMPTY;
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (*arg->ppunkVal) (*arg->ppunkVal)->Release();
        *arg->ppunkVal = converted.punkVal;
        converted.vt = VT_EMPTY;
        break;
    case VT_I1: case VT_UI1: *arg->pbVal = converted.bVal; break;
    case VT_I2: case VT_UI2: case VT_BOOL: *arg->piVal = converted.iVal; break;
    case VT_I4: case VT_UI4: case VT_R4: case VT_ERROR: case VT_INT: case VT_UINT: *arg->plVal = converted.lVal; break;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: *arg->pllVal = converted.llVal; break;
    default: break;
    }
}

void fillException(EXCEPINFO* ei, HRESULT hr) {
    if (!ei) return;
    std::memset(ei, 0, sizeof(*ei));
    ei->scode = hr;
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
        info->GetSource(&ei->bstrSource);
        info->GetDescription(&ei->bstrDescription);
    }
    if (!ei->bstrSource) ei->bstrSource = ::SysAllocString(kErrorSource);
    if (!ei->bstrDescription) {
        std::wstring d = HRESULT_FACILITY(hr) == FACILITY_CONTROL ? standardDescription(HRESULT_CODE(hr)) : L"Automation error";
        ei->bstrDescription = ::SysAllocString(d.c_str());
    }
}

}  // namespace

Table::Table(ITypeInfo* typeInfo, std::span<const ParameterConversion> conversions) : typeInfo_(typeInfo) {
    TYPEATTR* attr = nullptr;
    if (FAILED(typeInfo_->GetTypeAttr(&attr))) return;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(typeInfo_->GetFuncDesc(i, &fd))) continue;
        FuncInfo f;
        f.memid = fd->memid;
        f.invkind = fd->invkind;
        f.vtableOffset = fd->oVft;
        BSTR names[kMaxParams + 2] = {};
        UINT got = 0;
        typeInfo_->GetNames(fd->memid, names, std::min<UINT>(static_cast<UINT>(fd->cParams) + 1, kMaxParams + 2), &got);
        if (fd->invkind != INVOKE_PROPERTYPUT && fd->invkind != INVOKE_PROPERTYPUTREF && got > 0 && names[0]) {
            std::wstring name(names[0], ::SysStringLen(names[0]));
            names_.push_back({nameHash(name.data(), name.size()), name, fd->memid});
        }
        for (SHORT k = 0; k < fd->cParams; ++k) {
            const ELEMDESC& ed = fd->lprgelemdescParam[k];
            ParamInfo p;
            resolveType(typeInfo_.get(), ed.tdesc, p);
            USHORT flags = ed.paramdesc.wParamFlags;
            if (flags & PARAMFLAG_FRETVAL) {
                p.byRef = false;
                f.hasResult = true;
                f.result = p;
                continue;
            }
            if (static_cast<UINT>(k + 1) < got && names[k + 1]) p.name.assign(names[k + 1], ::SysStringLen(names[k + 1]));
            for (const ParameterConversion& c : conversions)
                if (::CompareStringOrdinal(p.name.c_str(), -1, c.parameter, -1, TRUE) == CSTR_EQUAL) p.convert = c.convert;
            p.optional = (flags & PARAMFLAG_FOPT) != 0;
            if ((flags & PARAMFLAG_FHASDEFAULT) && ed.paramdesc.pparamdescex) {
                p.hasDefault = true;
                p.optional = true;
                ::VariantInit(&p.defaultValue);
                ::VariantCopy(&p.defaultValue, &ed.paramdesc.pparamdescex->varDefaultValue);
                trimBstrDefault(p.defaultValue);
            }
            f.params.push_back(std::move(p));
        }
        for (UINT n = 0; n < got; ++n) ::SysFreeString(names[n]);
        typeInfo_->ReleaseFuncDesc(fd);
        funcs_.push_back(std::move(f));
    }
    typeInfo_->ReleaseTypeAttr(attr);
    std::sort(names_.begin(), names_.end(), [](const NameEntry& a, const NameEntry& b) { return a.hash < b.hash; });
}

Table::~Table() {
    for (auto& f : funcs_)
        for (auto& p : f.params)
            if (p.hasDefault) ::VariantClear(&p.defaultValue);
}

const FuncInfo* Table::find(DISPID id, WORD flags) const {
    const FuncInfo* getter = nullptr;
    for (const auto& f : funcs_) {
        if (f.memid != id) continue;
        if ((flags & DISPATCH_METHOD) && f.invkind == INVOKE_FUNC) return &f;
        if ((flags & DISPATCH_PROPERTYGET) && f.invkind == INVOKE_PROPERTYGET) getter = &f;
        if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && f.invkind == INVOKE_PROPERTYPUT) return &f;
    }
    return getter;
}

HRESULT Table::idsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (!names[0]) return DISP_E_UNKNOWNNAME;
    size_t n = std::wcslen(names[0]);
    unsigned h = nameHash(names[0], n);
    auto it = std::lower_bound(names_.begin(), names_.end(), h, [](const NameEntry& e, unsigned v) { return e.hash < v; });
    for (; it != names_.end() && it->hash == h; ++it)
        if (sameName(it->name, names[0], n)) { ids[0] = it->id; break; }
    if (ids[0] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        bool found = false;
        for (const auto& f : funcs_) {
            if (f.memid != ids[0]) continue;
            for (size_t k = 0; k < f.params.size() && !found; ++k)
                if (names[i] && sameName(f.params[k].name, names[i], std::wcslen(names[i]))) { ids[i] = static_cast<DISPID>(k); found = true; }
            if (found) break;
        }
        if (!found) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

namespace {

// The tables built so far, one per interface, kept for the life of the process. Any apartment
// thread may be the first to use an interface, so slots are filled under a lock and published
// by the count: a reader sees a slot only once it is complete, and each interface gets one table.
struct TableCache {
    struct Slot { IID iid; const Table* table; };
    static constexpr int kSlots = 64;  // more than the type library has interfaces
    Slot slots[kSlots] = {};
    std::atomic<int> published{0};
    SRWLOCK fill = SRWLOCK_INIT;

    const Table* find(REFIID iid, int count) const {
        for (int i = 0; i < count; ++i)
            if (slots[i].iid == iid) return slots[i].table;
        return nullptr;
    }
};

TableCache g_tables;

const Table* buildTable(REFIID iid, std::span<const ParameterConversion> conversions) {
    ITypeLib* lib = module::typeLib();
    if (!lib) return nullptr;
    ComPtr<ITypeInfo> ti;
    if (FAILED(lib->GetTypeInfoOfGuid(iid, ti.put()))) return nullptr;
    // A dual interface's type info describes the dispinterface; take its vtable half.
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> vtableInfo;
    if (SUCCEEDED(ti->GetRefTypeOfImplType(-1, &ref)) && SUCCEEDED(ti->GetRefTypeInfo(ref, vtableInfo.put())))
        ti = vtableInfo;
    return new Table(ti.get(), conversions);
}

}  // namespace

const Table* table(REFIID iid, std::span<const ParameterConversion> conversions) {
    if (const Table* t = g_tables.find(iid, g_tables.published.load(std::memory_order_acquire))) return t;
    ::AcquireSRWLockExclusive(&g_tables.fill);
    int count = g_tables.published.load(std::memory_order_relaxed);
    const Table* t = g_tables.find(iid, count);
    if (!t && count < TableCache::kSlots && (t = buildTable(iid, conversions)) != nullptr) {
        g_tables.slots[count] = {iid, t};
        g_tables.published.store(count + 1, std::memory_order_release);
    }
    ::ReleaseSRWLockExclusive(&g_tables.fill);
    return t;
}

HRESULT stringArrayToVariantArray(SAFEARRAY* strings, SAFEARRAY** variants) {
    return convertArray(strings, VT_BSTR, VT_VARIANT, variants);
}

namespace {

// The caller's arguments matched to the member's parameters: slot[k] is the argument of
// parameter k (null when none was given), argIndex[k] its index in DISPPARAMS for puArgErr.
struct Binding {
    VARIANT* slot[kMaxParams] = {};
    UINT argIndex[kMaxParams] = {};
};

// The member's arguments as DispCallFunc takes them. local[k] owns what parameter k receives
// when the caller's own variable cannot be handed over directly.
struct CallFrame {
    VARIANT local[kMaxParams];
    bool usesLocal[kMaxParams] = {};
    VARIANT arg[kMaxParams + 1];
    VARIANTARG* argPtr[kMaxParams + 1];
    VARTYPE type[kMaxParams + 1];
    UINT count = 0;
    VARIANT retval;
    CallFrame() {
        std::memset(local, 0, sizeof(local));
        std::memset(arg, 0, sizeof(arg));
        std::memset(&retval, 0, sizeof(retval));
    }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;
    ~CallFrame() {
        for (VARIANT& v : local) ::VariantClear(&v);
    }
};

HRESULT failArgument(UINT* argErr, UINT index, HRESULT hr) {
    if (argErr) *argErr = index;
    return hr;
}

// Bind: positional arguments (DISPPARAMS holds them last first) and named ones to parameters.
HRESULT bind(const FuncInfo& f, const DISPPARAMS& params, Binding& b, UINT* argErr) {
    UINT cArgs = params.cArgs, cNamed = params.cNamedArgs;
    if (cNamed > cArgs || (cArgs && !params.rgvarg) || (cNamed && !params.rgdispidNamedArgs)) return E_INVALIDARG;
    const UINT nParams = static_cast<UINT>(f.params.size());
    if (nParams > kMaxParams) return E_NOTIMPL;
    UINT cPositional = cArgs - cNamed;
    if (cPositional > nParams) return DISP_E_BADPARAMCOUNT;
    for (UINT i = 0; i < cPositional; ++i) {
        b.slot[i] = &params.rgvarg[cArgs - 1 - i];
        b.argIndex[i] = cArgs - 1 - i;
    }
    for (UINT j = 0; j < cNamed; ++j) {
        DISPID named = params.rgdispidNamedArgs[j];
        UINT k;
        if (named == DISPID_PROPERTYPUT) {
            if (f.invkind != INVOKE_PROPERTYPUT || nParams == 0) return failArgument(argErr, j, DISP_E_PARAMNOTFOUND);
            k = nParams - 1;
        } else {
            if (named < 0) return failArgument(argErr, j, DISP_E_PARAMNOTFOUND);
            k = static_cast<UINT>(named);
        }
        if (k >= nParams || b.slot[k]) return failArgument(argErr, j, DISP_E_PARAMNOTFOUND);
        b.slot[k] = &params.rgvarg[j];
        b.argIndex[k] = j;
    }
    return S_OK;
}

// Convert: each argument to its parameter's declared type, an omitted one to its default; the
// caller's variable itself where it already has the declared type and is passed by reference.
HRESULT convert(const FuncInfo& f, const Binding& b, CallFrame& frame, UINT* argErr) {
    const UINT nParams = static_cast<UINT>(f.params.size());
    for (UINT k = 0; k < nParams; ++k) {
        const ParamInfo& p = f.params[k];
        VARIANT* arg = b.slot[k];
        void* direct = nullptr;
        HRESULT hr = S_OK;
        if (isMissing(arg)) {
            if (!p.optional) return failArgument(argErr, arg ? b.argIndex[k] : 0, DISP_E_PARAMNOTOPTIONAL);
            hr = omittedValue(p, frame.local[k]);
            frame.usesLocal[k] = true;
        } else if (p.byRef && (direct = directStorage(arg, p.vt)) != nullptr) {
            // The caller's variable has the declared type: the member works on it directly.
        } else {
            hr = convertArgument(arg, p, frame.local[k]);
            frame.usesLocal[k] = true;
        }
        if (FAILED(hr))
            return failArgument(argErr, b.argIndex[k], hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH);
        if (p.byRef) {
            frame.type[k] = static_cast<VARTYPE>(VT_BYREF | p.vt);
            frame.arg[k].vt = frame.type[k];
            frame.arg[k].byref = direct ? direct
                                        : (p.vt == VT_VARIANT ? static_cast<void*>(&frame.local[k]) : static_cast<void*>(&frame.local[k].lVal));
        } else {
            frame.type[k] = p.vt;
            frame.arg[k] = frame.local[k];  // shallow: local keeps ownership
        }
        frame.argPtr[k] = &frame.arg[k];
    }
    frame.count = nParams;
    if (f.hasResult) {
        UINT r = frame.count++;
        frame.type[r] = static_cast<VARTYPE>(VT_BYREF | f.result.vt);
        frame.arg[r].vt = frame.type[r];
        frame.arg[r].byref = f.result.vt == VT_VARIANT ? static_cast<void*>(&frame.retval) : static_cast<void*>(&frame.retval.lVal);
        frame.argPtr[r] = &frame.arg[r];
    }
    return S_OK;
}

// Call: the member's vtable slot; returns the member's own HRESULT.
HRESULT call(void* object, const FuncInfo& f, CallFrame& frame) {
    ::SetErrorInfo(0, nullptr);
    Variant callResult;
    HRESULT hr = ::DispCallFunc(object, f.vtableOffset, CC_STDCALL, VT_ERROR, frame.count, frame.type, frame.argPtr, &callResult);
    return SUCCEEDED(hr) ? callResult.scode : hr;
}

// Write back: by-reference results reach the caller's variables whether or not the member
// succeeded.
void writeBackAll(const FuncInfo& f, const Binding& b, CallFrame& frame) {
    for (UINT k = 0; k < f.params.size(); ++k) {
        if (frame.usesLocal[k] && f.params[k].byRef && b.slot[k] && !isMissing(b.slot[k])) {
            if (f.params[k].vt != VT_VARIANT) frame.local[k].vt = f.params[k].vt;
            writeBack(b.slot[k], frame.local[k]);
        }
    }
}

// Deliver: the member's error as DISP_E_EXCEPTION with EXCEPINFO, or its result, a String array
// as an array of Variants that scripts can index.
HRESULT deliver(const FuncInfo& f, CallFrame& frame, HRESULT memberHr, VARIANT* result, EXCEPINFO* excepInfo) {
    VARIANT& retval = frame.retval;
    if (FAILED(memberHr)) {
        if (f.hasResult && f.result.vt != VT_VARIANT) retval.vt = f.result.vt;
        ::VariantClear(&retval);
        fillException(excepInfo, memberHr);
        return DISP_E_EXCEPTION;
    }
    if (!f.hasResult) {
        if (result) ::VariantClear(result);
        return S_OK;
    }
    if (f.result.vt != VT_VARIANT) retval.vt = f.result.vt;
    if (retval.vt == (VT_ARRAY | VT_BSTR)) {
        SAFEARRAY* converted = nullptr;
        if (retval.parray) {
            HRESULT hr = stringArrayToVariantArray(retval.parray, &converted);
            ::VariantClear(&retval);
            if (FAILED(hr)) return hr;
        }
        retval.vt = VT_ARRAY | VT_VARIANT;
        retval.parray = converted;
    }
    if ((retval.vt & VT_ARRAY) && !retval.parray) retval.vt = VT_EMPTY;
    if (result) {
        ::VariantClear(result);
        *result = retval;
    } else {
        ::VariantClear(&retval);
    }
    std::memset(&retval, 0, sizeof(retval));
    return S_OK;
}

}  // namespace

HRESULT invoke(void* object, const Table& table, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* excepInfo, UINT* argErr) {
    const FuncInfo* f = table.find(id, flags);
    if (!f) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{};
    Binding binding;
    HRESULT hr = bind(*f, params ? *params : none, binding, argErr);
    if (FAILED(hr)) return hr;
    CallFrame frame;
    hr = convert(*f, binding, frame, argErr);
    if (FAILED(hr)) return hr;
    HRESULT memberHr = call(object, *f, frame);
    writeBackAll(*f, binding, frame);
    return deliver(*f, frame, memberHr, result, excepInfo);
}

}  // namespace kro::dispatch
