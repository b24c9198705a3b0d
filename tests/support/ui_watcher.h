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

// A child control of a window as a person sees it; rect in pixels of the window's client area.
struct SeenControl {
    HWND hwnd = nullptr;
    std::wstring className;
    std::wstring text;
    RECT rect{};
    bool visible = false;
    LONG style = 0;
};

// Any top-level window of this process.
struct SeenWindow {
    HWND hwnd = nullptr;
    std::wstring className;
    std::wstring caption;
    LONG style = 0;
    LONG exStyle = 0;
    HWND owner = nullptr;
    RECT windowRect{};  // screen pixels
    SIZE client{};      // pixels
    bool visible = false;
    std::vector<SeenControl> controls;  // in creation order
};

// Top-level windows of this process with this class name (visible or not).
std::vector<HWND> topLevelWindows(const std::wstring& className);
// Waits for a visible top-level window of this process with this class (and title, when given).
HWND waitForWindow(const std::wstring& className, const std::wstring& title = L"", DWORD timeoutMs = 10000);
SeenWindow inspect(HWND window);
// Presses a button as a click would (posted, so that a modal loop of the caller sees it).
void pressButton(HWND button);
// What the screen shows of a window (non-client area included), rows from the top, 0x00RRGGBB.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};
ScreenPixels screenPixels(HWND window);
// Saves what the screen shows of the window as a BMP file.
bool saveScreenshot(HWND window, const std::wstring& bmpPath);

// How a control's text shows on the screen: how many of its pixels change when its text is
// taken away, and how many when each character is replaced by one that no font has.
struct LabelLook {
    size_t unlikeEmpty = 0;
    size_t unlikeBoxes = 0;
};
LabelLook lookOfLabel(HWND label);
// What a person would notice first: the window's client size, and that every visible control
// with Japanese text shows it as glyphs (it looks unlike the same control empty, and unlike it
// showing missing-glyph boxes). Each control's text is briefly replaced to compare, then restored.
void expectDrawnAsDesigned(HWND window, SIZE client);
// Saves the window as screens\<name>.bmp beside the test program; the test command's screenshot
// step runs the Screenshot.* tests inside a Wine desktop (title bars drawn) and turns these files
// into docs/images/<name>.png.
bool saveScreenshot(HWND window, const wchar_t* name);

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
