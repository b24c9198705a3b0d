#include "dialogs/copy_window.h"

#include <functional>
#include <memory>
#include <new>
#include <optional>

#include "frame/error_report.h"
#include "frame/errors.h"
#include "frame/per_thread.h"
#include "frame/raii.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

enum Part : int { Clip = 100, FileName, Folders, Bar, FilesLeft, Cancel };

// String table entries of the window.
enum Text : UINT { kTitle = 7000, kFileNameDesign, kFoldersDesign, kFilesLeftDesign, kCancelButton };

constexpr ControlDesign kControls[] = {
    {Clip, ControlKind::Animation, 180, 180, 6315, 690},
    {FileName, ControlKind::Label, 180, 1080, 2445, 240, kFileNameDesign},
    {Folders, ControlKind::Label, 180, 1530, 4875, 195, kFoldersDesign},
    {Bar, ControlKind::Progress, 180, 1800, 5055, 240},
    {FilesLeft, ControlKind::Label, 90, 2070, 2895, 240, kFilesLeftDesign},
    {Cancel, ControlKind::Button, 5355, 1755, 1230, 330, kCancelButton},
};

// A fixed tool window with a close box only, kept out of the taskbar, placed where the system
// puts new windows.
constexpr WindowDesign kDesign{
    L"frmCopy", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, 6675, 2385, false, kControls,
};

// Whether a file of exactly this name exists (no wildcards, no folders).
bool fileExists(const std::wstring& name) {
    if (name.empty() || name.find(L'\0') != std::wstring::npos) return false;
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Runs one step and hands back its failure, if any, as an automation error.
std::optional<AutomationError> failureOf(const std::function<void()>& step) {
    try {
        step();
        return std::nullopt;
    } catch (const AutomationError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return AutomationError(errorHresult(err::OutOfMemory), standardDescription(err::OutOfMemory));
    } catch (...) {
        return AutomationError(errorHresult(err::InternalError), standardDescription(err::InternalError));
    }
}

// Sets a label's text only when it changes: a copy loop reports the same folders for file after
// file, and every change costs a repaint.
void setLabel(Control& label, std::wstring_view text) {
    if (label.text() != text) label.setText(text);
}

}  // namespace

std::wstring singleText(float value) {
    Bstr text;
    if (FAILED(::VarBstrFromR4(value, LOCALE_USER_DEFAULT, 0, text.put()))) raise(err::Overflow);
    return std::wstring(text.view());
}

CopyWindow::CopyWindow() : Window(kDesign) {}

CopyWindow& CopyWindow::instance() { return perThread<CopyWindow>(); }

std::wstring CopyWindow::designTitle() { return toolkit::loadString(kTitle); }

void CopyWindow::showEx(const std::wstring& clip, short max, IDispatch* owner, std::wstring_view caption) {
    const std::function<void()> steps[] = {
        [&] { show(ownerWindow(owner)); },
        // Opening the clip starts it; it plays in a loop while the window is shown.
        [&] { control(Clip).openClip(clip); },
        [&] { control(Bar).setMaximum(max); },
        [&] { control(Bar).setValue(0); },
        [&] { setTitle(caption); },
        [&] { cancelRequested_ = false; },
    };
    for (const auto& step : steps) {
        std::optional<AutomationError> failure = failureOf(step);
        if (!failure) continue;
        // Without a clip to show, a failing step is passed over; with one, the failure is
        // reported to the user and the window is left as far as it got.
        if (!fileExists(clip)) continue;
        errorreport::write({L"frmCopy", L"ShowEx", failure->number(), failure->source(), failure->description()});
        return;
    }
}

void CopyWindow::setValue(short value, std::wstring_view fileName, std::wstring_view sourceFolder,
                          std::wstring_view destinationFolder) {
    Control& bar = control(Bar);
    bar.checkValue(value);
    std::wstring line = L"'";
    line.append(sourceFolder).append(L"' から '").append(destinationFolder).append(L"' へ");
    const std::wstring amount = L"残り" + singleText(bar.maximum() - static_cast<float>(value)) + L"ファイル";
    const bool last = bar.maximum() == value;
    bar.setValue(value);
    setLabel(control(FileName), fileName);
    setLabel(control(Folders), line);
    setLabel(control(FilesLeft), amount);
    // Repaints the window and runs a pending click on the cancel button. The client's handlers
    // may run here too, and the user may close the window.
    toolkit::pumpMessages();
    if (!loaded()) return;
    if (last) unload();
}

void CopyWindow::onCommand(Control& control, int notification) {
    if (notification == BN_CLICKED && control.part() == Cancel) cancelRequested_ = true;
}

}  // namespace kro::ui
