// The modal dialogs of the window layer: the input box and the open/save file dialog.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "dialogs/window.h"
#include "frame/errors.h"
#include "frame/module.h"

namespace kro::ui {
namespace {

// The input box's dialog resource and its controls (kroProgramDll.rc).
constexpr WORD kInputBoxDialog = 200;
constexpr WORD kPromptId = 100;
constexpr WORD kAnswerId = 101;

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
            state->answer = windowText(::GetDlgItem(dialog, kAnswerId));
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

}  // namespace

std::wstring inputBox(std::wstring_view prompt, std::wstring_view title, std::wstring_view defaultAnswer, HWND owner) {
    InputBoxState state{textWithoutNul(prompt), textWithoutNul(title), textWithoutNul(defaultAnswer)};
    if (!owner) owner = ::GetActiveWindow();
    INT_PTR result = ::DialogBoxParamW(module::handle(), MAKEINTRESOURCEW(kInputBoxDialog), owner, &inputBoxProc,
                                       reinterpret_cast<LPARAM>(&state));
    if (result == -1) raiseWin32();
    return result == IDOK ? state.answer : std::wstring();
}

bool FileDialog::showOpen(HWND owner) { return show(owner, false); }
bool FileDialog::showSave(HWND owner) { return show(owner, true); }

bool FileDialog::show(HWND owner, bool save) {
    // "desc|pattern|desc|pattern|" becomes the NUL-separated list the platform reads.
    std::wstring filters = textWithoutNul(filter);
    for (auto& c : filters)
        if (c == L'|') c = L'\0';
    filters.push_back(L'\0');
    filters.push_back(L'\0');
    std::vector<wchar_t> name(32768, L'\0');
    std::wstring initial = textWithoutNul(fileName);
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
