#include "frame/automation.h"

#include "frame/unknown.h"

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

namespace {

// Converts a caller's value. The conversion functions leave no error information, so the failure
// is told by its code alone (not by whatever an earlier call left on the thread).
void convert(Variant& out, const VARIANT& value, VARTYPE type) {
    HRESULT hr = ::VariantChangeType(&out, const_cast<VARIANT*>(&value), 0, type);
    if (SUCCEEDED(hr)) return;
    if (hr == DISP_E_OVERFLOW) raise(err::Overflow);
    if (hr == E_OUTOFMEMORY) raise(err::OutOfMemory);
    raise(err::TypeMismatch);
}

}  // namespace

std::wstring variantText(const VARIANT& value) {
    Variant asText;
    convert(asText, value, VT_BSTR);
    return str(asText.bstrVal);
}

short variantShort(const VARIANT& value) {
    Variant number;
    convert(number, value, VT_I2);
    return number.iVal;
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

SAFEARRAY* ByteArrayAccess::checked(SAFEARRAY* array) {
    if (!array) raise(err::SubscriptOutOfRange);
    VARTYPE vt = VT_EMPTY;
    if (::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetVartype(array, &vt)) || (vt != VT_UI1 && vt != VT_I1))
        raise(err::TypeMismatch);
    return array;
}

ByteArrayAccess::ByteArrayAccess(SAFEARRAY* array) : data_(checked(array)) {
    if (FAILED(data_.hr())) raise(err::SubscriptOutOfRange);
    lower_ = array->rgsabound[0].lLbound;
    bytes_ = std::span<std::byte>(static_cast<std::byte*>(data_.data()), array->rgsabound[0].cElements);
}

DISPID findMember(IDispatch* object, const wchar_t* name) {
    if (!object) return DISPID_UNKNOWN;
    Bstr text(name);
    DISPID id = DISPID_UNKNOWN;
    ComPtr<IDispatchEx> ex;
    object->QueryInterface(__uuidof(IDispatchEx), ex.putVoid());
    HRESULT hr = E_FAIL;
    if (ex) hr = ex->GetDispID(text.get(), fdexNameCaseInsensitive, &id);
    if (FAILED(hr)) {
        LPOLESTR names[] = {text.get()};
        hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    }
    return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
}

namespace {

// Turns a failed late-bound call into the callee's own error.
void raiseInvokeFailure(HRESULT hr, EXCEPINFO& ei) {
    if (hr != DISP_E_EXCEPTION) raiseHresult(hr);
    if (ei.pfnDeferredFillIn) ei.pfnDeferredFillIn(&ei);
    std::wstring description = ei.bstrDescription ? str(ei.bstrDescription) : L"";
    std::wstring source = ei.bstrSource ? str(ei.bstrSource) : kErrorSource;
    HRESULT code = ei.scode ? ei.scode : errorHresult(ei.wCode);
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);
    throw AutomationError(code, description.empty() ? L"Automation error" : description, source);
}

// The object behind makeWindowHandleObject: answers hWnd and its default value.
class WindowHandleObject final : public Unknown<WindowHandleObject, IDispatch> {
public:
    explicit WindowHandleObject(LONG handle) : handle_(handle) {}
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        bool known = ::CompareStringOrdinal(names[0], -1, L"hWnd", -1, TRUE) == CSTR_EQUAL;
        ids[0] = known ? kHwnd : DISPID_UNKNOWN;
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return known && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id != kHwnd && id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (result) {
            ::VariantInit(result);
            result->vt = VT_I4;
            result->lVal = handle_;
        }
        return S_OK;
    }
private:
    static constexpr DISPID kHwnd = 1;
    LONG handle_;
};

}  // namespace

void getProperty(IDispatch* object, const wchar_t* name, VARIANT* out) {
    if (!object) raise(err::ObjectNotSet);
    DISPID id = findMember(object, name);
    if (id == DISPID_UNKNOWN) raise(err::ObjectDoesNotSupport);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO ei{};
    UINT argErr = 0;
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, &ei, &argErr);
    if (FAILED(hr)) raiseInvokeFailure(hr, ei);
}

ComPtr<IDispatch> makeWindowHandleObject(LONG handle) {
    return ComPtr<IDispatch>::attach(new WindowHandleObject(handle));
}

CollectionAppender::CollectionAppender(IDispatch* collection) : collection_(collection) {
    if (!collection_) raise(err::ObjectNotSet);
    add_ = findMember(collection_.get(), L"Add");
    if (add_ == DISPID_UNKNOWN) raise(err::ObjectDoesNotSupport);
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
    if (FAILED(hr)) raiseInvokeFailure(hr, ei);
}

}  // namespace kro
