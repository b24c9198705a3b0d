// FileSystemCls: cutting a file into a split set and joining it again. Volumes move through one
// buffer of at most file::kCopyChunk. Each file being written is open only while one volume's
// bytes go into it: it is closed before messages are pumped or a missing volume is asked for,
// as a client pumping messages expects.
#include "filesystem/FileSystemCls.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "filesystem/file.h"
#include "filesystem/fileio.h"
#include "filesystem/path.h"
#include "filesystem/split.h"
#include "frame/automation.h"
#include "frame/path_check.h"
#include "frame/toolkit.h"

using namespace kro;

namespace {

// A split file that cannot be found: no such file, or no such folder (a medium not inserted).
bool isNotFound(long number) { return number == err::FileNotFound || number == err::PathNotFound; }

// The Retry/Cancel question for a split file that cannot be found; true for Retry.
bool askRetry(const std::wstring& missing) {
    std::wstring text(L"分割ファイル、");
    text.append(missing).append(L"がみつかりません。");
    return toolkit::messageBox(text, MB_RETRYCANCEL | MB_ICONHAND, L"Error") == IDRETRY;
}

// A file set's volume or joined file started afresh, as a fresh write of a file starts: a file
// the existence test sees is deleted first; a longer one it does not see keeps its tail.
file::File freshOutput(const std::wstring& path) {
    checkPath(path);
    fileio::deleteIfVisible(path);
    return file::File(path, file::Mode::ReadWrite);
}

// Moves exactly `length` bytes from `from` to `to`; a source that ends first fails with 62.
void moveBytes(file::File& from, file::File& to, std::uint64_t length, std::vector<std::byte>& buffer) {
    if (file::copyBytes(from, to, length, buffer) != length) raise(err::InputPastEnd);
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
        std::vector<std::byte> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(volumeSize, file::kCopyChunk)));

        // An empty source gets one empty volume: a set of no volume is one that joining rejects.
        std::uint64_t volumes = 0;
        for (std::uint64_t start = 0; start < length || volumes == 0; start += volumeSize) {
            ++volumes;
            {
                file::File volume = freshOutput(split::volumePath(stem, volumes));
                moveBytes(source, volume, std::min(volumeSize, length - start), buffer);
            }
            toolkit::pumpMessages();
        }

        std::wstring indexPath(stem);
        indexPath.append(split::kIndexMark);
        checkPath(indexPath);
        fileio::writeLine(indexPath, split::indexText(volumes, path::fileName(sourcePath)), false);
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
        std::wstring indexText;
        for (;;) {
            try {
                indexText = fileio::readText(indexPath);
                break;
            } catch (const AutomationError& e) {
                if (!isNotFound(e.number())) throw;
                if (!askRetry(indexPath)) return;
            }
        }
        split::Index index = split::parseIndex(indexText);
        if (!split::isUsable(index)) {
            toolkit::messageBox(L"この分割ファイルは壊れています。", MB_OK);
            return;
        }

        const std::wstring outputPath = path::withTrailingBackslash(destination) + index.fileName;
        std::vector<std::byte> buffer(file::kCopyChunk);
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
            // The first volume starts the output afresh (an old file of that name is replaced),
            // even when it is empty; every later one is appended after the output's end.
            {
                file::File output = i == 1 ? freshOutput(outputPath) : file::File(outputPath, file::Mode::ReadWrite);
                if (i > 1) output.seek(output.size());
                moveBytes(*volume, output, volume->size(), buffer);
            }
            volume.reset();
            toolkit::pumpMessages();
        }
        *result = VARIANT_TRUE;
    });
}
