#pragma once
// Helpers for the tests of the library's ready-made windows and pickers: finding this thread's
// window of a kind, clicking its buttons, and watching the shell's folder picker and the file
// dialogs from a second thread while the test thread runs them modally.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <string>
#include <thread>

#include "tests/support/ui_watcher.h"

namespace kro::test {

inline int px(int twips) { return static_cast<int>(std::lround(twips * 96 / 1440.0)); }

inline std::wstring textOf(HWND w) {
    wchar_t buf[2048] = {};
    ::GetWindowTextW(w, buf, 2048);
    return buf;
}

// Processes this thread's messages for a while; a posted click runs its handler (and any modal
// box it opens) inside this call.
inline void pumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    MSG msg;
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    } while (::GetTickCount() - start < ms);
}

inline void click(HWND button) {
    pressButton(button);
    pumpFor(60);
}

// This thread's window of a library window kind ("frmRegistry"), or null.
inline HWND windowOfThisThread(const std::wstring& kind) {
    for (HWND w : topLevelWindows(L"kroProgramDll." + kind))
        if (::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId()) return w;
    return nullptr;
}

inline std::wstring treeItemText(HWND tree, HTREEITEM item) {
    wchar_t buf[MAX_PATH] = {};
    TVITEMW it{};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = buf;
    it.cchTextMax = MAX_PATH;
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
}

struct SeenPicker {
    bool found = false;
    std::wstring title;     // the caller's title above the tree
    std::wstring selected;  // the tree's selected item as the picker opened
    std::wstring root;      // the tree's first item
    HWND owner = nullptr;
};

constexpr int kPickerTree = 0x3741;
constexpr int kPickerTitle = 0x3742;

// Waits for the folder picker, records it, selects the tree's root item when asked, and presses
// `button` (IDOK or IDCANCEL).
inline std::thread watchPicker(SeenPicker& seen, int button, bool selectRoot = false) {
    return std::thread([&seen, button, selectRoot] {
        HWND picker = waitForWindow(L"#32770", L"フォルダーの参照", 10000);
        if (!picker) return;
        ::Sleep(300);  // the tree fills and scrolls to the selection
        seen.found = true;
        seen.title = textOf(::GetDlgItem(picker, kPickerTitle));
        seen.owner = ::GetWindow(picker, GW_OWNER);
        HWND tree = ::GetDlgItem(picker, kPickerTree);
        auto caret = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        auto first = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        if (caret) seen.selected = treeItemText(tree, caret);
        if (first) seen.root = treeItemText(tree, first);
        if (selectRoot && first) ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
        ::PostMessageW(picker, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(picker, button)));
    });
}

struct SeenFileDialog {
    bool found = false;
    std::wstring caption;
    int filter = -1;  // 0-based position of the chosen filter
};

constexpr int kFileDialogFilter = 0x470;
constexpr int kFileDialogName = 0x47c;

// Waits for an open or save dialog, records it, and either types `answer` and presses OK or,
// for an empty answer, presses Cancel.
inline std::thread watchFileDialog(SeenFileDialog& seen, std::wstring answer) {
    return std::thread([&seen, answer] {
        HWND dialog = waitForWindow(L"#32770", L"", 10000);
        if (!dialog) return;
        ::Sleep(300);
        seen.found = true;
        seen.caption = textOf(dialog);
        seen.filter = static_cast<int>(::SendDlgItemMessageW(dialog, kFileDialogFilter, CB_GETCURSEL, 0, 0));
        int button = answer.empty() ? IDCANCEL : IDOK;
        if (!answer.empty()) ::SendDlgItemMessageW(dialog, kFileDialogName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    });
}

}  // namespace kro::test
