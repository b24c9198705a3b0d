#pragma once
// The library's window layer on plain Win32. A window kind is a table of controls (kind, name,
// index, position and size in twips, initial text) plus event handlers written as overrides of
// Window. Each kind keeps one instance per client thread; the instance outlives its window, so
// that a kind can be loaded, shown, hidden and unloaded again and again.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame/raii.h"

namespace kro::ui {

enum class ControlKind { Label, Edit, ListBox, ComboBox, Image, Button, Frame, Progress, Animation };

// One row of a window kind's control table. Positions are twips in the client area, or in the
// frame given by `frame` (a control of kind Frame listed earlier).
struct ControlDesign {
    int id;  // an enumerator of the window kind's control enum; also the Win32 control id
    ControlKind kind;
    int left, top, width, height;
    UINT textId = 0;  // the design text: an entry of the library's string table (0: none)
    int frame = 0;    // id of the frame it lies in; 0: the client area
    bool flat = false;  // a one-pixel border instead of the sunken edge (room for text in short boxes)
};

// How a window kind looks.
struct WindowDesign {
    const wchar_t* kindName;  // "frmMessage": names the window class and the kind in errors
    UINT titleId;             // the design title in the string table (0: none)
    DWORD style;
    DWORD exStyle;
    int clientWidth, clientHeight;  // twips
    bool centreOnOwner;             // else placed where the system puts new windows
    std::span<const ControlDesign> controls;
};

// Why a window is asked to close.
enum class CloseReason { User, Owner, Shutdown, Code };

// A font as clients describe one; size in points.
struct FontChoice {
    std::wstring name;
    float size = 9;
    bool bold = false, italic = false, underline = false;
};

// The text of a window or control.
std::wstring windowText(HWND window);
// `text` as a control can hold it: each NUL (which would cut a C string) becomes a space.
std::wstring textWithoutNul(std::wstring_view text);

// The Japanese UI face every control starts with.
FontChoice defaultFont();

// Twips to pixels with the screen's real DPI (1440 twips per inch), rounding to nearest.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int pixels);
double pixelsToTwipsY(int pixels);

class Window;

// One control of a loaded window.
class Control {
public:
    Control(Window& owner, const ControlDesign& design, HWND hwnd, int index);
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND hwnd() const { return hwnd_; }
    ControlKind kind() const { return kind_; }
    // The design id (the window kind's enumerator) and the element of a control array (0 for a
    // single control).
    int part() const { return design_.id; }
    int index() const { return index_; }

    std::wstring text() const;
    void setText(std::wstring_view text);
    void setVisible(bool visible);
    void refresh();
    void setFocus();
    // Moves the control (twips, relative to its container); false when the platform refuses
    // (a negative size).
    bool move(double left, double top, double width, double height);

    // Fonts and text colour. A size of 0 or less, or a colour that is no OLE colour, fails with
    // 380 and changes nothing of that attribute.
    const FontChoice& font() const { return font_; }
    void setFont(const FontChoice& font);
    void setFontSize(float points);
    void setFontName(std::wstring_view name);
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    void setColor(OLE_COLOR color);
    COLORREF textColor() const { return color_; }

    // List and combo boxes. Positions out of range fail with 381.
    int count() const;
    void addItem(std::wstring_view text, LONG_PTR data = 0);
    // The position of the item whose text is exactly `text` (any letter case); -1 when none.
    int findItem(std::wstring_view text) const;
    void clear();
    void removeItem(int position);
    std::wstring item(int position) const;
    void setItem(int position, std::wstring_view text);
    LONG_PTR itemData(int position) const;
    int selection() const;           // -1 when none
    void setSelection(int position); // -1 clears; out of range fails with 380

    // Image controls: an icon or bitmap picture (null shows nothing). The control shows a copy
    // of its image and keeps no reference to the picture: a client's picture must not be
    // released by a window that outlives the client's COM (a window instance lasts as long as
    // its thread).
    void setPicture(IPictureDisp* picture);
    // The same for an icon or bitmap handle, which stays the caller's.
    void setImage(HANDLE image, bool bitmap);

    // Progress bars: maximum and value as single-precision numbers with minimum 0. A value
    // outside 0..maximum, or a maximum not above the minimum, fails with 380 and changes nothing.
    float maximum() const { return max_; }
    float value() const { return value_; }
    void setMaximum(float max);
    void setValue(float value);
    // Fails with 380 when setValue would refuse `value`.
    void checkValue(float value) const;

    // Animation controls: opens an AVI clip file and plays it in a loop; a clip that cannot be
    // opened fails (53 missing, 321 otherwise).
    void openClip(const std::wstring& path);

private:
    friend class Window;
    void applyFont(const FontChoice& font);
    void checkPosition(int position) const;
    // A visible list box redraws its scroll bar at once on every change, which under Wine costs
    // milliseconds; a burst of changes is drawn once instead, when the thread next pumps messages
    // (the same moment its items would be repainted).
    void holdRedrawUntilIdle();
    void resumeRedraw();

    Window& owner_;
    ControlKind kind_;
    int index_;
    HWND hwnd_;
    FontChoice font_;
    Font hfont_;
    COLORREF color_ = 0;
    // The copy of a picture shown: a bitmap or an icon, at most one of them.
    GdiObject bitmap_;
    Icon icon_;
    float max_ = 100, value_ = 0;
    bool redrawHeld_ = false;
    ControlDesign design_;
};

// A window kind's instance. Derived kinds give their table and override the handlers.
class Window {
public:
    explicit Window(const WindowDesign& design);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool loaded() const { return hwnd_ != nullptr; }
    bool visible() const;
    HWND hwnd() const { return hwnd_; }
    const WindowDesign& design() const { return design_; }

    // Creates the window and its controls hidden (if not loaded yet) and runs onLoad.
    void load();
    // Loads if needed, sets the owner (null: none) and shows the window modeless.
    void show(HWND owner, bool activate = true);
    void hide();
    // Destroys the window; a later use loads it afresh.
    void unload();

    // Paints what is waiting to be painted now, without waiting for the message pump.
    void paintNow();
    void setTitle(std::wstring_view title);
    std::wstring title() const;
    // Client area size in twips.
    double clientWidth() const;
    double clientHeight() const;

    // A control of the loaded window by its design id (loading it first); a missing element
    // fails with 340.
    Control& control(int part, int index = 0);
    Control* findControl(int part, int index = 0);
    // Adds element `index` to a control array as a copy of element 0 (its design text included),
    // hidden.
    Control& addElement(int part, int index);

protected:
    virtual void onLoad() {}
    // A close request; false keeps the window. Only User requests may be refused.
    virtual bool onCloseRequest(CloseReason) { return true; }
    // The window is going away (its controls still exist).
    virtual void onUnload(CloseReason) {}
    virtual void onResize() {}
    virtual void onCommand(Control&, int notification) {}
    virtual void onListDoubleClick(Control&) {}
    virtual void onListKey(Control&, UINT virtualKey) {}

private:
    friend class Control;
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    Control& createControl(const ControlDesign& design, int index, const Control* copyOf);
    void place(HWND owner);
    void closeFor(CloseReason reason);
    void forget();

    WindowDesign design_;
    HWND hwnd_ = nullptr;
    int nextId_ = 0;  // the Win32 id of the next control array element
    bool unloading_ = false;
    std::vector<std::unique_ptr<Control>> controls_;
};

// Owner windows passed by clients: null is no owner; an object's hWnd property (read late-bound)
// must name a window. Anything else fails with 13.
HWND ownerWindow(IDispatch* owner);
// An owner argument from a late-bound caller, converted for an owner parameter (declared as an
// object): Empty is no owner, a number is a window handle (an object standing for it); objects are
// left to the generic conversion (S_FALSE), and ownerWindow reads their hWnd.
HRESULT ownerArgument(const VARIANT& argument, VARIANT& out);

// A picture object for an icon of the library's resources.
ComPtr<IPictureDisp> libraryIcon(UINT id);

// The modal input box: prompt, title and default answer; the empty text when cancelled.
std::wstring inputBox(std::wstring_view prompt, std::wstring_view title, std::wstring_view defaultAnswer, HWND owner);

// The open/save file dialog; the file name is kept between uses.
class FileDialog {
public:
    std::wstring filter;  // description|pattern|description|pattern|...
    int filterIndex = 1;
    DWORD flags = 0;
    std::wstring fileName;
    // True when the user chose a file (fileName then holds it).
    bool showOpen(HWND owner);
    bool showSave(HWND owner);
private:
    bool show(HWND owner, bool save);
};

}  // namespace kro::ui
