#pragma once
// The list editor: a sizable window of side-by-side columns, each a title label, a one-line edit
// box and a list. The client fills, reads and restyles the lists; the user picks an item (copied
// into the column's edit box), edits one by double-clicking it and deletes one with Delete.
// One instance per client thread; its column count and caption outlive unloads.
#include "dialogs/window.h"

namespace kro::ui {

class ListWindow final : public Window {
public:
    // This thread's instance, created on first use (the window itself loads on first need).
    static ListWindow& instance();

    // Stores the column count and caption; they take effect when the window is next loaded.
    void setting(short columns, std::wstring_view caption);
    short columnCount() const { return columns_; }

    // The controls of column `column`; a column that does not exist fails with 340.
    enum Part : int { ColumnTitle = 100, ColumnEdit, ColumnList };
    Control& label(int column) { return control(ColumnTitle, column); }
    Control& edit(int column) { return control(ColumnEdit, column); }
    Control& list(int column) { return control(ColumnList, column); }

    // Font attributes in the order a client's font call applies them: size, name, bold, italic,
    // underline, then the text colour. The first refused value stops the call with its error.
    static void applyFont(Control& control, float size, std::wstring_view name, OLE_COLOR color, bool bold,
                          bool italic, bool underline);

    // Places the columns side by side over the whole client area.
    void layout();

protected:
    void onLoad() override;
    bool onCloseRequest(CloseReason reason) override;
    void onResize() override { layout(); }
    void onCommand(Control& control, int notification) override;
    void onListDoubleClick(Control& list) override;
    void onListKey(Control& list, UINT virtualKey) override;

public:
    ListWindow();

private:

    short columns_ = 0;
    std::wstring caption_;
};

}  // namespace kro::ui
