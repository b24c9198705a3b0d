#pragma once
// The base of every public class: IUnknown (the library's one Unknown), IDispatch (through the
// generic dispatcher), ISupportErrorInfo, and the member call frame.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <new>

#include "kroProgramDll.h"
#include "frame/dispatcher.h"
#include "frame/errors.h"
#include "frame/unknown.h"

namespace kro {

template <class Derived, class Interface>
class ComObject : public Unknown<Derived, Interface, ISupportErrorInfo> {
public:
    static REFIID iid() { return __uuidof(Interface); }
    // The dual interface answers for IDispatch too.
    static bool alsoNamesFirst(REFIID riid) { return riid == IID_IDispatch; }

    // Parameters of the interface whose arguments late-bound callers may give in a form of their
    // own (see dispatch::ParameterConversion); a class that has such parameters declares them.
    static std::span<const dispatch::ParameterConversion> argumentConversions() { return {}; }

    using Unknown<Derived, Interface, ISupportErrorInfo>::AddRef;
    using Unknown<Derived, Interface, ISupportErrorInfo>::Release;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = dispatchTable() ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        const dispatch::Table* t = dispatchTable();
        if (!t) return TYPE_E_ELEMENTNOTFOUND;
        *info = t->typeInfo();
        (*info)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        const dispatch::Table* t = dispatchTable();
        if (!t) return TYPE_E_ELEMENTNOTFOUND;
        return t->idsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excepInfo, UINT* argErr) override {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        const dispatch::Table* t = dispatchTable();
        if (!t) return TYPE_E_ELEMENTNOTFOUND;
        AddRef();  // the object outlives a call that releases it from inside
        HRESULT hr = dispatch::invoke(static_cast<Interface*>(this), *t, id, flags, params, result, excepInfo, argErr);
        Release();
        return hr;
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == iid() ? S_OK : S_FALSE;
    }

protected:
    static const dispatch::Table* dispatchTable() { return dispatch::table(iid(), Derived::argumentConversions()); }

    // The member call frame: holds a reference on the object for the call, runs the body, and
    // turns any error into a failure HRESULT with IErrorInfo. No exception leaves a member.
    template <class Body>
    HRESULT call(Body&& body) noexcept {
        AddRef();
        HRESULT hr = S_OK;
        try {
            body();
        } catch (const AutomationError& e) {
            hr = reportError(e, iid());
        } catch (const std::bad_alloc&) {
            hr = reportError(AutomationError(errorHresult(err::OutOfMemory), standardDescription(err::OutOfMemory)), iid());
        } catch (...) {
            hr = reportError(AutomationError(errorHresult(err::InternalError), standardDescription(err::InternalError)), iid());
        }
        Release();
        return hr;
    }
};

}  // namespace kro
