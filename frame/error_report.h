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

// Writes the report beside `modulePath` (the library's own module file when omitted) and shows
// the message box. Each step that fails is skipped; nothing is ever raised.
void write(const Report& report) noexcept;
void write(const Report& report, const std::wstring& modulePath) noexcept;

// The path the last report on this thread was written to.
std::wstring lastReportPath();

}  // namespace kro::errorreport
