#pragma once
// Moving values between the plain C++ cores and automation types (BSTR, VARIANT, SAFEARRAY).
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame/raii.h"

namespace kro {

// Sets an [out, retval] Variant (not yet holding anything) to a text.
void setText(VARIANT* out, std::wstring_view text);

// A caller's value converted the way the runtime converts it (by-reference values followed).
// A value without such a form (Null, an object without a value, text that is no number) fails
// with 13, a number beyond the type's range with 6.
std::wstring variantText(const VARIANT& value);
short variantShort(const VARIANT& value);

// A new one-dimensional Byte array with lower bound 0 (an empty input gives bounds 0 to -1).
SAFEARRAY* makeByteArray(std::span<const std::byte> bytes);

// A new String array with lower bound 0 holding `items` in order.
SAFEARRAY* makeStringArray(const std::vector<std::wstring>& items);

// A listing array: element 0 is the empty text and the names stand at 1..n.
SAFEARRAY* makeListingArray(const std::vector<std::wstring>& names);

// Checked access to a caller's Byte array: one dimension of VT_UI1 elements. A null array
// (never dimensioned) fails with 9, another shape or element type with 13.
class ByteArrayAccess {
public:
    explicit ByteArrayAccess(SAFEARRAY* array);
    std::span<std::byte> bytes() const { return bytes_; }
    LONG lowerBound() const { return lower_; }
private:
    static SAFEARRAY* checked(SAFEARRAY* array);
    SafeArrayData data_;
    std::span<std::byte> bytes_;
    LONG lower_ = 0;
};

// The DISPID of a member of any automation object, found by name in any letter case (script
// class instances answer only IDispatchEx::GetDispID); DISPID_UNKNOWN when it has none.
DISPID findMember(IDispatch* object, const wchar_t* name);

// Reads a property of an automation object late-bound; fails with 438 when it has none.
void getProperty(IDispatch* object, const wchar_t* name, VARIANT* out);

// An object standing for a window handle that a client passed as a number where a window object
// is expected: its hWnd property and its value are that number.
ComPtr<IDispatch> makeWindowHandleObject(LONG handle);

// Adds items to a client's collection by calling its Add method with one String; the method is
// looked up once, when the appender is made (a null collection fails with 91, one without Add
// with 438).
class CollectionAppender {
public:
    explicit CollectionAppender(IDispatch* collection);
    void add(std::wstring_view item);
private:
    ComPtr<IDispatch> collection_;  // held for the appender's life
    DISPID add_ = DISPID_UNKNOWN;
};

}  // namespace kro
