#pragma once
// The error report: ErrorFile.txt beside the library's module file, followed by a message box
// that tells the user where it is. Called as the last act of an error handler.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kro::errorreport {

struct Report {
    std::wstring moduleName;     // the form or module in which the error happened
    std::wstring statementName;  // the member that failed
    long number = 0;
    std::wstring source;
    std::wstring description;
};

// "major.minor" with the minor number as two digits (last two of its zero-padded text):
// 5 and 1 give "5.01", 4 and 90 give "4.90".
std::wstring windowsVersionText(DWORD major, DWORD minor);

// The 17 lines of a report (without line ends); `libraryVersion` and `windowsVersion` are the
// texts for lines 15 and 16, `stamp` the date and time of line 6.
std::vector<std::wstring> reportLines(const Report& report, std::wstring_view stamp, std::wstring_view libraryVersion,
                         std::wstring_view windowsVersion);

// Writes the report beside `modulePath` (the library's own module file when omitted) when that
// folder can be written, otherwise into `fallbackFolder` (the user's local application data
// folder + "kroProgramDll\" when omitted), then shows the message box: where the report is, or,
// when no file could be written, that none was, with the error's number and description.
// Returns the path written (empty when none); nothing is ever raised.
std::wstring write(const Report& report) noexcept;
std::wstring write(const Report& report, const std::wstring& modulePath) noexcept;
std::wstring write(const Report& report, const std::wstring& modulePath, const std::wstring& fallbackFolder) noexcept;

// The folder a report goes to when the module's folder cannot be written.
std::wstring defaultFallbackFolder();

}  // namespace kro::errorreport
