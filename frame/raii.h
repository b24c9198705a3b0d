#pragma once
// One owner type per kind of platform resource, so that every exit path releases what it took.
#include <windows.h>
#include <oleauto.h>
#include <shtypes.h>

#include <string_view>
#include <utility>

namespace kro {

// The one owner of a platform resource: the value it holds, and how that kind is closed. Every
// kind below is an alias of it (or, where the kind has more to offer, a class built on it), with
// one interface: get, put (releases, then hands out the address for a function to fill in),
// ref (the address as it is, for an in/out argument), reset, release (gives the value up) and
// move.
template <class Kind>
class Owner {
public:
    using Value = typename Kind::Value;
    Owner() = default;
    explicit Owner(Value v) : v_(v) {}
    Owner(Owner&& o) noexcept : v_(o.release()) {}
    Owner& operator=(Owner&& o) noexcept { reset(o.release()); return *this; }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { reset(); }
    Value get() const { return v_; }
    Value* put() { reset(); return &v_; }
    // The held value's address, for a by-reference argument whose callee may replace it.
    Value* ref() { return &v_; }
    Value release() { return std::exchange(v_, Kind::none()); }
    void reset(Value v = Kind::none()) {
        if (Kind::valid(v_)) Kind::close(v_);
        v_ = v;
    }
    bool valid() const { return Kind::valid(v_); }
    explicit operator bool() const { return valid(); }
private:
    Value v_ = Kind::none();
};

namespace kinds {
// A kind whose "none" is null and that any other value must be closed.
template <class T, auto Close>
struct Plain {
    using Value = T;
    static constexpr T none() { return nullptr; }
    static bool valid(T v) { return v != nullptr; }
    static void close(T v) { Close(v); }
};
struct Handle {
    using Value = HANDLE;
    static HANDLE none() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandle : Handle {
    static void close(HANDLE h) { ::FindClose(h); }
};
// Predefined roots (HKEY_CURRENT_USER ...) are held but never closed.
struct RegKey {
    using Value = HKEY;
    static HKEY none() { return nullptr; }
    static bool valid(HKEY k) { return k != nullptr; }
    static void close(HKEY k) {
        if ((reinterpret_cast<ULONG_PTR>(k) & 0xFFFFFFF0u) != 0x80000000u) ::RegCloseKey(k);
    }
};
inline void freeLibrary(HMODULE m) { ::FreeLibrary(m); }
inline void deleteGdiObject(HGDIOBJ o) { ::DeleteObject(o); }
inline void destroyIcon(HICON i) { ::DestroyIcon(i); }
inline void freeString(BSTR b) { ::SysFreeString(b); }
inline void destroyArray(SAFEARRAY* a) { ::SafeArrayDestroy(a); }
inline void freeItemList(ITEMIDLIST* list) { ::CoTaskMemFree(list); }
}  // namespace kinds

using Handle = Owner<kinds::Handle>;                               // a kernel handle
using FindHandle = Owner<kinds::FindHandle>;                       // a FindFirstFile search
using RegKey = Owner<kinds::RegKey>;                               // an open registry key
using Library = Owner<kinds::Plain<HMODULE, kinds::freeLibrary>>;  // a module from LoadLibrary(Ex)
using GdiObject = Owner<kinds::Plain<HGDIOBJ, kinds::deleteGdiObject>>;
using Font = Owner<kinds::Plain<HFONT, kinds::deleteGdiObject>>;
using Icon = Owner<kinds::Plain<HICON, kinds::destroyIcon>>;
using SafeArray = Owner<kinds::Plain<SAFEARRAY*, kinds::destroyArray>>;
using ItemList = Owner<kinds::Plain<ITEMIDLIST*, kinds::freeItemList>>;  // a shell item ID list

// Runs a step when the scope ends, however it ends.
template <class Step>
class ScopeExit {
public:
    explicit ScopeExit(Step step) : step_(std::move(step)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { step_(); }
private:
    Step step_;
};

// The data of a SAFEARRAY, locked (SafeArrayAccessData) while this lives. Whether the lock was
// taken is the HRESULT `hr()`; data() is null without it.
class SafeArrayData {
public:
    explicit SafeArrayData(SAFEARRAY* array) : array_(array) {
        hr_ = array ? ::SafeArrayAccessData(array, &data_) : E_INVALIDARG;
        if (FAILED(hr_)) data_ = nullptr;
    }
    SafeArrayData(const SafeArrayData&) = delete;
    SafeArrayData& operator=(const SafeArrayData&) = delete;
    ~SafeArrayData() { if (data_) ::SafeArrayUnaccessData(array_); }
    HRESULT hr() const { return hr_; }
    void* data() const { return data_; }
private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
    HRESULT hr_;
};

// A BSTR owned by this object, with its text.
class Bstr : public Owner<kinds::Plain<BSTR, kinds::freeString>> {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view s);
    static Bstr attach(BSTR b) { Bstr r; *r.put() = b; return r; }
    std::wstring_view view() const { return get() ? std::wstring_view(get(), ::SysStringLen(get())) : std::wstring_view(); }
};

// A VARIANT cleared on destruction. It is the VARIANT itself (passed wherever one is wanted),
// with the owners' interface over its content.
class Variant : public VARIANT {
public:
    Variant() { ::VariantInit(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(this); }
    VARIANT* get() { return this; }
    VARIANT* put() { reset(); return this; }
    void reset() { ::VariantClear(this); }
    void clear() { reset(); }
    // Hands the content over, leaving this Variant empty.
    VARIANT release() { VARIANT v = *this; ::VariantInit(this); return v; }
};

namespace kinds {
template <class T>
struct ComPointer {
    using Value = T*;
    static T* none() { return nullptr; }
    static bool valid(T* p) { return p != nullptr; }
    static void close(T* p) { p->Release(); }
};
}  // namespace kinds

// A counted COM interface pointer; a copy holds a reference of its own.
template <class T>
class ComPtr : public Owner<kinds::ComPointer<T>> {
    using Base = Owner<kinds::ComPointer<T>>;
public:
    ComPtr() = default;
    ComPtr(T* p) : Base(p) { if (p) p->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.get()) {}
    ComPtr(ComPtr&&) noexcept = default;
    ComPtr& operator=(const ComPtr& o) { return *this = ComPtr(o); }
    ComPtr& operator=(ComPtr&&) noexcept = default;
    // Takes over a reference the caller already holds.
    static ComPtr attach(T* p) { ComPtr r; *r.put() = p; return r; }
    T* operator->() const { return this->get(); }
    void** putVoid() { return reinterpret_cast<void**>(this->put()); }
    template <class U>
    ComPtr<U> as(REFIID iid) const {
        ComPtr<U> r;
        if (this->get()) this->get()->QueryInterface(iid, r.putVoid());
        return r;
    }
};

}  // namespace kro
