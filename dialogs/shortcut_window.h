#pragma once
// The shortcut maker window: the properties of a shortcut (target, shortcut file, icon, working
// folder, command line, hot key, window style, description) typed or picked with file and
// folder pickers, then written as a shortcut file. One instance per client thread.
#include "dialogs/window.h"

namespace kro::ui {

class ShortcutWindow final : public Window {
public:
    // This thread's instance, created on first use.
    static ShortcutWindow& instance();

    // Replaces "$AppPath$" (letter case as written) by the folder of `sourceFile` with its
    // backslash, then the folder macros, asking for folders with this window as owner.
    std::wstring replacePath(std::wstring_view path, std::wstring_view sourceFile);

    ShortcutWindow();

private:
    void onLoad() override;
    void onCommand(Control& control, int notification) override;
    // Picks a file into the control `field` (a design id) with the open or the save dialog.
    void pickFile(int field, bool save);
    void pickFolder();
    void createShortcut();

    FileDialog dialog_;  // keeps the last file name between uses
};

// The window style field as a 16-bit number the way the runtime converts a text (spaces,
// "&H" literals, rounding); false when the text is no number or out of range.
bool readWindowStyle(std::wstring_view text, short& value);

}  // namespace kro::ui
