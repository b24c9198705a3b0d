#pragma once
// The copy progress window: an animation, the file being copied, the source and destination
// folders, a progress bar, the number of files left and a cancel button. One instance per client
// thread; the cancel flag belongs to the instance, so it outlives the window's unloads.
#include <string>

#include "dialogs/window.h"

namespace kro::ui {

class CopyWindow final : public Window {
public:
    // The design title, also the title showEx gives when the client names none.
    static std::wstring designTitle();

    // This thread's instance, created on first use.
    static CopyWindow& instance();

    // Shows the window owned by `owner`, opens `clip` in the animation, sets the progress range
    // 0..max and the title, and clears the cancel flag, step by step. Never raises: with an empty
    // or missing clip name a failing step is skipped; otherwise the failure is written to the
    // error report and the remaining steps are left undone.
    void showEx(const std::wstring& clip, short max, IDispatch* owner, std::wstring_view caption);

    // Reports one step: the progress value (refused with 380 before any text changes when it
    // lies outside 0..maximum), the file name, the folders and the files left; then runs one pass
    // of the message pump and unloads the window when the value has reached the maximum. Every
    // step is on the screen before the call returns: the client may copy for long without pumping.
    void setValue(short value, std::wstring_view fileName, std::wstring_view sourceFolder,
                  std::wstring_view destinationFolder);

    // Set by the cancel button, cleared only by showEx; readable while the window is unloaded.
    bool cancelRequested() const { return cancelRequested_; }

    CopyWindow();

protected:
    void onCommand(Control& control, int notification) override;

private:
    bool cancelRequested_ = false;
};

// The files-left count as the window writes it: the shortest decimal text of a single-precision
// number ("7", not "7.0").
std::wstring singleText(float value);

}  // namespace kro::ui
