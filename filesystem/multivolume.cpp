#include "filesystem/multivolume.h"

#include "frame/per_thread.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "filesystem/directory.h"
#include "frame/errors.h"
#include "frame/toolkit.h"

namespace kro::multivolume {

namespace {

constexpr const wchar_t* kToVolumesCaption = L"CnvMltVol()";
constexpr const wchar_t* kToSingleCaption = L"CnvSglVol()";
constexpr const wchar_t* kOpenCaption = L"OpenMltFile()";

// Data moves through a buffer of whole chunks; which chunk lands in which volume is decided
// chunk by chunk, the reads and writes themselves cover many chunks at a time.
constexpr std::size_t kBatch = std::max<std::size_t>(1, file::kCopyChunk / kChunk) * kChunk;

// This thread's open volume files, by handle number.
using OpenFiles = std::map<long, file::File>;
OpenFiles& openFilesOfThread() { return perThread<OpenFiles>(); }

void warn(const std::wstring& text, const wchar_t* caption) {
    toolkit::messageBox(text, MB_OK | MB_ICONEXCLAMATION, caption);
}

void warnOpenFailed(const std::wstring& path) {
    warn(L"分割ファイルのオープンに失敗しました。\nfnm = " + path, kOpenCaption);
}

long freeHandle() {
    long number = 1;
    for (const auto& entry : openFilesOfThread()) {
        if (entry.first != number) break;
        ++number;
    }
    return number <= kMaxHandles ? number : 0;
}

// Binary access: read and write where the file allows it, read only otherwise (a volume set
// on a read-only medium can still be read).
file::File openBinary(const std::wstring& path) {
    try {
        return file::File(path, file::Mode::ReadWrite);
    } catch (const AutomationError& e) {
        if (e.number() != err::PermissionDenied) throw;
        return file::File(path, file::Mode::Read);
    }
}

// Which volumes of the set `base` exist as files, by number: one listing of the folder rather
// than a probe for each of the 999 numbers.
std::bitset<kMaxVolumes + 1> existingVolumes(const std::wstring& base) {
    std::bitset<kMaxVolumes + 1> present;
    const std::size_t cut = base.find_last_of(L"\\/:");
    const std::wstring_view stem = std::wstring_view(base).substr(cut == std::wstring::npos ? 0 : cut + 1);
    std::vector<std::wstring> names;
    try {
        names = dir::listNames(base + L".???", dir::attr::ReadOnly | dir::attr::Hidden | dir::attr::System |
                                                   dir::attr::Archive);
    } catch (const AutomationError&) {
        return present;  // a folder that cannot be listed holds no volume that can be read
    }
    for (const std::wstring& name : names) {
        if (name.size() != stem.size() + 4 || name[stem.size()] != L'.') continue;
        if (!dir::equalNoCase(std::wstring_view(name).substr(0, stem.size()), stem)) continue;
        long number = 0;
        for (wchar_t c : std::wstring_view(name).substr(stem.size() + 1)) {
            if (c < L'0' || c > L'9') {
                number = 0;
                break;
            }
            number = number * 10 + (c - L'0');
        }
        if (number >= 1) present.set(static_cast<std::size_t>(number));
    }
    return present;
}

bool canRead(const std::wstring& path) {
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid();
}

// One handle of the table, closed when it goes out of scope.
struct VolumeKind {
    using Value = long;
    static long none() { return 0; }
    static bool valid(long handle) { return handle != 0; }
    static void close(long handle) { closeVolume(handle); }
};
class Volume : public Owner<VolumeKind> {
public:
    using Owner::Owner;
    file::File& file() const { return *volumeFile(get()); }
    // Ends the volume right after the bytes written to it, then closes it.
    void finish() {
        file().truncateHere();
        reset();
    }
};

}  // namespace

std::wstring numberText(long number) {
    std::wstring text = L"000" + std::to_wstring(number);
    return text.substr(text.size() - 3);
}

std::optional<std::wstring> basePath(std::wstring_view name) {
    std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) return std::nullopt;
    return std::wstring(name.substr(0, dot));
}

long openVolume(const std::wstring& base, long number, bool mustExist) {
    if (number > kMaxVolumes) {
        warn(L"分割ファイルが 999 を越えました。\noutfnm = " + base, kOpenCaption);
        return 0;
    }
    std::wstring path = base + L"." + numberText(number);
    if (mustExist && !canRead(path)) return 0;
    long handle = freeHandle();
    if (handle == 0) {
        warnOpenFailed(path);
        return 0;
    }
    try {
        openFilesOfThread().emplace(handle, openBinary(path));
    } catch (const AutomationError&) {
        warnOpenFailed(path);
        return 0;
    }
    return handle;
}

file::File* volumeFile(long handle) {
    auto it = openFilesOfThread().find(handle);
    return it == openFilesOfThread().end() ? nullptr : &it->second;
}

void closeVolume(long handle) { openFilesOfThread().erase(handle); }

std::size_t openCount() { return openFilesOfThread().size(); }

short toVolumes(const std::wstring& input, const std::wstring& output, long maxVolumeBytes) {
    try {
        file::File probe(input, file::Mode::Read);
    } catch (const AutomationError&) {
        warn(L"入力ファイルのオープンに失敗しました。\n for input infnm = " + input, kToVolumesCaption);
        return 0;
    }
    std::optional<file::File> in;
    try {
        in.emplace(input, file::Mode::Read);
    } catch (const AutomationError&) {
        warn(L"入力ファイルのオープンに失敗しました。\nfor binary infnm = " + input, kToVolumesCaption);
        return 0;
    }
    std::optional<std::wstring> base = basePath(output);
    if (!base) return 0;

    long number = 1;
    Volume volume(openVolume(*base, number, false));
    // A volume that is the input itself would be overwritten while it is read (a volume this
    // open created is not: the input was there before it).
    auto usable = [&] {
        if (!volume) return false;
        if (volume.file().createdHere() || !file::sameFile(in->handle(), volume.file().handle())) return true;
        volume.reset();
        warnOpenFailed(*base + L"." + numberText(number));
        return false;
    };
    if (!usable()) return 0;
    try {
        std::vector<std::byte> buffer(kBatch);
        std::uint64_t remaining = in->size();
        std::int64_t written = 0;  // bytes in the current volume
        while (remaining > 0) {
            std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kBatch));
            in->readExact(std::span<std::byte>(buffer.data(), want));
            std::size_t from = 0;  // first byte of the buffer not yet written
            for (std::size_t at = 0; at < want;) {
                std::size_t n = std::min(want - at, kChunk);
                if (written + static_cast<std::int64_t>(n) > maxVolumeBytes) {
                    // The chunk does not fit: the volume ends here and the chunk opens the next.
                    volume.file().write(std::span<const std::byte>(buffer.data() + from, at - from));
                    volume.finish();
                    volume.reset(openVolume(*base, ++number, false));
                    if (!usable()) return 0;
                    written = 0;
                    from = at;
                }
                written += static_cast<std::int64_t>(n);
                at += n;
            }
            volume.file().write(std::span<const std::byte>(buffer.data() + from, want - from));
            remaining -= want;
        }
        volume.finish();
    } catch (const AutomationError&) {
        return 0;  // a read or write error while copying: the volumes written so far stay
    }
    // Volumes of an earlier, longer set of the same base would be read as part of this one.
    const auto present = existingVolumes(*base);
    for (long stale = number + 1; stale <= kMaxVolumes; ++stale) {
        if (!present.test(static_cast<std::size_t>(stale))) continue;
        std::wstring path = *base + L"." + numberText(stale);
        try {
            dir::deleteFile(path);
        } catch (const AutomationError&) {
            warn(L"古い分割ファイルの削除に失敗しました。\nfnm = " + path, kToVolumesCaption);
            return 0;
        }
    }
    return static_cast<short>(number);
}

bool toSingle(const std::wstring& input, const std::wstring& output) {
    std::optional<std::wstring> base = basePath(input);
    if (!base) return false;

    long number = 1;
    Volume volume(openVolume(*base, number, true));
    if (!volume) {
        warn(L"分割ファイルが見つかりません。\ninfnm = " + input, kToSingleCaption);
        return false;
    }
    // A set whose numbers have a gap would be joined short: the volumes after the gap would be
    // left out. Nothing is written for it.
    const auto present = existingVolumes(*base);
    long missing = 2;
    while (missing <= kMaxVolumes && present.test(static_cast<std::size_t>(missing))) ++missing;
    for (long later = missing + 1; later <= kMaxVolumes; ++later) {
        if (!present.test(static_cast<std::size_t>(later))) continue;
        volume.reset();
        warn(L"分割ファイルが欠けています。\nfnm = " + *base + L"." + numberText(missing), kToSingleCaption);
        return false;
    }
    auto outputFailed = [&] {
        volume.reset();
        warn(L"統合ファイルのオープンに失敗しました。\noutfnm = " + output, kToSingleCaption);
        return false;
    };
    std::optional<file::File> out;
    try {
        out.emplace(output, file::Mode::ReadWrite);
    } catch (const AutomationError&) {
        return outputFailed();
    }
    // Writing into one of the volumes would destroy it before it is read (an output this open
    // created is none of them: they were there before it).
    if (!out->createdHere()) {
        if (file::sameFile(out->handle(), volume.file().handle())) return outputFailed();
        for (long n = 2; n < missing; ++n)
            if (file::sameFile(out->handle(), *base + L"." + numberText(n))) return outputFailed();
    }

    bool copied = true;
    try {
        std::vector<std::byte> buffer(kBatch);
        for (;;) {
            file::copyBytes(volume.file(), *out, UINT64_MAX, buffer);
            volume.reset();
            volume.reset(openVolume(*base, ++number, true));
            if (!volume) {
                // The set ends at the first missing volume; one that is there but cannot be
                // read would leave the output short, so that is a failure.
                std::wstring next = *base + L"." + numberText(number);
                if (number <= kMaxVolumes && file::exists(next)) {
                    warnOpenFailed(next);
                    copied = false;
                }
                break;
            }
        }
        out->truncateHere();
    } catch (const AutomationError&) {
        copied = false;
    }
    return copied;
}

}  // namespace kro::multivolume
