#pragma once
// One IUnknown for every COM object the library makes (the public classes, the class factory,
// the window-handle object): a thread-safe reference count, QueryInterface over the interfaces
// the object derives from, and the module's object count that DllCanUnloadNow reads.
#include <windows.h>
#include <unknwn.h>

#include "frame/module.h"

namespace kro {

// `First` is the interface IUnknown is answered with (a derived class's alsoNamesFirst names
// further IDs answered with it, IDispatch for a dual interface); `Rest` are the other interfaces.
template <class Derived, class First, class... Rest>
class Unknown : public First, public Rest... {
public:
    Unknown() { module::objectCreated(); }
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;
    virtual ~Unknown() { module::objectDestroyed(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(First) || Derived::alsoNamesFirst(riid)) {
            *out = static_cast<First*>(this);
        } else {
            (void)((riid == __uuidof(Rest) ? (*out = static_cast<Rest*>(this), true) : false) || ...);
        }
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(n);
    }

protected:
    // Interface IDs other than First's own that QueryInterface answers with First.
    static bool alsoNamesFirst(REFIID) { return false; }

private:
    LONG refs_ = 1;
};

}  // namespace kro
