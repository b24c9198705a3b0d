// FileSystemCls: whole-file text and binary I/O.
#include "filesystem/FileSystemCls.h"

#include <new>

#include "filesystem/file.h"
#include "filesystem/fileio.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/raii.h"
#include "frame/text.h"

using namespace kro;

namespace {

// An optional Boolean argument; a caller passing no variable at all gets the default.
bool flag(const VARIANT_BOOL* value, bool byDefault) { return value ? *value != VARIANT_FALSE : byDefault; }

}  // namespace

HRESULT FileSystemCls::ReadFile(BSTR* FileName, VARIANT_BOOL* ErrorView, BSTR* result) {
    return call([&] {
        bool showErrors = flag(ErrorView, true);
        std::wstring text;
        try {
            fileio::appendTextLines(checkedPath(FileName), text);
            fileio::dropFinalLineEnd(text);
        } catch (const AutomationError&) {
            // Silent mode hands back what was read: nothing, or the lines so far with CR LF.
            if (showErrors) throw;
        }
        *result = allocBstr(text);
    });
}

HRESULT FileSystemCls::WriteFile(BSTR* Text, BSTR* FileName, VARIANT_BOOL* AppendMode, VARIANT_BOOL* ErrorView) {
    return call([&] {
        bool showErrors = flag(ErrorView, true);
        try {
            fileio::writeLine(checkedPath(FileName), view(*Text), flag(AppendMode, false));
        } catch (const AutomationError&) {
            if (showErrors) throw;
        }
    });
}

HRESULT FileSystemCls::ReadBinaryFile(BSTR* FileName, SAFEARRAY** result) {
    return call([&] {
        // The file must exist: reading never creates it.
        file::File f(checkedPath(FileName), file::Mode::Read);
        std::uint64_t size = f.size();
        if (size > 0x7FFFFFFFu) raise(err::OutOfMemory);
        SafeArray bytes(::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size)));
        if (!bytes.get()) throw std::bad_alloc();
        // Read straight into the array: no second copy of a large file.
        std::size_t got = f.read(std::span<std::byte>(static_cast<std::byte*>(bytes.get()->pvData), static_cast<std::size_t>(size)));
        if (got < size) {
            SAFEARRAYBOUND bound{static_cast<ULONG>(got), 0};
            check(::SafeArrayRedim(bytes.get(), &bound));
        }
        *result = bytes.release();
    });
}

HRESULT FileSystemCls::WriteBinaryFile_New(SAFEARRAY** Text, BSTR* FileName, LONG* Position) {
    return call([&] {
        // A bad array or name fails before the old file is deleted.
        ByteArrayAccess bytes(Text ? *Text : nullptr);
        const std::wstring path = checkedPath(FileName);
        fileio::deleteIfVisible(path);
        fileio::writeAt(path, bytes.bytes(), Position ? *Position : 1, false);
    });
}

HRESULT FileSystemCls::WriteBinaryFile(SAFEARRAY** Text, BSTR* FileName, LONG* Position, VARIANT_BOOL* AppendMode) {
    return call([&] {
        // The array and name are checked before the file is touched: a bad one creates nothing.
        ByteArrayAccess bytes(Text ? *Text : nullptr);
        fileio::writeAt(checkedPath(FileName), bytes.bytes(), Position ? *Position : 1, flag(AppendMode, false));
    });
}
