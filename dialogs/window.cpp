#include "dialogs/window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "frame/automation.h"
#include "frame/errors.h"
#include "frame/module.h"
#include "frame/toolkit.h"

namespace kro::ui {
namespace {

constexpr const wchar_t* kClassPrefix = L"kroProgramDll.";

// When a thread's last library object has gone, its hidden windows go too: nobody sees them,
// and they hold the module loaded (and any client picture) past the client's use of it. Shown
// windows stay for the person looking at them.
BOOL CALLBACK unloadIfHiddenLibraryWindow(HWND hwnd, LPARAM) {
    if (toolkit::isLibraryWindow(hwnd) && !::IsWindowVisible(hwnd))
        if (auto* window = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) window->unload();
    return TRUE;
}
void unloadHiddenWindowsOfThread() { ::EnumThreadWindows(::GetCurrentThreadId(), &unloadIfHiddenLibraryWindow, 0); }

// The window classes this module registered: they go when it unloads, or a class would be left
// whose window procedure points into code no longer there.
class RegisteredClasses {
public:
    void add(const wchar_t* kindName) {
        ::AcquireSRWLockExclusive(&lock_);
        bool known = false;
        for (int i = 0; i < count_; ++i) known = known || kinds_[i] == kindName;
        if (!known && count_ < kMax) kinds_[count_++] = kindName;
        if (count_ == 1 && !known) {
            module::atUnload(&RegisteredClasses::unregisterAll);
            module::atLastObjectOfThread(&unloadHiddenWindowsOfThread);
        }
        ::ReleaseSRWLockExclusive(&lock_);
    }
    static void unregisterAll() {
        RegisteredClasses& self = instance();
        for (int i = 0; i < self.count_; ++i)
            ::UnregisterClassW((std::wstring(kClassPrefix) + self.kinds_[i]).c_str(), module::handle());
        self.count_ = 0;
    }
    static RegisteredClasses& instance() {
        static RegisteredClasses classes;
        return classes;
    }
private:
    static constexpr int kMax = 16;
    const wchar_t* kinds_[kMax] = {};  // the designs' own names: static texts
    int count_ = 0;
    SRWLOCK lock_ = SRWLOCK_INIT;
};

int screenDpi(int axis) {
    static int cached[2] = {0, 0};
    if (!cached[axis]) {
        HDC dc = ::GetDC(nullptr);
        int v = dc ? ::GetDeviceCaps(dc, axis == 0 ? LOGPIXELSX : LOGPIXELSY) : 96;
        if (dc) ::ReleaseDC(nullptr, dc);
        cached[axis] = v > 0 ? v : 96;
    }
    return cached[axis];
}

[[noreturn]] void invalidValue() { raise(err::InvalidPropertyValue); }
[[noreturn]] void badIndex() { raise(err::InvalidPropertyArrayIndex); }

void initCommonControls() {
    static bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        return true;
    }();
    (void)done;
}

struct ClassOfKind {
    const wchar_t* win32Class;
    DWORD style;
    DWORD exStyle;
};

ClassOfKind classOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOTIFY, 0};
    case ControlKind::Edit: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::ListBox:
        return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox: return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::Image: return {L"STATIC", SS_ICON, 0};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Progress: return {PROGRESS_CLASSW, 0, 0};
    case ControlKind::Animation: return {ANIMATE_CLASSW, ACS_TRANSPARENT, 0};
    }
    return {L"STATIC", 0, 0};
}

// Posted to a window whose list boxes hold their redraw (see Control::holdRedrawUntilIdle).
constexpr UINT kResumeRedraw = WM_APP + 0x4B1;

bool isList(ControlKind k) { return k == ControlKind::ListBox || k == ControlKind::ComboBox; }

// Extra pixels a combo box needs below its edit part for the drop-down list.
constexpr int kComboDropHeight = 160;

}  // namespace

std::wstring windowText(HWND w) {
    int n = ::GetWindowTextLengthW(w);
    std::wstring s(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    int got = ::GetWindowTextW(w, s.data(), n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

std::wstring textWithoutNul(std::wstring_view text) {
    // Controls keep C strings: a NUL would silently cut the text, so it shows as a space instead.
    std::wstring s(text);
    for (auto& c : s)
        if (c == L'\0') c = L' ';
    return s;
}

FontChoice defaultFont() { return FontChoice{L"MS UI Gothic", 9, false, false, false}; }

int twipsToPixelsX(double twips) { return static_cast<int>(std::lround(twips * screenDpi(0) / 1440.0)); }
int twipsToPixelsY(double twips) { return static_cast<int>(std::lround(twips * screenDpi(1) / 1440.0)); }
double pixelsToTwipsX(int pixels) { return pixels * 1440.0 / screenDpi(0); }
double pixelsToTwipsY(int pixels) { return pixels * 1440.0 / screenDpi(1); }

// ---- Control ------------------------------------------------------------------------------------

Control::Control(Window& owner, const ControlDesign& design, HWND hwnd, int index)
    : owner_(owner), kind_(design.kind), index_(index), hwnd_(hwnd), design_(design) {
    applyFont(defaultFont());
    if (kind_ == ControlKind::Progress) {
        ::SendMessageW(hwnd_, PBM_SETRANGE32, 0, 100);
        ::SendMessageW(hwnd_, PBM_SETPOS, 0, 0);
    }
}

Control::~Control() = default;

std::wstring Control::text() const { return windowText(hwnd_); }

void Control::setText(std::wstring_view text) {
    std::wstring s = textWithoutNul(text);
    ::SetWindowTextW(hwnd_, s.c_str());
}

void Control::setVisible(bool visible) { ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }

void Control::holdRedrawUntilIdle() {
    if (kind_ != ControlKind::ListBox || redrawHeld_ || !::IsWindowVisible(hwnd_)) return;
    // Without the resume message in the queue the list would stay undrawn: then it is not held.
    if (!::PostMessageW(owner_.hwnd(), kResumeRedraw, 0, 0)) return;
    ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    redrawHeld_ = true;
}

void Control::resumeRedraw() {
    if (!redrawHeld_) return;
    redrawHeld_ = false;
    ::SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::refresh() {
    resumeRedraw();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    ::UpdateWindow(hwnd_);
}

void Control::setFocus() { ::SetFocus(hwnd_); }

bool Control::move(double left, double top, double width, double height) {
    if (!(width >= 0) || !(height >= 0)) return false;
    if (design_.frame) {
        if (Control* frame = owner_.findControl(design_.frame)) {
            RECT r{};
            ::GetWindowRect(frame->hwnd(), &r);
            ::MapWindowPoints(nullptr, owner_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
            left += pixelsToTwipsX(r.left);
            top += pixelsToTwipsY(r.top);
        }
    }
    int h = twipsToPixelsY(height) + (kind_ == ControlKind::ComboBox ? kComboDropHeight : 0);
    return ::MoveWindow(hwnd_, twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), h, TRUE) != FALSE;
}

void Control::applyFont(const FontChoice& font) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.size * screenDpi(1) / 72.0));
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy_s(lf.lfFaceName, font.name.c_str(), _TRUNCATE);
    HFONT created = ::CreateFontIndirectW(&lf);
    if (!created) invalidValue();
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
    hfont_.reset(created);
    font_ = font;
}

void Control::setFont(const FontChoice& font) {
    if (!(font.size > 0) || font.size > 2160) invalidValue();
    applyFont(font);
}

void Control::setFontSize(float points) {
    FontChoice f = font_;
    f.size = points;
    setFont(f);
}

void Control::setFontName(std::wstring_view name) {
    FontChoice f = font_;
    f.name = textWithoutNul(name);
    if (f.name.size() >= LF_FACESIZE) invalidValue();
    applyFont(f);
}

void Control::setBold(bool on) {
    FontChoice f = font_;
    f.bold = on;
    applyFont(f);
}

void Control::setItalic(bool on) {
    FontChoice f = font_;
    f.italic = on;
    applyFont(f);
}

void Control::setUnderline(bool on) {
    FontChoice f = font_;
    f.underline = on;
    applyFont(f);
}

void Control::setColor(OLE_COLOR color) {
    COLORREF rgb = 0;
    if (FAILED(::OleTranslateColor(color, nullptr, &rgb))) invalidValue();
    color_ = rgb;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

int Control::count() const {
    LRESULT n = ::SendMessageW(hwnd_, kind_ == ControlKind::ComboBox ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

int Control::findItem(std::wstring_view text) const {
    if (!isList(kind_)) raise(err::ObjectDoesNotSupport);
    std::wstring s = textWithoutNul(text);
    bool combo = kind_ == ControlKind::ComboBox;
    LRESULT at = ::SendMessageW(hwnd_, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(s.c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

void Control::checkPosition(int position) const {
    if (!isList(kind_)) raise(err::ObjectDoesNotSupport);
    if (position < 0 || position >= count()) badIndex();
}

void Control::addItem(std::wstring_view text, LONG_PTR data) {
    if (!isList(kind_)) raise(err::ObjectDoesNotSupport);
    std::wstring s = textWithoutNul(text);
    bool combo = kind_ == ControlKind::ComboBox;
    holdRedrawUntilIdle();
    LRESULT at = ::SendMessageW(hwnd_, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (at < 0) raise(err::OutOfMemory);
    ::SendMessageW(hwnd_, combo ? CB_SETITEMDATA : LB_SETITEMDATA, static_cast<WPARAM>(at), data);
}

void Control::clear() {
    if (!isList(kind_)) raise(err::ObjectDoesNotSupport);
    holdRedrawUntilIdle();
    ::SendMessageW(hwnd_, kind_ == ControlKind::ComboBox ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

void Control::removeItem(int position) {
    checkPosition(position);
    holdRedrawUntilIdle();
    ::SendMessageW(hwnd_, kind_ == ControlKind::ComboBox ? CB_DELETESTRING : LB_DELETESTRING,
                   static_cast<WPARAM>(position), 0);
}

std::wstring Control::item(int position) const {
    checkPosition(position);
    bool combo = kind_ == ControlKind::ComboBox;
    LRESULT n = ::SendMessageW(hwnd_, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(position), 0);
    if (n < 0) badIndex();
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    LRESULT got = ::SendMessageW(hwnd_, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(position),
                                 reinterpret_cast<LPARAM>(s.data()));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

void Control::setItem(int position, std::wstring_view text) {
    checkPosition(position);
    bool combo = kind_ == ControlKind::ComboBox;
    LONG_PTR data = itemData(position);
    int selected = selection();
    std::wstring s = textWithoutNul(text);
    holdRedrawUntilIdle();
    ::SendMessageW(hwnd_, combo ? CB_DELETESTRING : LB_DELETESTRING, static_cast<WPARAM>(position), 0);
    LRESULT at = ::SendMessageW(hwnd_, combo ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(position),
                                reinterpret_cast<LPARAM>(s.c_str()));
    if (at < 0) raise(err::OutOfMemory);
    ::SendMessageW(hwnd_, combo ? CB_SETITEMDATA : LB_SETITEMDATA, static_cast<WPARAM>(at), data);
    if (selected == position)
        ::SendMessageW(hwnd_, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

LONG_PTR Control::itemData(int position) const {
    checkPosition(position);
    return static_cast<LONG_PTR>(::SendMessageW(
        hwnd_, kind_ == ControlKind::ComboBox ? CB_GETITEMDATA : LB_GETITEMDATA, static_cast<WPARAM>(position), 0));
}

int Control::selection() const {
    if (!isList(kind_)) raise(err::ObjectDoesNotSupport);
    LRESULT at = ::SendMessageW(hwnd_, kind_ == ControlKind::ComboBox ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return at < 0 ? -1 : static_cast<int>(at);
}

void Control::setSelection(int position) {
    if (!isList(kind_)) raise(err::ObjectDoesNotSupport);
    if (position < -1 || position >= count()) invalidValue();
    bool combo = kind_ == ControlKind::ComboBox;
    ::SendMessageW(hwnd_, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(position), 0);
    // A selection set by code raises the same event as one made by the user.
    owner_.onCommand(*this, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

void Control::setPicture(IPictureDisp* picture) {
    if (kind_ != ControlKind::Image) raise(err::ObjectDoesNotSupport);
    HANDLE image = nullptr;
    bool bitmap = false;
    if (picture) {
        ComPtr<IPicture> pic;
        if (FAILED(picture->QueryInterface(IID_IPicture, pic.putVoid())) || !pic) raise(err::TypeMismatch);
        SHORT type = PICTYPE_NONE;
        OLE_HANDLE handle = 0;
        pic->get_Type(&type);
        pic->get_Handle(&handle);
        if (type == PICTYPE_ICON) {
            bitmap = false;
        } else if (type == PICTYPE_BITMAP) {
            bitmap = true;
        } else if (type != PICTYPE_NONE && type != PICTYPE_UNINITIALIZED) {
            raise(err::InvalidPropertyValue, L"Only icon and bitmap pictures can be shown");
        }
        image = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
    }
    setImage(image, bitmap);
}

void Control::setImage(HANDLE image, bool bitmap) {
    if (kind_ != ControlKind::Image) raise(err::ObjectDoesNotSupport);
    HANDLE copy = image ? ::CopyImage(image, bitmap ? IMAGE_BITMAP : IMAGE_ICON, 0, 0, 0) : nullptr;
    if (image && !copy) raiseWin32();
    LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | (bitmap ? SS_BITMAP : SS_ICON);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    ::SendMessageW(hwnd_, STM_SETIMAGE, bitmap ? IMAGE_BITMAP : IMAGE_ICON, reinterpret_cast<LPARAM>(copy));
    bitmap_.reset(bitmap ? copy : nullptr);
    icon_.reset(bitmap ? nullptr : static_cast<HICON>(copy));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::setMaximum(float max) {
    if (kind_ != ControlKind::Progress) raise(err::ObjectDoesNotSupport);
    if (!(max > 0) || !std::isfinite(max)) invalidValue();
    max_ = max;
    if (value_ > max_) value_ = max_;
    ::SendMessageW(hwnd_, PBM_SETRANGE32, 0, static_cast<LPARAM>(std::ceil(max_)));
    ::SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(std::lround(value_)), 0);
}

void Control::checkValue(float value) const {
    if (kind_ != ControlKind::Progress) raise(err::ObjectDoesNotSupport);
    if (!(value >= 0) || !(value <= max_)) invalidValue();
}

void Control::setValue(float value) {
    checkValue(value);
    value_ = value;
    ::SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(std::lround(value_)), 0);
}

void Control::openClip(const std::wstring& path) {
    if (kind_ != ControlKind::Animation) raise(err::ObjectDoesNotSupport);
    if (path.empty() || path.find(L'\0') != std::wstring::npos) raise(err::BadFileNameOrNumber);
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) raiseWin32();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) raise(err::PathFileAccessError);
    if (!::SendMessageW(hwnd_, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str())))
        raise(err::InvalidFileFormat, L"The clip is not an uncompressed AVI file the animation control can play");
    ::SendMessageW(hwnd_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
}

// ---- Window -------------------------------------------------------------------------------------

Window::Window(const WindowDesign& design) : design_(design) {}

Window::~Window() {
    // The instance goes with its thread; a window still open is left to the system, which
    // destroys it with the thread, and no longer reaches this object.
    if (hwnd_) ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

bool Window::visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void Window::load() {
    if (hwnd_) return;
    initCommonControls();
    std::wstring className = std::wstring(kClassPrefix) + design_.kindName;
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(module::handle(), className.c_str(), &existing) && existing.lpfnWndProc != &windowProc)
        ::UnregisterClassW(className.c_str(), module::handle());  // left by an earlier load of the module
    if (!::GetClassInfoExW(module::handle(), className.c_str(), &existing)) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = &windowProc;
        wc.hInstance = module::handle();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = toolkit::loadIcon(toolkit::kIconLibrary);
        wc.lpszClassName = className.c_str();
        if (!::RegisterClassExW(&wc)) raiseWin32();
        RegisteredClasses::instance().add(design_.kindName);
    }
    RECT r{0, 0, twipsToPixelsX(design_.clientWidth), twipsToPixelsY(design_.clientHeight)};
    ::AdjustWindowRectEx(&r, design_.style, FALSE, design_.exStyle);
    const std::wstring title = design_.titleId ? toolkit::loadString(design_.titleId) : std::wstring();
    HWND created = ::CreateWindowExW(design_.exStyle, className.c_str(), title.c_str(), design_.style & ~WS_VISIBLE,
                                     CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr,
                                     nullptr, module::handle(), this);
    if (!created) raiseWin32();
    try {
        // Elements added later are numbered after the table's own ids.
        for (const ControlDesign& c : design_.controls) nextId_ = std::max(nextId_, c.id + 1);
        for (const ControlDesign& c : design_.controls) createControl(c, 0, nullptr);
        onLoad();
    } catch (...) {
        unload();
        throw;
    }
}

Control& Window::createControl(const ControlDesign& design, int index, const Control* copyOf) {
    ClassOfKind k = classOf(design.kind);
    DWORD style = WS_CHILD | k.style;
    DWORD exStyle = k.exStyle;
    if (copyOf) style = static_cast<DWORD>(::GetWindowLongPtrW(copyOf->hwnd(), GWL_STYLE)) & ~WS_VISIBLE;
    else style |= WS_VISIBLE;
    if (design.flat) {  // set again for copies: an edit control keeps its border out of its style bits
        exStyle &= ~WS_EX_CLIENTEDGE;
        style |= WS_BORDER;
    }
    const std::wstring text = design.textId ? toolkit::loadString(design.textId) : std::wstring();
    const int id = copyOf ? nextId_++ : design.id;
    HWND hwnd = ::CreateWindowExW(exStyle, k.win32Class, text.c_str(), style, 0, 0, 0, 0, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module::handle(), nullptr);
    if (!hwnd) raiseWin32();
    auto control = std::make_unique<Control>(*this, design, hwnd, index);
    Control& c = *control;
    controls_.push_back(std::move(control));
    if (copyOf) {
        c.applyFont(copyOf->font());
        c.color_ = copyOf->color_;
        RECT r{};
        ::GetWindowRect(copyOf->hwnd(), &r);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        ::MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    } else {
        c.move(design.left, design.top, design.width, design.height);
    }
    return c;
}

Control* Window::findControl(int part, int index) {
    for (auto& c : controls_)
        if (c->part() == part && c->index() == index) return c.get();
    return nullptr;
}

Control& Window::control(int part, int index) {
    load();
    if (Control* c = findControl(part, index)) return *c;
    raise(err::ControlElementMissing, L"Control array element '" + std::to_wstring(index) + L"' doesn't exist");
}

Control& Window::addElement(int part, int index) {
    load();
    Control& first = control(part, 0);
    if (findControl(part, index)) raise(err::InvalidCall, L"Control array element already exists");
    return createControl(first.design_, index, &first);
}

void Window::place(HWND owner) {
    RECT self{};
    ::GetWindowRect(hwnd_, &self);
    int w = self.right - self.left, h = self.bottom - self.top;
    RECT around{};
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
    else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    int x = around.left + ((around.right - around.left) - w) / 2;
    int y = around.top + ((around.bottom - around.top) - h) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::show(HWND owner, bool activate) {
    load();
    if (owner == hwnd_) owner = nullptr;
    // Shown already for this owner: nothing to move (each move is a round trip to the display).
    if (::IsWindowVisible(hwnd_) && ::GetWindow(hwnd_, GW_OWNER) == owner) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    if (design_.centreOnOwner) place(owner);
    ::ShowWindow(hwnd_, activate ? SW_SHOW : SW_SHOWNA);
    if (hwnd_) onResize();
}

void Window::hide() {
    load();
    ::ShowWindow(hwnd_, SW_HIDE);
}

void Window::unload() { closeFor(CloseReason::Code); }

void Window::closeFor(CloseReason reason) {
    if (!hwnd_ || unloading_) return;
    unloading_ = true;
    onUnload(reason);
    HWND h = hwnd_;
    ::DestroyWindow(h);
    forget();
    unloading_ = false;
}

void Window::forget() {
    hwnd_ = nullptr;
    controls_.clear();
    nextId_ = 0;
}

void Window::paintNow() {
    if (hwnd_) ::UpdateWindow(hwnd_);
}

void Window::setTitle(std::wstring_view title) {
    load();
    std::wstring s = textWithoutNul(title);
    ::SetWindowTextW(hwnd_, s.c_str());
}

std::wstring Window::title() const { return hwnd_ ? windowText(hwnd_) : std::wstring(); }

double Window::clientWidth() const {
    RECT r{};
    if (hwnd_) ::GetClientRect(hwnd_, &r);
    return pixelsToTwipsX(r.right);
}

double Window::clientHeight() const {
    RECT r{};
    if (hwnd_) ::GetClientRect(hwnd_, &r);
    return pixelsToTwipsY(r.bottom);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        module::lock(true);  // the module stays loaded while one of its windows exists
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self && self->hwnd_ == hwnd) self->forget();
        module::lock(false);
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (!self || self->hwnd_ != hwnd) return ::DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        // An event handler's failure has no caller to reach; the window goes on.
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT Window::handle(UINT msg, WPARAM wp, LPARAM lp) {
    auto controlOf = [this](HWND child) -> Control* {
        for (auto& c : controls_)
            if (c->hwnd() == child) return c.get();
        return nullptr;
    };
    switch (msg) {
    case WM_COMMAND:
        if (Control* c = controlOf(reinterpret_cast<HWND>(lp))) {
            int code = HIWORD(wp);
            if (c->kind() == ControlKind::ListBox && code == LBN_DBLCLK) onListDoubleClick(*c);
            else onCommand(*c, code);
            return 0;
        }
        break;
    case WM_VKEYTOITEM:
        if (Control* c = controlOf(reinterpret_cast<HWND>(lp))) onListKey(*c, LOWORD(wp));
        return -1;  // the list box then does its own handling of the key
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wp);
        Control* c = controlOf(reinterpret_cast<HWND>(lp));
        bool onFace = msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN;
        int face = onFace ? COLOR_BTNFACE : COLOR_WINDOW;
        ::SetTextColor(dc, c ? c->textColor() : ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(face));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(face));
    }
    case kResumeRedraw:
        for (auto& c : controls_) c->resumeRedraw();
        return 0;
    case WM_SIZE:
        onResize();
        return 0;
    case WM_CLOSE:
        if (onCloseRequest(CloseReason::User)) closeFor(CloseReason::User);
        return 0;
    case WM_QUERYENDSESSION:
        return onCloseRequest(CloseReason::Shutdown) ? TRUE : FALSE;
    case WM_ENDSESSION:
        if (wp) closeFor(CloseReason::Shutdown);
        return 0;
    case WM_DESTROY:
        // Destroyed without an unload of ours: its owner is closing.
        if (!unloading_) {
            unloading_ = true;
            onUnload(CloseReason::Owner);
            unloading_ = false;
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

// ---- owners and pictures ------------------------------------------------------------------------

HRESULT ownerArgument(const VARIANT& argument, VARIANT& out) {
    if (argument.vt == VT_EMPTY) {
        out.vt = VT_DISPATCH;
        out.pdispVal = nullptr;
        return S_OK;
    }
    if (argument.vt == VT_DISPATCH || argument.vt == VT_UNKNOWN || argument.vt == VT_NULL || (argument.vt & VT_ARRAY))
        return S_FALSE;
    Variant handle;
    HRESULT hr = ::VariantChangeType(&handle, const_cast<VARIANT*>(&argument), 0, VT_I4);
    if (FAILED(hr)) return hr;
    out.vt = VT_DISPATCH;
    out.pdispVal = makeWindowHandleObject(handle.lVal).release();
    return S_OK;
}

HWND ownerWindow(IDispatch* owner) {
    if (!owner) return nullptr;
    Variant value;
    try {
        getProperty(owner, L"hWnd", &value);
    } catch (const AutomationError&) {
        raise(err::TypeMismatch, L"The owner must be a window: an object with an hWnd property, or a window handle");
    }
    Variant handle;
    if (FAILED(::VariantChangeType(&handle, &value, 0, VT_I4)))
        raise(err::TypeMismatch, L"The owner's hWnd property is not a window handle");
    // Window handles are 32-bit values, widened by sign extension as the platform does.
    HWND hwnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle.lVal));
    if (!hwnd) return nullptr;
    if (!::IsWindow(hwnd)) raise(err::TypeMismatch, L"The owner's hWnd property names no window");
    return hwnd;
}

ComPtr<IPictureDisp> libraryIcon(UINT id) {
    HICON icon = static_cast<HICON>(
        ::LoadImageW(module::handle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (!icon) raise(err::ResourceNotFound, L"Icon resource " + std::to_wstring(id) + L" of the library not found");
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(desc);
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = icon;
    ComPtr<IPictureDisp> picture;
    HRESULT hr = ::OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, picture.putVoid());
    if (FAILED(hr)) {
        ::DestroyIcon(icon);
        raiseHresult(hr);
    }
    return picture;
}

}  // namespace kro::ui
