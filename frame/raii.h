#pragma once
// One owner type per kind of platform resource, so that every exit path releases what it took.
#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace kro {

// A kernel handle; INVALID_HANDLE_VALUE and null both mean "none".
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(Handle&& o) noexcept : h_(o.release()) {}
    Handle& operator=(Handle&& o) noexcept { reset(o.release()); return *this; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    HANDLE release() { return std::exchange(h_, nullptr); }
    void reset(HANDLE h = nullptr) { if (valid()) ::CloseHandle(h_); h_ = h; }
private:
    HANDLE h_ = nullptr;
};

// A FindFirstFile search.
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE h) : h_(h) {}
    FindHandle(FindHandle&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() { if (valid()) ::FindClose(h_); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// An open registry key (predefined roots are never closed).
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY k) : k_(k) {}
    RegKey(RegKey&& o) noexcept : k_(std::exchange(o.k_, nullptr)) {}
    RegKey& operator=(RegKey&& o) noexcept { reset(std::exchange(o.k_, nullptr)); return *this; }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { reset(); }
    HKEY get() const { return k_; }
    HKEY* put() { reset(); return &k_; }
    void reset(HKEY k = nullptr) {
        if (k_ && (reinterpret_cast<ULONG_PTR>(k_) & 0xFFFFFFF0u) != 0x80000000u) ::RegCloseKey(k_);
        k_ = k;
    }
private:
    HKEY k_ = nullptr;
};

// A module loaded with LoadLibrary(Ex), freed on destruction.
class Library {
public:
    Library() = default;
    explicit Library(HMODULE m) : m_(m) {}
    Library(Library&& o) noexcept : m_(std::exchange(o.m_, nullptr)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { if (m_) ::FreeLibrary(m_); }
    HMODULE get() const { return m_; }
private:
    HMODULE m_ = nullptr;
};

// A BSTR owned by this object.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view s);
    static Bstr attach(BSTR b) { Bstr r; r.b_ = b; return r; }
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept { reset(std::exchange(o.b_, nullptr)); return *this; }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { reset(); }
    BSTR get() const { return b_; }
    BSTR* put() { reset(); return &b_; }
    // The held BSTR's address, for a by-reference argument whose callee may replace the text.
    BSTR* ref() { return &b_; }
    BSTR release() { return std::exchange(b_, nullptr); }
    void reset(BSTR b = nullptr) { if (b_) ::SysFreeString(b_); b_ = b; }
    std::wstring_view view() const { return b_ ? std::wstring_view(b_, ::SysStringLen(b_)) : std::wstring_view(); }
private:
    BSTR b_ = nullptr;
};

// A SAFEARRAY owned by this object.
class SafeArray {
public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* a) : a_(a) {}
    SafeArray(SafeArray&& o) noexcept : a_(std::exchange(o.a_, nullptr)) {}
    SafeArray& operator=(SafeArray&& o) noexcept { reset(std::exchange(o.a_, nullptr)); return *this; }
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray() { reset(); }
    SAFEARRAY* get() const { return a_; }
    SAFEARRAY* release() { return std::exchange(a_, nullptr); }
    void reset(SAFEARRAY* a = nullptr) { if (a_) ::SafeArrayDestroy(a_); a_ = a; }
private:
    SAFEARRAY* a_ = nullptr;
};

// A VARIANT cleared on destruction.
class Variant : public VARIANT {
public:
    Variant() { ::VariantInit(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(this); }
    void clear() { ::VariantClear(this); }
    // Hands the content over, leaving this Variant empty.
    VARIANT detach() { VARIANT v = *this; ::VariantInit(this); return v; }
};

// A counted COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { if (p_) p_->Release(); }
    static ComPtr attach(T* p) { ComPtr r; r.p_ = p; return r; }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() { *this = ComPtr(); return &p_; }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* detach() { return std::exchange(p_, nullptr); }
    template <class U>
    ComPtr<U> as(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, r.putVoid());
        return r;
    }
private:
    T* p_ = nullptr;
};

}  // namespace kro
