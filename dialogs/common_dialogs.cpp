// The modal dialogs of the window layer: the input box and the open/save file dialog.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "dialogs/window.h"
#include "frame/errors.h"
#include "frame/module.h"

namespace kro::ui {
namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kAnswerId = 101;

// Builds a dialog template in memory: header, then one item per control, each DWORD aligned.
class TemplateWriter {
public:
    void word(WORD w) { data_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const wchar_t* s) {
        for (; *s; ++s) word(static_cast<WORD>(*s));
        word(0);
    }
    void align() {
        if (data_.size() % 2) word(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* caption) {
        align();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        word(static_cast<WORD>(x));
        word(static_cast<WORD>(y));
        word(static_cast<WORD>(cx));
        word(static_cast<WORD>(cy));
        word(id);
        word(0xFFFF);
        word(atom);
        text(caption);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }
private:
    std::vector<WORD> data_;
};

struct InputBoxState {
    std::wstring prompt, title, answer;
};

INT_PTR CALLBACK inputBoxProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputBoxState*>(lp);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lp);
        ::SetWindowTextW(dialog, state->title.c_str());
        ::SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
        ::SetDlgItemTextW(dialog, kAnswerId, state->answer.c_str());
        ::SendDlgItemMessageW(dialog, kAnswerId, EM_SETSEL, 0, -1);
        ::SetFocus(::GetDlgItem(dialog, kAnswerId));
        return FALSE;  // focus set here
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            auto* state = reinterpret_cast<InputBoxState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
            HWND edit = ::GetDlgItem(dialog, kAnswerId);
            int n = ::GetWindowTextLengthW(edit);
            state->answer.assign(static_cast<size_t>(n) + 1, L'\0');
            int got = ::GetWindowTextW(edit, state->answer.data(), n + 1);
            state->answer.resize(static_cast<size_t>(got > 0 ? got : 0));
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

std::wstring withoutNul(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r)
        if (c == L'\0') c = L' ';
    return r;
}

}  // namespace

std::wstring inputBox(std::wstring_view prompt, std::wstring_view title, std::wstring_view defaultAnswer, HWND owner) {
    TemplateWriter t;
    FontChoice font = defaultFont();
    t.dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.dword(0);
    t.word(4);  // controls
    t.word(0);
    t.word(0);
    t.word(250);
    t.word(92);
    t.word(0);  // no menu
    t.word(0);  // standard class
    t.text(L"");
    t.word(static_cast<WORD>(font.size));
    t.text(font.name.c_str());
    t.item(SS_LEFT, 7, 7, 176, 56, kPromptId, 0x0082, L"");
    t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 192, 7, 51, 14, IDOK, 0x0080, L"OK");
    t.item(BS_PUSHBUTTON | WS_TABSTOP, 192, 25, 51, 14, IDCANCEL, 0x0080, L"キャンセル");
    t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 70, 236, 13, kAnswerId, 0x0081, L"");
    InputBoxState state{withoutNul(prompt), withoutNul(title), withoutNul(defaultAnswer)};
    if (!owner) owner = ::GetActiveWindow();
    INT_PTR result = ::DialogBoxIndirectParamW(module::handle(), t.get(), owner, &inputBoxProc,
                                               reinterpret_cast<LPARAM>(&state));
    if (result == -1) raiseWin32();
    return result == IDOK ? state.answer : std::wstring();
}

bool FileDialog::showOpen(HWND owner) { return show(owner, false); }
bool FileDialog::showSave(HWND owner) { return show(owner, true); }

bool FileDialog::show(HWND owner, bool save) {
    // "desc|pattern|desc|pattern|" becomes the NUL-separated list the platform reads.
    std::wstring filters = withoutNul(filter);
    for (auto& c : filters)
        if (c == L'|') c = L'\0';
    filters.push_back(L'\0');
    filters.push_back(L'\0');
    std::vector<wchar_t> name(32768, L'\0');
    std::wstring initial = withoutNul(fileName);
    if (initial.size() < name.size()) std::copy(initial.begin(), initial.end(), name.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner ? owner : ::GetActiveWindow();
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex > 0 ? filterIndex : 1);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = flags | OFN_EXPLORER;
    BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!chosen) return false;
    fileName = name.data();
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

}  // namespace kro::ui
