#include "frame/errors.h"

#include <oleauto.h>

#include "frame/raii.h"
#include "frame/text.h"

namespace kro {

long AutomationError::number() const {
    if (HRESULT_FACILITY(hr_) == FACILITY_CONTROL) return HRESULT_CODE(hr_);
    return hr_;
}

std::wstring standardDescription(long number) {
    switch (number) {
#define KRO_ERROR_TEXT(name, number, description, when) case number: return description;
    KRO_ERROR_TABLE(KRO_ERROR_TEXT)
#undef KRO_ERROR_TEXT
    default: return L"Application-defined or object-defined error";
    }
}

long runtimeErrorFromWin32(DWORD e) {
    switch (e) {
    case ERROR_FILE_NOT_FOUND: return err::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return err::PathNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return err::BadFileNameOrNumber;
    case ERROR_TOO_MANY_OPEN_FILES: return err::TooManyFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY: return err::PermissionDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return err::FileAlreadyExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return err::DiskFull;
    case ERROR_NOT_READY: return err::DiskNotReady;
    case ERROR_DIR_NOT_EMPTY: return err::PathFileAccessError;
    case ERROR_HANDLE_EOF: return err::InputPastEnd;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return err::OutOfMemory;
    case ERROR_INVALID_DRIVE:
    case ERROR_DEV_NOT_EXIST: return err::DeviceUnavailable;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: return err::DeviceIoError;
    default: return err::PathFileAccessError;
    }
}

void raise(long number) { throw AutomationError(errorHresult(number), standardDescription(number)); }

void raise(int number) { raise(static_cast<long>(number)); }

void raise(long number, std::wstring description) {
    throw AutomationError(errorHresult(number), std::move(description));
}

void raiseWin32(DWORD win32Error) { raise(runtimeErrorFromWin32(win32Error)); }

void raiseHresult(HRESULT hr) {
    ComPtr<IErrorInfo> info;
    std::wstring description, source = kErrorSource;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
        Bstr d, s;
        if (SUCCEEDED(info->GetDescription(d.put()))) description = str(d.get());
        if (SUCCEEDED(info->GetSource(s.put())) && s.get()) source = str(s.get());
    }
    if (description.empty()) {
        if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) description = standardDescription(HRESULT_CODE(hr));
        else if (hr == E_OUTOFMEMORY) raise(err::OutOfMemory);
        else if (hr == DISP_E_TYPEMISMATCH) raise(err::TypeMismatch);
        else if (hr == DISP_E_OVERFLOW) raise(err::Overflow);
        else if (hr == DISP_E_DIVBYZERO) raise(err::DivisionByZero);
        else description = L"Automation error";
    }
    throw AutomationError(hr, std::move(description), std::move(source));
}

HRESULT reportError(const AutomationError& e, REFIID iid) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(e.source().c_str()));
        create->SetDescription(const_cast<LPOLESTR>(e.description().c_str()));
        auto info = create.as<IErrorInfo>(IID_IErrorInfo);
        ::SetErrorInfo(0, info.get());
    }
    return e.hr();
}

}  // namespace kro
