// IniFileCls: one value read or written, a section deleted or replaced, through the platform's
// private-profile functions.
#include "settings/IniFileCls.h"

#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/raii.h"
#include "frame/text.h"
#include "settings/ini.h"

using namespace kro;

namespace {

// A text argument as the platform takes it: a null BSTR stays a null string.
const wchar_t* nullable(const BSTR* text) { return text ? *text : nullptr; }

void setLong(VARIANT* out, LONG value) {
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
}

// The caller's INI file name, checked. The profile functions resolve the name into a buffer of
// MAX_PATH characters: a longer full path overruns it (Wine then uses whatever the buffer held,
// and may write another file), so such names fail with 52 like any name no file can have.
std::wstring iniFileName(const BSTR* name) {
    std::wstring file = checkedPath(name);
    if (::GetFullPathNameW(file.c_str(), 0, nullptr, nullptr) > MAX_PATH) raise(err::BadFileNameOrNumber);
    return file;
}

[[noreturn]] void conversionFailed(HRESULT hr) {
    raise(hr == E_OUTOFMEMORY ? err::OutOfMemory : err::TypeMismatch);
}

// The texts of a one-dimensional array of Variants, Strings or other simple values, in index
// order. An array never dimensioned fails with 9; another shape, or an element that has no
// text form (Null, an object without a value, an array, an error value), with 13.
std::vector<std::wstring> textsOf(SAFEARRAY* array) {
    if (!array) raise(err::SubscriptOutOfRange);
    if (::SafeArrayGetDim(array) != 1) raise(err::TypeMismatch);
    VARTYPE vt = VT_EMPTY;
    if (FAILED(::SafeArrayGetVartype(array, &vt))) raise(err::TypeMismatch);
    ULONG count = array->rgsabound[0].cElements;
    std::vector<std::wstring> texts;
    texts.reserve(count);
    SafeArrayData data(array);
    if (FAILED(data.hr())) raise(err::SubscriptOutOfRange);
    for (ULONG i = 0; i < count; ++i) {
        void* element = static_cast<char*>(data.data()) + static_cast<size_t>(i) * array->cbElements;
        if (vt == VT_BSTR) {
            texts.push_back(str(*static_cast<BSTR*>(element)));
            continue;
        }
        Variant plain;
        HRESULT hr;
        if (vt == VT_VARIANT) {
            hr = ::VariantCopyInd(&plain, static_cast<VARIANT*>(element));
        } else {
            VARIANT ref;
            ::VariantInit(&ref);
            ref.vt = static_cast<VARTYPE>(VT_BYREF | vt);
            ref.byref = element;
            hr = ::VariantCopyInd(&plain, &ref);
        }
        if (FAILED(hr)) conversionFailed(hr);
        Variant text;
        hr = ::VariantChangeType(&text, &plain, VARIANT_ALPHABOOL, VT_BSTR);
        if (FAILED(hr)) conversionFailed(hr);
        texts.push_back(str(text.bstrVal));
    }
    return texts;
}

}  // namespace

HRESULT IniFileCls::GetIniValue(BSTR* FileName, BSTR* Section, BSTR* Key, BSTR* Default, VARIANT* result) {
    return call([&] {
        ::VariantInit(result);
        // Without a file name the platform would read the system's own WIN.INI.
        const std::wstring file = iniFileName(FileName);
        std::wstring value;
        if (ini::readValue(file.c_str(), nullable(Section), nullable(Key), nullable(Default), value))
            setText(result, value);
    });
}

HRESULT IniFileCls::SetIniValue(BSTR* FileName, BSTR* Section, BSTR* Key, BSTR* value, VARIANT* result) {
    return call([&] {
        const std::wstring checkedFile = iniFileName(FileName);
        const wchar_t* file = checkedFile.c_str();
        const wchar_t* section = nullable(Section);
        // A key and a value that are both empty delete the whole section. Otherwise the key is
        // always written as text (a null key never reaches the platform, where it would delete
        // the section), and a null value deletes the key.
        LONG written = view(*Key).empty() && view(*value).empty()
                           ? ini::deleteSection(file, section)
                           : ini::writeValue(file, section, *Key ? *Key : L"", *value);
        setLong(result, written);
    });
}

HRESULT IniFileCls::SetIniKeyAndValue(BSTR* FileName, BSTR* Section, SAFEARRAY** KeyAndValue, VARIANT* result) {
    return call([&] {
        const std::wstring file = iniFileName(FileName);
        std::vector<std::wstring> lines = textsOf(KeyAndValue ? *KeyAndValue : nullptr);
        setLong(result, ini::writeSection(file.c_str(), nullable(Section), lines));
    });
}
