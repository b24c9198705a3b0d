#pragma once
// Deferred deletion: a batch file that keeps trying to delete a file until it is gone, then
// deletes itself, started in a minimised console window without waiting for it.
#include <string>
#include <string_view>

namespace kro::elash {

// The batch file every scheduling call rewrites.
inline constexpr const wchar_t* kBatchPath = L"C:\\Delete.bat";

// True when `target` can be named in the batch exactly as given: no double quote, no control
// character, no wildcard, and every character representable in the ANSI code page.
bool acceptableTarget(std::wstring_view target);

// The nine lines of the batch for `target` (each "%" written as "%%"), in the ANSI code page,
// each ended by CR LF. The target must be acceptable.
std::string batchText(std::wstring_view target);

// Writes the batch for `target` to `batchPath` (created or emptied); raises the file error.
void writeBatch(const std::wstring& batchPath, std::wstring_view target);

// Starts `batchPath` in a new minimised console window and returns at once; raises on failure.
void startBatch(const std::wstring& batchPath);

// Schedules the deletion of `target`: refuses an unacceptable target (52) or a folder (75),
// then writes and starts "C:\Delete.bat".
void schedule(std::wstring_view target);

}  // namespace kro::elash
