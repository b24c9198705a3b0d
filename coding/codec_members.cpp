// The seven password-codec members, written once and exposed by both CodeCls and
// StringHandCls: each form takes its pass code from the codec core and codes with one byte map.
#include "coding/CodeCls.h"
#include "coding/StringHandCls.h"

#include <cstring>
#include <new>

#include "coding/byte_arrays.h"
#include "coding/codec.h"
#include "filesystem/file.h"
#include "frame/path_check.h"
#include "frame/text.h"

using namespace kro;
using kro::codec::ByteMap;
using kro::coding::CallerBytes;

namespace {

// The 16-bit index of the string forms reaches at most upper bound 32,766.
constexpr std::size_t kMaxStringFormBytes = 32767;

using coding::checkPointer;

struct Codec {
    static std::int32_t passCodeOf(BSTR* password) {
        checkPointer(password);
        return codec::passCode(view(*password));
    }

    static void getPassCode(BSTR* password, LONG* result) { *result = passCodeOf(password); }

    static void transformArray(SAFEARRAY** array, BSTR* password, bool encode, SAFEARRAY** result) {
        CallerBytes bytes(array);
        ByteMap map = ByteMap::coding(0);
        if (!bytes.fromZero().empty()) {
            std::int32_t code = passCodeOf(password);
            map = encode ? ByteMap::coding(code) : ByteMap::decoding(code);
        }
        *result = bytes.transformWithCopy(map);
    }

    static void stringToCode(BSTR* text, BSTR* password, SAFEARRAY** result) {
        checkPointer(text);
        // The raw UTF-16LE bytes of the text, an odd trailing byte included.
        std::size_t n = *text ? ::SysStringByteLen(*text) : 0;
        if (n > kMaxStringFormBytes) raise(err::Overflow);
        SafeArray out(::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(n)));
        if (!out.get()) throw std::bad_alloc();
        auto* data = static_cast<std::byte*>(out.get()->pvData);
        if (n > 0) {
            std::memcpy(data, *text, n);
            ByteMap::coding(passCodeOf(password)).apply({data, n});
        }
        *result = out.release();
    }

    static void codeToString(SAFEARRAY** array, BSTR* password, BSTR* result) {
        CallerBytes bytes(array);
        if (bytes.upperBound() > static_cast<LONG>(kMaxStringFormBytes) - 1) raise(err::Overflow);
        if (!bytes.fromZero().empty())
            ByteMap::decoding(passCodeOf(password)).apply(bytes.fromZero());
        // Every byte of the array becomes the text, two to a character; an odd last byte
        // stays a half character.
        auto all = bytes.all();
        BSTR text = ::SysAllocStringByteLen(reinterpret_cast<const char*>(all.data()), static_cast<UINT>(all.size()));
        if (!text) throw std::bad_alloc();
        *result = text;
    }

    static void transformFile(BSTR* target, BSTR* dest, BSTR* password, bool encode) {
        checkPointer(target);
        checkPointer(dest);
        const std::wstring destination = checkedPath(dest);
        file::File source(checkedPath(target), file::Mode::Read);
        // A password that can overflow (a negative pass code) may fail part way through: then
        // the whole file is coded before anything is written, so a failure leaves the
        // destination untouched. Otherwise the file streams through in blocks. An empty file
        // needs no pass code.
        ByteMap map = ByteMap::coding(0);
        if (source.size() > 0) {
            std::int32_t code = passCodeOf(password);
            map = encode ? ByteMap::coding(code) : ByteMap::decoding(code);
        }
        coding::transformFile(source, destination, map);
    }
};

}  // namespace

HRESULT CodeCls::GetPassCode(BSTR* Passward, LONG* result) {
    return call([&] { Codec::getPassCode(Passward, result); });
}
HRESULT CodeCls::ByteToCode(SAFEARRAY** byt, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { Codec::transformArray(byt, Passward, true, result); });
}
HRESULT CodeCls::CodeToByte(SAFEARRAY** Code, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { Codec::transformArray(Code, Passward, false, result); });
}
HRESULT CodeCls::StringToCode(BSTR* Text, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { Codec::stringToCode(Text, Passward, result); });
}
HRESULT CodeCls::CodeToString(SAFEARRAY** Code, BSTR* Passward, BSTR* result) {
    return call([&] { Codec::codeToString(Code, Passward, result); });
}
HRESULT CodeCls::FileToCodeFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { Codec::transformFile(TargetFile, DestFile, Passward, true); });
}
HRESULT CodeCls::CodeFileToFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { Codec::transformFile(TargetFile, DestFile, Passward, false); });
}

HRESULT StringHandCls::GetPassCode(BSTR* Passward, LONG* result) {
    return call([&] { Codec::getPassCode(Passward, result); });
}
HRESULT StringHandCls::ByteToCode(SAFEARRAY** byt, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { Codec::transformArray(byt, Passward, true, result); });
}
HRESULT StringHandCls::CodeToByte(SAFEARRAY** Code, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { Codec::transformArray(Code, Passward, false, result); });
}
HRESULT StringHandCls::StringToCode(BSTR* Text, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { Codec::stringToCode(Text, Passward, result); });
}
HRESULT StringHandCls::CodeToString(SAFEARRAY** Code, BSTR* Passward, BSTR* result) {
    return call([&] { Codec::codeToString(Code, Passward, result); });
}
HRESULT StringHandCls::FileToCodeFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { Codec::transformFile(TargetFile, DestFile, Passward, true); });
}
HRESULT StringHandCls::CodeFileToFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { Codec::transformFile(TargetFile, DestFile, Passward, false); });
}
