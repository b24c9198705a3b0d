#pragma once
// The one generic IDispatch implementation. Each interface's dispatch table is built once from
// the embedded type information; Invoke converts the caller's arguments to the declared types
// itself, fills omitted optional arguments with their declared defaults, calls the vtable slot
// with DispCallFunc and writes by-reference results back into the caller's variables.
#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string>
#include <vector>

#include "frame/raii.h"

namespace kro::dispatch {

// A conversion of its own for the arguments of a parameter, declared by the class whose interface
// has it (through its argumentConversions). `convert` receives the argument without by-reference
// indirection and fills `out` with a value of the parameter's type; S_FALSE leaves the argument
// to the generic conversion.
using ArgumentConversion = HRESULT (*)(const VARIANT& argument, VARIANT& out);
struct ParameterConversion {
    const wchar_t* parameter;  // the parameter's name in the type library, any letter case
    ArgumentConversion convert;
};

struct ParamInfo {
    std::wstring name;
    VARTYPE vt = VT_EMPTY;   // declared type; enumerations are VT_I4, arrays VT_ARRAY|element
    IID iid{};               // interface a VT_DISPATCH/VT_UNKNOWN parameter must answer (IID_NULL: any)
    bool byRef = false;
    bool optional = false;
    bool hasDefault = false;
    VARIANT defaultValue{};  // owned by the table, valid when hasDefault
    ArgumentConversion convert = nullptr;  // the parameter's own conversion, tried first
};

struct FuncInfo {
    MEMBERID memid = DISPID_UNKNOWN;
    INVOKEKIND invkind = INVOKE_FUNC;
    short vtableOffset = 0;
    std::vector<ParamInfo> params;  // without the [out, retval] parameter
    bool hasResult = false;
    ParamInfo result;
};

class Table {
public:
    Table(ITypeInfo* typeInfo, std::span<const ParameterConversion> conversions);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    ITypeInfo* typeInfo() const { return typeInfo_.get(); }
    // The function for a DISPID and the Invoke flags, or null.
    const FuncInfo* find(DISPID id, WORD flags) const;
    HRESULT idsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const;

private:
    struct NameEntry { unsigned hash; std::wstring name; DISPID id; };
    ComPtr<ITypeInfo> typeInfo_;
    std::vector<FuncInfo> funcs_;
    std::vector<NameEntry> names_;  // sorted by hash
};

// The table of an interface of the embedded type library, built on first use (by whichever
// apartment thread comes first; one table per interface) with the parameter conversions its class
// declares; null if the type library or the interface cannot be found.
const Table* table(REFIID iid, std::span<const ParameterConversion> conversions = {});

// IDispatch::Invoke for `object`, a pointer to the dual interface that `table` describes: binds
// the caller's arguments to the parameters, converts them, calls the member, writes by-reference
// results back and delivers the result or the member's error.
HRESULT invoke(void* object, const Table& table, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* excepInfo, UINT* argErr);

// Hands a String array to a script as an array of Variants with the same bounds.
HRESULT stringArrayToVariantArray(SAFEARRAY* strings, SAFEARRAY** variants);

}  // namespace kro::dispatch
