#include "frame/automation.h"

#include <dispex.h>

#include <cstring>
#include <new>

#include "frame/errors.h"
#include "frame/raii.h"
#include "frame/text.h"

namespace kro {

void setText(VARIANT* out, std::wstring_view text) {
    BSTR b = allocBstr(text);
    out->vt = VT_BSTR;
    out->bstrVal = b;
}

SAFEARRAY* makeByteArray(std::span<const std::byte> bytes) {
    SAFEARRAY* a = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!a) throw std::bad_alloc();
    if (!bytes.empty()) std::memcpy(a->pvData, bytes.data(), bytes.size());
    return a;
}

SAFEARRAY* makeStringArray(const std::vector<std::wstring>& items) {
    SafeArray a(::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size())));
    if (!a.get()) throw std::bad_alloc();
    auto* data = static_cast<BSTR*>(a.get()->pvData);
    for (size_t i = 0; i < items.size(); ++i) data[i] = allocBstr(items[i]);
    return a.release();
}

SAFEARRAY* makeListingArray(const std::vector<std::wstring>& names) {
    std::vector<std::wstring> items;
    items.reserve(names.size() + 1);
    items.emplace_back();
    items.insert(items.end(), names.begin(), names.end());
    return makeStringArray(items);
}

ByteArrayAccess::ByteArrayAccess(SAFEARRAY* array) : array_(array) {
    if (!array_) raise(err::SubscriptOutOfRange);
    VARTYPE vt = VT_EMPTY;
    if (::SafeArrayGetDim(array_) != 1 || FAILED(::SafeArrayGetVartype(array_, &vt)) || (vt != VT_UI1 && vt != VT_I1))
        raise(err::TypeMismatch);
    lower_ = array_->rgsabound[0].lLbound;
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array_, &data))) raise(err::SubscriptOutOfRange);
    bytes_ = std::span<std::byte>(static_cast<std::byte*>(data), array_->rgsabound[0].cElements);
}

ByteArrayAccess::~ByteArrayAccess() { ::SafeArrayUnaccessData(array_); }

void addToCollection(IDispatch* collection, std::wstring_view item) { CollectionAppender(collection).add(item); }

CollectionAppender::CollectionAppender(IDispatch* collection) : collection_(collection) {
    if (!collection_) raise(err::ObjectNotSet);
    Bstr name(L"Add");
    // Script class instances answer only IDispatchEx::GetDispID for their members.
    ComPtr<IDispatchEx> ex;
    collection_->QueryInterface(__uuidof(IDispatchEx), ex.putVoid());
    HRESULT hr = E_FAIL;
    if (ex) hr = ex->GetDispID(name.get(), fdexNameCaseInsensitive, &add_);
    if (FAILED(hr)) {
        LPOLESTR names[] = {name.get()};
        hr = collection_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &add_);
    }
    if (FAILED(hr)) raise(err::ObjectDoesNotSupport);
}

void CollectionAppender::add(std::wstring_view item) {
    Variant arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = allocBstr(item);
    DISPPARAMS params{&arg, nullptr, 1, 0};
    Variant result;
    EXCEPINFO ei{};
    UINT argErr = 0;
    HRESULT hr = collection_->Invoke(add_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &ei, &argErr);
    if (hr == DISP_E_EXCEPTION) {
        if (ei.pfnDeferredFillIn) ei.pfnDeferredFillIn(&ei);
        std::wstring description = ei.bstrDescription ? str(ei.bstrDescription) : L"";
        std::wstring source = ei.bstrSource ? str(ei.bstrSource) : kErrorSource;
        HRESULT code = ei.scode ? ei.scode : errorHresult(ei.wCode);
        ::SysFreeString(ei.bstrSource);
        ::SysFreeString(ei.bstrDescription);
        ::SysFreeString(ei.bstrHelpFile);
        throw AutomationError(code, description.empty() ? L"Automation error" : description, source);
    }
    if (FAILED(hr)) raiseHresult(hr);
}

}  // namespace kro
