// The seven password-codec members, written once and exposed by both CodeCls and
// StringHandCls. The array, string and file forms take the pass code from the object's own
// GetPassCode, and the file forms code through the object's own ByteToCode and CodeToByte, so
// each class routes its internal calls through its own public interface.
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

void checkPointer(const void* p) {
    if (!p) raise(err::InvalidCall, L"No variable was passed for a by-reference argument");
}

template <class Itf>
struct Codec {
    static std::int32_t passCodeOf(Itf* self, BSTR* password) {
        LONG code = 0;
        check(self->GetPassCode(password, &code));
        return code;
    }

    static void getPassCode(BSTR* password, LONG* result) {
        checkPointer(password);
        *result = codec::passCode(view(*password));
    }

    static void transformArray(Itf* self, SAFEARRAY** array, BSTR* password, bool encode, SAFEARRAY** result) {
        CallerBytes bytes(array);
        ByteMap map = ByteMap::coding(0);
        if (!bytes.fromZero().empty()) {
            std::int32_t code = passCodeOf(self, password);
            map = encode ? ByteMap::coding(code) : ByteMap::decoding(code);
        }
        *result = bytes.transformWithCopy(map);
    }

    static void stringToCode(Itf* self, BSTR* text, BSTR* password, SAFEARRAY** result) {
        checkPointer(text);
        // The raw UTF-16LE bytes of the text, an odd trailing byte included.
        std::size_t n = *text ? ::SysStringByteLen(*text) : 0;
        if (n > kMaxStringFormBytes) raise(err::Overflow);
        SafeArray out(::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(n)));
        if (!out.get()) throw std::bad_alloc();
        auto* data = static_cast<std::byte*>(out.get()->pvData);
        if (n > 0) {
            std::memcpy(data, *text, n);
            ByteMap::coding(passCodeOf(self, password)).apply({data, n});
        }
        *result = out.release();
    }

    static void codeToString(Itf* self, SAFEARRAY** array, BSTR* password, BSTR* result) {
        CallerBytes bytes(array);
        if (bytes.upperBound() > static_cast<LONG>(kMaxStringFormBytes) - 1) raise(err::Overflow);
        if (!bytes.fromZero().empty())
            ByteMap::decoding(passCodeOf(self, password)).apply(bytes.fromZero());
        // Every byte of the array becomes the text, two to a character; an odd last byte
        // stays a half character.
        auto all = bytes.all();
        BSTR text = ::SysAllocStringByteLen(reinterpret_cast<const char*>(all.data()), static_cast<UINT>(all.size()));
        if (!text) throw std::bad_alloc();
        *result = text;
    }

    static void transformFile(Itf* self, BSTR* target, BSTR* dest, BSTR* password, bool encode) {
        checkPointer(target);
        checkPointer(dest);
        const std::wstring destination = checkedPath(dest);
        file::File source(checkedPath(target), file::Mode::Read);
        // A password that can overflow (a negative pass code) may fail part way through: then
        // the whole file is coded before anything is written, so a failure leaves the
        // destination untouched. Otherwise the file streams through in pieces.
        bool whole = true;
        if (source.size() > 0) {
            std::int32_t code = passCodeOf(self, password);
            whole = (encode ? ByteMap::coding(code) : ByteMap::decoding(code)).canOverflow();
        }
        coding::transformFile(source, destination, whole, [&](SAFEARRAY** piece, SAFEARRAY** result) {
            check(encode ? self->ByteToCode(piece, password, result) : self->CodeToByte(piece, password, result));
        });
    }
};

using CodeImpl = Codec<_CodeCls>;
using HandImpl = Codec<_StringHandCls>;

}  // namespace

HRESULT CodeCls::GetPassCode(BSTR* Passward, LONG* result) {
    return call([&] { CodeImpl::getPassCode(Passward, result); });
}
HRESULT CodeCls::ByteToCode(SAFEARRAY** byt, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { CodeImpl::transformArray(self(), byt, Passward, true, result); });
}
HRESULT CodeCls::CodeToByte(SAFEARRAY** Code, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { CodeImpl::transformArray(self(), Code, Passward, false, result); });
}
HRESULT CodeCls::StringToCode(BSTR* Text, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { CodeImpl::stringToCode(self(), Text, Passward, result); });
}
HRESULT CodeCls::CodeToString(SAFEARRAY** Code, BSTR* Passward, BSTR* result) {
    return call([&] { CodeImpl::codeToString(self(), Code, Passward, result); });
}
HRESULT CodeCls::FileToCodeFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { CodeImpl::transformFile(self(), TargetFile, DestFile, Passward, true); });
}
HRESULT CodeCls::CodeFileToFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { CodeImpl::transformFile(self(), TargetFile, DestFile, Passward, false); });
}

HRESULT StringHandCls::GetPassCode(BSTR* Passward, LONG* result) {
    return call([&] { HandImpl::getPassCode(Passward, result); });
}
HRESULT StringHandCls::ByteToCode(SAFEARRAY** byt, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { HandImpl::transformArray(self(), byt, Passward, true, result); });
}
HRESULT StringHandCls::CodeToByte(SAFEARRAY** Code, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { HandImpl::transformArray(self(), Code, Passward, false, result); });
}
HRESULT StringHandCls::StringToCode(BSTR* Text, BSTR* Passward, SAFEARRAY** result) {
    return call([&] { HandImpl::stringToCode(self(), Text, Passward, result); });
}
HRESULT StringHandCls::CodeToString(SAFEARRAY** Code, BSTR* Passward, BSTR* result) {
    return call([&] { HandImpl::codeToString(self(), Code, Passward, result); });
}
HRESULT StringHandCls::FileToCodeFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { HandImpl::transformFile(self(), TargetFile, DestFile, Passward, true); });
}
HRESULT StringHandCls::CodeFileToFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward) {
    return call([&] { HandImpl::transformFile(self(), TargetFile, DestFile, Passward, false); });
}
