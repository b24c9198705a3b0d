// FileSystemCls: cutting a file into a split set and joining it again. Every file of the set is
// written through this object's own WriteBinaryFile_New, WriteBinaryFile and WriteFile, and the
// index is read through ReadFile. Volumes are moved in chunks of at most split::kChunkBytes:
// a volume is written chunk by chunk (the first chunk through WriteBinaryFile_New, which starts
// the volume afresh, the others through WriteBinaryFile at their 1-based position inside the
// volume, which always fits the Long position because a volume is at most a Long in size), and
// the rebuilt file grows by appending chunks with WriteBinaryFile's append mode, which counts
// from the file's 64-bit length and so goes on past 4 GiB. While one volume is moved, the file
// being written stays open (fileio::KeptOpen), so those writes do not open, size and close it
// once per chunk; between volumes it is closed, as a client pumping messages expects.
#include "filesystem/FileSystemCls.h"

#include <algorithm>
#include <new>
#include <optional>
#include <span>

#include "filesystem/file.h"
#include "filesystem/fileio.h"
#include "filesystem/path.h"
#include "filesystem/split.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/raii.h"
#include "frame/text.h"
#include "frame/toolkit.h"

using namespace kro;

namespace {

// Byte arrays of exactly the requested length, kept for reuse: a run of equal chunks and the
// last, shorter chunk of each volume each need one allocation only.
class ChunkArrays {
public:
    SAFEARRAY* get(std::size_t length) {
        for (auto& slot : slots_)
            if (slot.array.get() && slot.length == length) return slot.array.get();
        Slot& slot = slots_[next_];
        next_ = (next_ + 1) % 2;
        slot.array.reset();
        slot.array.reset(::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(length)));
        if (!slot.array.get()) throw std::bad_alloc();
        slot.length = length;
        return slot.array.get();
    }
    static std::span<std::byte> bytes(SAFEARRAY* array, std::size_t length) {
        return std::span<std::byte>(static_cast<std::byte*>(array->pvData), length);
    }
private:
    struct Slot {
        SafeArray array;
        std::size_t length = 0;
    };
    Slot slots_[2];
    std::size_t next_ = 0;
};

// A split file that cannot be found: no such file, or no such folder (a medium not inserted).
bool isNotFound(long number) { return number == err::FileNotFound || number == err::PathNotFound; }

bool failedAsNotFound(HRESULT hr) {
    return HRESULT_FACILITY(hr) == FACILITY_CONTROL && isNotFound(static_cast<long>(HRESULT_CODE(hr)));
}

// The Retry/Cancel question for a split file that cannot be found; true for Retry.
bool askRetry(const std::wstring& missing) {
    std::wstring text(L"分割ファイル、");
    text.append(missing).append(L"がみつかりません。");
    return toolkit::messageBox(text, MB_RETRYCANCEL | MB_ICONHAND, L"Error") == IDRETRY;
}

}  // namespace

HRESULT FileSystemCls::SplitFile(BSTR* Source, BSTR* Destination, LONG* SplitSize, VARIANT_BOOL* result) {
    return call([&] {
        // A size of 0 would never advance; nothing is written for it.
        if (*SplitSize < 1) raise(err::InvalidCall);
        const std::uint64_t volumeSize = static_cast<std::uint64_t>(*SplitSize);
        const std::wstring sourcePath = checkedPath(Source);
        // An empty stem would scatter ".00001" ... into the current folder.
        const std::wstring stem = checkedPath(Destination);
        // The source must exist: splitting never creates it.
        file::File source(sourcePath, file::Mode::Read);
        const std::uint64_t length = source.size();
        const std::size_t chunkLimit = static_cast<std::size_t>(std::min<std::uint64_t>(volumeSize, split::kChunkBytes));
        ChunkArrays chunks;
        VARIANT_BOOL overwrite = VARIANT_FALSE;

        // An empty source gets one empty volume: a set of no volume is one that joining rejects.
        std::uint64_t volumes = 0;
        for (std::uint64_t start = 0; start < length || volumes == 0; start += volumeSize) {
            ++volumes;
            Bstr volume(split::volumePath(stem, volumes));
            BSTR volumeName = volume.get();
            const std::uint64_t volumeLength = std::min(volumeSize, length - start);
            std::optional<fileio::KeptOpen> kept;  // the volume, open from its second chunk to its end
            std::uint64_t done = 0;
            do {
                std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunkLimit, volumeLength - done));
                SAFEARRAY* chunk = chunks.get(n);
                source.readExact(ChunkArrays::bytes(chunk, n));
                LONG position = static_cast<LONG>(done + 1);
                if (done == 0) {
                    check(self()->WriteBinaryFile_New(&chunk, &volumeName, &position));
                } else {
                    if (!kept) kept.emplace(str(volumeName));
                    check(self()->WriteBinaryFile(&chunk, &volumeName, &position, &overwrite));
                }
                done += n;
            } while (done < volumeLength);
            kept.reset();
            toolkit::pumpMessages();
        }

        Variant name;
        check(self()->GetFileName(Source, &name));
        Bstr text(split::indexText(volumes, variantText(name)));
        std::wstring indexPath(stem);
        indexPath.append(split::kIndexMark);
        Bstr index(indexPath);
        BSTR textArg = text.get(), indexArg = index.get();
        VARIANT_BOOL append = VARIANT_FALSE, errorView = VARIANT_TRUE;
        check(self()->WriteFile(&textArg, &indexArg, &append, &errorView));
        *result = VARIANT_TRUE;
    });
}

HRESULT FileSystemCls::JoinFile(BSTR* Source, BSTR* Destination, VARIANT_BOOL* result) {
    return call([&] {
        *result = VARIANT_FALSE;
        // A name other than an index file's is answered with a message below, the empty one
        // included; an empty destination folder would put the output at the root of the drive.
        const std::wstring indexPath = checkedPath(Source, EmptyName::Allowed);
        const std::wstring destination = checkedPath(Destination);
        if (!split::hasIndexMark(indexPath)) {
            toolkit::messageBox(L"拡張子が\".00000\"のファイルをSourceに指定してください", MB_OK);
            return;
        }

        // The index file, asked for again as long as the user answers Retry.
        Bstr indexText;
        for (;;) {
            VARIANT_BOOL errorView = VARIANT_TRUE;
            HRESULT hr = self()->ReadFile(Source, &errorView, indexText.put());
            if (SUCCEEDED(hr)) break;
            if (!failedAsNotFound(hr)) check(hr);
            ::SetErrorInfo(0, nullptr);  // handled here
            if (!askRetry(indexPath)) return;
        }
        split::Index index = split::parseIndex(indexText.view());
        if (!split::isUsable(index)) {
            toolkit::messageBox(L"この分割ファイルは壊れています。", MB_OK);
            return;
        }

        Bstr output(path::withTrailingBackslash(destination) + index.fileName);
        BSTR outputName = output.get();
        ChunkArrays chunks;
        LONG afterEnd = 1;
        VARIANT_BOOL append = VARIANT_TRUE;
        for (std::int64_t i = 1; i <= index.count; ++i) {
            const std::wstring volumePath = split::volumePathFromIndex(indexPath, static_cast<std::uint64_t>(i));
            std::optional<file::File> volume;
            while (!volume) {
                try {
                    volume.emplace(volumePath, file::Mode::Read);  // never creates a missing volume
                } catch (const AutomationError& e) {
                    if (!isNotFound(e.number())) throw;
                    if (!askRetry(volumePath)) return;  // what was joined so far stays
                }
            }
            std::uint64_t remaining = volume->size();
            bool first = i == 1;
            // The output stays open while this volume's chunks are appended; it is closed again
            // before messages are pumped or a missing volume is asked for.
            std::optional<fileio::KeptOpen> kept;
            // The first volume starts the output afresh (an old file of that name is replaced),
            // even when it is empty; every later chunk is appended after the output's end.
            while (remaining > 0 || first) {
                std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, split::kChunkBytes));
                SAFEARRAY* chunk = chunks.get(n);
                volume->readExact(ChunkArrays::bytes(chunk, n));
                if (first) {
                    check(self()->WriteBinaryFile_New(&chunk, &outputName, &afterEnd));
                } else {
                    if (!kept) kept.emplace(str(outputName));
                    check(self()->WriteBinaryFile(&chunk, &outputName, &afterEnd, &append));
                }
                first = false;
                remaining -= n;
            }
            kept.reset();
            volume.reset();
            toolkit::pumpMessages();
        }
        *result = VARIANT_TRUE;
    });
}
