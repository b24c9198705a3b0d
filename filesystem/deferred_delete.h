#pragma once
// Deferred deletion: a batch file that keeps trying to delete a file until it is gone, then
// deletes itself, started in a minimised console window without waiting for it.
#include <string>
#include <string_view>

namespace kro::deferred_delete {

// The batch file of a scheduling while no earlier batch is waiting.
inline constexpr const wchar_t* kBatchPath = L"C:\\Delete.bat";
// How many batches may wait at once (C:\Delete.bat, then C:\Delete2.bat ...).
inline constexpr int kMaxBatches = 999;

// The path of batch `n` (1 for C:\Delete.bat).
std::wstring batchPath(int n);

// True when `target` can be named in the batch exactly as given: no double quote, no control
// character, no wildcard, and every character representable in the ANSI code page.
bool acceptableTarget(std::wstring_view target);

// The nine lines of the batch for `target` (each "%" written as "%%"), in the ANSI code page,
// each ended by CR LF. Line 4 deletes a read-only target too. The target must be acceptable.
std::string batchText(std::wstring_view target);

// Starts `batchPath` in a new minimised console window and returns at once; raises on failure.
void startBatch(const std::wstring& batchPath);

// Writes the batch for `target` as a new file under the first free batch name and returns that
// name. A batch file still there belongs to an earlier batch that is still waiting (each one
// deletes itself at its end); it is never rewritten, because cmd reads a running batch line by
// line from its file. Raises the file error when no batch can be written (a folder in the way:
// 75; no write access to the root of C: 70).
std::wstring writeNewBatch(std::wstring_view target);

// Schedules the deletion of `target`, a relative one resolved against the current folder:
// refuses an unacceptable target (52) or a folder (75), then writes and starts a batch.
void schedule(std::wstring_view target);

}  // namespace kro::deferred_delete
