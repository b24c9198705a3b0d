// StringHandCls: the XOR coder for arrays and files, trimming and repetition of text.
#include "coding/StringHandCls.h"

#include "coding/byte_arrays.h"
#include "coding/codec.h"
#include "coding/text.h"
#include "filesystem/file.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/text.h"

using namespace kro;

namespace {

using coding::checkPointer;

// A file that a plain directory lookup finds: not a folder, not hidden, not a system file.
bool plainFileExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace

HRESULT StringHandCls::XorCode(SAFEARRAY** Code, LONG* XorB, SAFEARRAY** result) {
    return call([&] {
        coding::CallerBytes bytes(Code);
        checkPointer(XorB);
        *result = bytes.transformWithCopy(codec::ByteMap::xoring(*XorB));
    });
}

HRESULT StringHandCls::XorCodeFile(BSTR* TargetFile, BSTR* DestFile, BSTR* Passward, VARIANT_BOOL* New_file) {
    return call([&] {
        checkPointer(TargetFile);
        checkPointer(DestFile);
        const std::wstring dest = checkedPath(DestFile);
        file::File source(checkedPath(TargetFile), file::Mode::Read);
        checkPointer(Passward);
        const codec::ByteMap map = codec::ByteMap::xoring(codec::passCode(view(*Passward)));
        bool fresh = New_file && *New_file;
        // XOR coding cannot fail on the data, so the file streams through in blocks. A fresh
        // destination asked for: the old file goes first. Whether it could be removed or not,
        // the destination is cut to the new length, and a failed write is reported.
        coding::transformFile(source, dest, map, [&] {
            if (fresh && plainFileExists(dest)) ::DeleteFileW(dest.c_str());
        });
    });
}

HRESULT StringHandCls::TrimEx(BSTR strText, BSTR strLetter, VARIANT* result) {
    return call([&] { setText(result, text::trim(view(strText), view(strLetter))); });
}

HRESULT StringHandCls::RTrimEx(BSTR strText, BSTR strLetter, BSTR* result) {
    return call([&] { *result = allocBstr(text::rtrim(view(strText), view(strLetter))); });
}

HRESULT StringHandCls::LTrimEx(BSTR strText, BSTR strLetter, BSTR* result) {
    return call([&] { *result = allocBstr(text::ltrim(view(strText), view(strLetter))); });
}

HRESULT StringHandCls::ReturnText(BSTR strLetter, short intCount, BSTR* result) {
    return call([&] { *result = allocBstr(text::repeat(view(strLetter), intCount)); });
}
