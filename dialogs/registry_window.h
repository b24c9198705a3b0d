#pragma once
// The registry writer window: a root key chosen from a list, a key path, a value name and a
// text value, written with one button. One instance per client thread.
#include "dialogs/window.h"

namespace kro::ui {

class RegistryWindow final : public Window {
public:
    // This thread's instance, created on first use.
    static RegistryWindow& instance();

    RegistryWindow();

private:
    void onLoad() override;
    void onCommand(Control& control, int notification) override;
    void write();
};

// A root list entry of the string table, "name|&Hnumber": the name and the number read as a
// signed 32-bit value. False when the entry has no "|" or no number after it.
bool parseRootEntry(std::wstring_view entry, std::wstring& name, LONG& number);

}  // namespace kro::ui
