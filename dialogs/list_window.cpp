#include "dialogs/list_window.h"

#include <memory>

#include "frame/per_thread.h"
#include "frame/errors.h"

namespace kro::ui {
namespace {

// String table entries of the window.
enum Text : UINT { kTitle = 7100, kColumnTitleDesign };

// The controls of column 0; every other column is a copy of them (elements 1 to n-1).
constexpr ControlDesign kControls[] = {
    {ListWindow::ColumnTitle, ControlKind::Label, 0, 30, 1500, 240, kColumnTitleDesign},
    // The edit row is 200 twips high: flat, so that a 9-point line fits inside it.
    {ListWindow::ColumnEdit, ControlKind::Edit, 0, 270, 1815, 555, 0, 0, true},
    {ListWindow::ColumnList, ControlKind::ListBox, 0, 840, 2310, 1140},
};

constexpr WindowDesign kDesign{
    L"frmList", kTitle, WS_OVERLAPPEDWINDOW, WS_EX_WINDOWEDGE, 9345, 7770, false, kControls,
};

// Fixed rows of every column, in twips.
constexpr float kLabelHeight = 250;
constexpr float kEditTop = 250;
constexpr float kEditHeight = 200;
constexpr float kListTop = 550;

// Three windows a column: more columns than this would exhaust the 10,000 windows a process may
// own long before they were all made, so such a load is refused at once.
constexpr int kMaxColumns = 3000;

// One single-precision step. On x87 (x86 builds) intermediates would otherwise keep extended
// precision; the store rounds to float as the layout arithmetic requires.
float single(float value) {
    volatile float rounded = value;
    return rounded;
}

}  // namespace

ListWindow::ListWindow() : Window(kDesign) {}

ListWindow& ListWindow::instance() { return perThread<ListWindow>(); }

void ListWindow::setting(short columns, std::wstring_view caption) {
    columns_ = columns;
    caption_.assign(caption);
}

void ListWindow::onLoad() {
    if (columns_ > kMaxColumns)
        raise(err::OutOfMemory, L"The list editor cannot make " + std::to_wstring(columns_) + L" columns (at most " +
                                    std::to_wstring(kMaxColumns) + L")");
    for (int i = 1; i < columns_; ++i) {
        Control& title = addElement(ColumnTitle, i);
        Control& text = addElement(ColumnEdit, i);
        Control& items = addElement(ColumnList, i);
        title.setVisible(true);
        text.setVisible(true);
        items.setVisible(true);
    }
    setTitle(caption_);
}

void ListWindow::layout() {
    const short n = columns_;
    if (n < 1 || !loaded()) return;
    const float width = single(static_cast<float>(clientWidth()));
    const float height = single(static_cast<float>(clientHeight()));
    const float columnWidth = single(width / n);
    const float listHeight = single(height - kListTop);
    for (int i = 0; i < n; ++i) {
        const float left = single(single(static_cast<float>(i) * width) / n);
        // A column missing, or a size the platform refuses, skips that move only.
        if (Control* c = findControl(ColumnTitle, i)) c->move(left, 0, columnWidth, kLabelHeight);
        if (Control* c = findControl(ColumnEdit, i)) c->move(left, kEditTop, columnWidth, kEditHeight);
        if (Control* c = findControl(ColumnList, i)) c->move(left, kListTop, columnWidth, listHeight);
    }
}

bool ListWindow::onCloseRequest(CloseReason reason) {
    if (reason != CloseReason::User) return true;
    // The close box only hides: the columns and their items wait for the next show.
    hide();
    return false;
}

void ListWindow::onCommand(Control& control, int notification) {
    if (control.kind() != ControlKind::ListBox || notification != LBN_SELCHANGE) return;
    int at = control.selection();
    edit(control.index()).setText(at < 0 ? std::wstring() : control.item(at));
}

void ListWindow::onListDoubleClick(Control& list) {
    const int column = list.index();
    const HWND listHwnd = list.hwnd();
    const int at = list.selection();
    std::wstring answer =
        inputBox(L"編集してください。", L"編集", at < 0 ? std::wstring() : list.item(at), hwnd());
    if (answer.empty() || at < 0) return;  // cancelled, or no item to replace
    // The input box ran a message loop: the client may have changed or unloaded the window
    // meanwhile, so the list is looked up again and the position checked before writing.
    Control* now = findControl(ColumnList, column);
    if (!now || now->hwnd() != listHwnd || at >= now->count()) return;
    now->setItem(at, answer);
    if (Control* text = findControl(ColumnEdit, column)) text->setText(now->item(at));
}

void ListWindow::onListKey(Control& list, UINT virtualKey) {
    if (virtualKey != VK_DELETE) return;
    int at = list.selection();
    if (at >= 0) list.removeItem(at);
}

void ListWindow::applyFont(Control& control, float size, std::wstring_view name, OLE_COLOR color, bool bold,
                           bool italic, bool underline) {
    control.setFontSize(size);
    control.setFontName(name);
    control.setBold(bold);
    control.setItalic(italic);
    control.setUnderline(underline);
    control.setColor(color);
}

}  // namespace kro::ui
