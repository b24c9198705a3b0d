#include "frame/error_report.h"

#include <shlobj.h>

#include "filesystem/fileversion.h"
#include "filesystem/path.h"
#include "frame/module.h"
#include "frame/text.h"
#include "frame/toolkit.h"

namespace kro::errorreport {
namespace {

constexpr const wchar_t* kBanner = L"*******************************************";
constexpr const wchar_t* kContactAddress = L"kro-project@users.example.jp";
constexpr const wchar_t* kHomePage = L"http://kro-project.example.jp/";
constexpr const wchar_t* kFileName = L"ErrorFile.txt";
constexpr const wchar_t* kFallbackFolderName = L"kroProgramDll";

// Runs one step of the report; a step that fails is skipped.
template <class Step>
void guarded(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

std::wstring localeText(bool date) {
    wchar_t buf[128] = {};
    int n = date ? ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, 128)
                 : ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buf, 128);
    return n > 0 ? std::wstring(buf) : std::wstring();
}

std::wstring currentWindowsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
    return windowsVersionText(info.dwMajorVersion, info.dwMinorVersion);
}

// Writes the report lines to `reportPath` (its folders made first, the file created or emptied).
// True only when every line was written and the file closed; a file left incomplete is deleted.
bool writeReportFile(const std::wstring& reportPath, const std::vector<std::string>& lines) noexcept {
    bool ok = false;
    guarded([&] {
        path::makeFolderChain(reportPath);
        HANDLE file = ::CreateFileW(reportPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        ok = !lines.empty();
        for (const std::string& line : lines) {
            DWORD done = 0;
            if (!::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &done, nullptr) || done != line.size()) {
                ok = false;
                break;
            }
        }
        if (!::CloseHandle(file)) ok = false;
        if (!ok) ::DeleteFileW(reportPath.c_str());
    });
    return ok;
}

}  // namespace

std::wstring windowsVersionText(DWORD major, DWORD minor) {
    std::wstring m = L"0" + std::to_wstring(minor);
    return std::to_wstring(major) + L"." + m.substr(m.size() - 2);
}

std::vector<std::wstring> reportLines(const Report& r, std::wstring_view stamp, std::wstring_view libraryVersion,
                                      std::wstring_view windowsVersion) {
    return {
        kBanner,
        L"* VorelDll エラーファイル",
        L"* 作成者 Vorel Project",
        std::wstring(L"* 連絡先 E-mail \"") + kContactAddress + L"\"",
        std::wstring(L"*        HomePage \"") + kHomePage + L"\"",
        L"* " + std::wstring(stamp),
        kBanner,
        L"エラーを起こしたファイル名 = " + r.moduleName,
        L"エラーを起こしたステートメント名 = " + r.statementName,
        L"",
        L"エラー番号 = " + std::to_wstring(r.number),
        L"エラーを発生させたオブジェクト = " + r.source,
        L"エラーに対する簡単な説明 = " + r.description,
        L"",
        L"エラーを起こした際の\"VorelDll\"のバージョン = " + std::wstring(libraryVersion),
        L"エラーを起こした際のWindowsのバージョン = " + std::wstring(windowsVersion),
        L"<EOF>",
    };
}

std::wstring defaultFallbackFolder() {
    std::wstring appData = path::specialFolder(CSIDL_LOCAL_APPDATA, nullptr);
    return appData.empty() ? std::wstring() : path::withTrailingBackslash(appData) + kFallbackFolderName + L"\\";
}

std::wstring write(const Report& report) noexcept {
    std::wstring modulePath;
    guarded([&] { modulePath = module::path(); });
    return write(report, modulePath);
}

std::wstring write(const Report& report, const std::wstring& modulePath) noexcept {
    std::wstring fallback;
    guarded([&] { fallback = defaultFallbackFolder(); });
    return write(report, modulePath, fallback);
}

std::wstring write(const Report& report, const std::wstring& modulePath, const std::wstring& fallbackFolder) noexcept {
    std::wstring libraryVersion;
    guarded([&] {
        if (auto v = fileversion::query(modulePath)) libraryVersion = v->file;
    });
    std::vector<std::string> lines;
    guarded([&] {
        for (const std::wstring& line :
             reportLines(report, localeText(true) + L" " + localeText(false), libraryVersion, currentWindowsVersion()))
            lines.push_back(toAnsi(line) + "\r\n");
    });

    std::wstring besideModule, inFallback, written;
    guarded([&] {
        if (!modulePath.empty()) besideModule = path::folderOf(modulePath) + kFileName;
        if (!fallbackFolder.empty()) inFallback = path::withTrailingBackslash(fallbackFolder) + kFileName;
    });
    for (const std::wstring* candidate : {&besideModule, &inFallback}) {
        if (!candidate->empty() && writeReportFile(*candidate, lines)) {
            written = *candidate;
            break;
        }
    }

    guarded([&] {
        if (!written.empty()) {
            toolkit::messageBox(L"\"" + written + L"\"" + L"にエラーファイルを作成しました。" +
                                    L"できればソフト制作者に送ってください。今後のバージョンアップ時の参考として使わしてもらいます。" +
                                    L"\r\n" +
                                    L"(注意：自己判断で送ってください。このファイルにはエラーに関係ありうると思われる情報がすべて入っています。一度中身をお確かめください。)",
                                MB_OK | MB_ICONEXCLAMATION);
        } else {
            toolkit::messageBox(L"\"" + besideModule + L"\"" + L"にも" + L"\"" + inFallback + L"\"" +
                                    L"にもエラーファイルを作成できませんでした。" +
                                    L"できればこの内容をソフト制作者に知らせてください。" + L"\r\n" +
                                    L"エラー番号 = " + std::to_wstring(report.number) + L"\r\n" +
                                    L"エラーに対する簡単な説明 = " + report.description,
                                MB_OK | MB_ICONEXCLAMATION);
        }
    });
    return written;
}

}  // namespace kro::errorreport
