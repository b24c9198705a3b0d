#include "frame/error_report.h"

#include "frame/per_thread.h"

#include "filesystem/fileversion.h"
#include "filesystem/path.h"
#include "frame/module.h"
#include "frame/raii.h"
#include "frame/text.h"
#include "frame/toolkit.h"

namespace kro::errorreport {
namespace {

constexpr const wchar_t* kBanner = L"*******************************************";
constexpr const wchar_t* kContactAddress = L"kro-project@users.example.jp";
constexpr const wchar_t* kHomePage = L"http://kro-project.example.jp/";
constexpr const wchar_t* kFileName = L"ErrorFile.txt";

// The report path of this thread, formed again on every report.
struct ReportPath {
    std::wstring path;
};
std::wstring& reportPathOfThread() { return perThread<ReportPath>().path; }

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

void write(const Report& report) noexcept {
    std::wstring modulePath;
    guarded([&] { modulePath = module::path(); });
    write(report, modulePath);
}

void write(const Report& report, const std::wstring& modulePath) noexcept {
    guarded([&] {
        if (modulePath.empty()) return;
        reportPathOfThread() = path::folderOf(modulePath) + kFileName;
    });
    std::wstring reportPath;
    guarded([&] { reportPath = reportPathOfThread(); });

    guarded([&] { path::makeFolderChain(path::folderOf(reportPath)); });

    std::wstring libraryVersion;
    guarded([&] {
        if (auto v = fileversion::query(modulePath)) libraryVersion = v->file;
    });

    Handle file;
    guarded([&] {
        file.reset(::CreateFileW(reportPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    });

    std::vector<std::wstring> lines;
    guarded([&] {
        lines = reportLines(report, localeText(true) + L" " + localeText(false), libraryVersion, currentWindowsVersion());
    });
    for (const std::wstring& line : lines) {
        guarded([&] {
            if (!file) return;
            std::string bytes = toAnsi(line) + "\r\n";
            DWORD written = 0;
            ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        });
    }
    guarded([&] { file.reset(); });

    guarded([&] {
        toolkit::messageBox(L"\"" + reportPath + L"\"" + L"にエラーファイルを作成しました。" +
                                L"できればソフト制作者に送ってください。今後のバージョンアップ時の参考として使わしてもらいます。" +
                                L"\r\n" +
                                L"(注意：自己判断で送ってください。このファイルにはエラーに関係ありうると思われる情報がすべて入っています。一度中身をお確かめください。)",
                            MB_OK | MB_ICONEXCLAMATION);
    });
}

std::wstring lastReportPath() { return reportPathOfThread(); }

}  // namespace kro::errorreport
