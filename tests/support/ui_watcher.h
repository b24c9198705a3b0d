#pragma once
// Watches for dialogs and message boxes of this process, records what a person would see
// (caption, text, buttons, icon) and presses the buttons a test asks for.
#include <windows.h>

#include <string>
#include <vector>

namespace kro::test {

enum class BoxIcon { None, Hand, Question, Exclamation, Asterisk, Other };

struct SeenDialog {
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> buttons;  // in window order
    BoxIcon icon = BoxIcon::None;
};

class UiWatcher {
public:
    // `answers` are the button ids pressed for the first, second ... dialog; the last one is
    // repeated for any further dialog.
    explicit UiWatcher(std::vector<int> answers = {IDOK});
    ~UiWatcher();
    UiWatcher(const UiWatcher&) = delete;
    UiWatcher& operator=(const UiWatcher&) = delete;

    std::vector<SeenDialog> seen() const;
    // Waits until at least `count` dialogs were answered.
    bool waitFor(size_t count, DWORD timeoutMs = 10000) const;

private:
    static DWORD WINAPI run(void* self);
    void scan();

    std::vector<int> answers_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_;
    mutable CRITICAL_SECTION lock_;
    HANDLE thread_ = nullptr;
    volatile LONG stop_ = 0;
};

}  // namespace kro::test
