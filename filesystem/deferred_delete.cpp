#include "filesystem/deferred_delete.h"

#include <windows.h>

#include "filesystem/file.h"
#include "frame/errors.h"
#include "frame/raii.h"

namespace kro::deferred_delete {
namespace {

// The target in the ANSI code page; false when a character has no exact equivalent there (the
// system would put "?" in its place, a wildcard to DEL).
bool ansiExact(std::wstring_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    BOOL usedDefault = FALSE;
    int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                  nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.assign(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, &usedDefault);
    return !usedDefault;
}

}  // namespace

bool acceptableTarget(std::wstring_view target) {
    for (wchar_t c : target) {
        if (c < 0x20 || c == 0x7F || c == L'"' || c == L'*' || c == L'?') return false;
    }
    std::string ansi;
    return ansiExact(target, ansi);
}

std::string batchText(std::wstring_view target) {
    std::string ansi;
    ansiExact(target, ansi);
    // cmd expands "%" even between double quotes; doubled, it stands for itself.
    std::string quoted = "\"";
    for (char c : ansi) {
        quoted += c;
        if (c == '%') quoted += '%';
    }
    quoted += '"';
    std::string text;
    for (const std::string& line : {std::string("@echo off"), std::string(":loop"),
                                    "if not exist " + quoted + " goto end", "DEL /F " + quoted, std::string("goto loop"),
                                    std::string(), std::string(":end"), std::string("DEL %0"), std::string("EXIT")}) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::wstring batchPath(int n) { return n == 1 ? std::wstring(kBatchPath) : L"C:\\Delete" + std::to_wstring(n) + L".bat"; }

std::wstring writeNewBatch(std::wstring_view target) {
    std::string text = batchText(target);
    for (int n = 1; n <= kMaxBatches; ++n) {
        std::wstring path = batchPath(n);
        if (file::folderExists(path)) raise(err::PathFileAccessError);
        Handle batch(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!batch) {
            DWORD e = ::GetLastError();
            if ((e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS) && file::exists(path)) continue;
            raiseWin32(e);
        }
        DWORD written = 0;
        if (!::WriteFile(batch.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size()) {
            DWORD e = ::GetLastError();
            batch.reset();
            ::DeleteFileW(path.c_str());  // a batch cut short must not run
            raiseWin32(e == ERROR_SUCCESS ? ERROR_DISK_FULL : e);
        }
        return path;
    }
    raise(err::TooManyFiles);
}

void startBatch(const std::wstring& batchPath) {
    wchar_t system[MAX_PATH] = {};
    UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) raiseWin32();
    std::wstring interpreter = std::wstring(system) + L"\\cmd.exe";
    std::wstring commandLine = L"\"" + interpreter + L"\" /c \"" + batchPath + L"\"";

    // The batch runs in its own folder, so that it holds no folder of the caller's open.
    std::wstring folder = batchPath.substr(0, batchPath.find_last_of(L'\\') + 1);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        raiseWin32();
    Handle process(pi.hProcess), thread(pi.hThread);  // not waited for
}

void schedule(std::wstring_view target) {
    if (!acceptableTarget(target)) raise(err::BadFileNameOrNumber);
    // The batch runs in a folder of its own: a relative name must name the caller's file.
    std::wstring full = target.empty() ? std::wstring() : file::fullPath(std::wstring(target));
    if (!target.empty() && (full.empty() || !acceptableTarget(full))) raise(err::BadFileNameOrNumber);
    // DEL on a folder would empty it (after a prompt nobody sees), never remove it.
    if (!full.empty() && file::folderExists(full)) raise(err::PathFileAccessError);
    startBatch(writeNewBatch(full));
}

}  // namespace kro::deferred_delete
