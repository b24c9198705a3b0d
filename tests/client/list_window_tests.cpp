// The list editor as a client and a person use it: FormCls members through the vtable, the
// window looked at through the UI watcher, and the user's clicks, keys and input-box answers sent
// to the window itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <optional>
#include <thread>

#include "frame/automation.h"
#include "tests/client/filesystem_client.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using namespace kro::test;

namespace {

int px(double twips) { return static_cast<int>(std::lround(twips * 96 / 1440.0)); }

HWND editorWindow();

// Each scenario starts from an editor that is not loaded and has column count 0 and no caption,
// as a thread that never used it: the editor belongs to the client thread, shared by the tests.
void onFreshEditor(const std::function<void()>& scenario) {
    if (HWND w = editorWindow()) ::DestroyWindow(w);
    short none = 0;
    Bstr empty(L"");
    BSTR b = empty.get();
    client::Object<_FormCls> form(L"kroProgramDll.FormCls");
    ASSERT_EQ(form->List_Setting_Form(&none, &b), S_OK);
    ASSERT_EQ(editorWindow(), nullptr);
    scenario();
}

void pump(DWORD ms = 60) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < ms);
}

// The list members of one FormCls object, through its vtable.
struct Editor {
    client::Object<_FormCls> form{L"kroProgramDll.FormCls"};

    HRESULT setting(short columns, const wchar_t* caption) {
        Bstr c(caption);
        BSTR b = c.get();
        return form->List_Setting_Form(&columns, &b);
    }
    HRESULT settingToShow(short columns, const wchar_t* caption, IDispatch* owner) {
        Bstr c(caption);
        BSTR b = c.get();
        return form->List_SettingToShow(&columns, &b, &owner);
    }
    HRESULT add(short column, const std::wstring& item) {
        Bstr t(item);
        BSTR b = t.get();
        return form->List_AddItem(&b, &column);
    }
    std::wstring item(short column, short position, HRESULT* hr = nullptr) {
        Variant v;
        HRESULT h = form->get_List_List(&column, &position, &v);
        if (hr) *hr = h;
        return v.vt == VT_BSTR ? std::wstring(v.bstrVal, ::SysStringLen(v.bstrVal)) : L"<none>";
    }
    HRESULT setItem(short column, short position, VARIANT value) {
        HRESULT hr = form->put_List_List(&column, &position, &value);
        ::VariantClear(&value);
        return hr;
    }
    int count(short column) {
        Variant v;
        EXPECT_EQ(form->get_List_ListCount(&column, &v), S_OK);
        EXPECT_EQ(v.vt, VT_I2);
        return v.iVal;
    }
    int selected(short column) {
        Variant v;
        EXPECT_EQ(form->get_List_ListIndex(&column, &v), S_OK);
        EXPECT_EQ(v.vt, VT_I2);
        return v.iVal;
    }
    HRESULT select(short column, VARIANT value) {
        HRESULT hr = form->put_List_ListIndex(&column, &value);
        ::VariantClear(&value);
        return hr;
    }
    std::wstring editText(short column) {
        Bstr t;
        EXPECT_EQ(form->get_List_CurrentSelectListText(&column, t.put()), S_OK);
        return std::wstring(t.get() ? t.get() : L"");
    }
    HRESULT setTitle(short column, VARIANT value) {
        HRESULT hr = form->put_List_Title(&column, &value);
        ::VariantClear(&value);
        return hr;
    }
    HRESULT listFont(short column, short size, const wchar_t* name, LONG color, bool bold, bool italic, bool underline) {
        Bstr n(name);
        BSTR b = n.get();
        VARIANT_BOOL vb = bold ? VARIANT_TRUE : VARIANT_FALSE, vi = italic ? VARIANT_TRUE : VARIANT_FALSE,
                     vu = underline ? VARIANT_TRUE : VARIANT_FALSE;
        return form->List_ListFont(&column, &size, &b, &color, &vb, &vi, &vu);
    }
};

HWND editorWindow() {
    for (HWND w : topLevelWindows(L"kroProgramDll.frmList"))
        if (::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId()) return w;
    return nullptr;
}

// The controls of column `i`: label, edit box, list (created in that order, column by column).
struct Column {
    SeenControl label, edit, list;
};
std::vector<Column> columnsOf(HWND window) {
    std::vector<Column> columns;
    SeenWindow w = inspect(window);
    for (size_t i = 0; i + 2 < w.controls.size(); i += 3) columns.push_back({w.controls[i], w.controls[i + 1], w.controls[i + 2]});
    return columns;
}

void setClientSize(HWND w, int cx, int cy) {
    RECT r{0, 0, cx, cy};
    ::AdjustWindowRectEx(&r, ::GetWindowLongW(w, GWL_STYLE), FALSE, ::GetWindowLongW(w, GWL_EXSTYLE));
    ::SetWindowPos(w, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

// Posts a person's click (or double-click) on an item of a list box.
void clickItem(HWND list, int position, bool twice = false) {
    RECT r{};
    ::SendMessageW(list, LB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        ::PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::PostMessageW(list, WM_LBUTTONUP, 0, at);
    }
}

void pressKey(BYTE key) {
    ::keybd_event(key, 0, 0, 0);
    ::keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    pump();
}

struct InputBoxSeen {
    std::wstring prompt, defaultAnswer;
};

// Runs `trigger` and answers the input box it opens the way a person would: types `answer` and
// presses OK, or presses Cancel when there is no answer. `look` sees the box before the answer.
InputBoxSeen answerInputBox(const std::function<void()>& trigger, std::optional<std::wstring> answer,
                            const std::function<void(HWND)>& look = {}) {
    InputBoxSeen seen;
    std::atomic<bool> done{false};
    std::thread person([&] {
        HWND box = waitForWindow(L"#32770", L"編集", 5000);
        if (box) {
            if (look) look(box);
            for (const SeenControl& c : inspect(box).controls) {
                if (_wcsicmp(c.className.c_str(), L"Edit") == 0) {
                    seen.defaultAnswer = c.text;
                    if (answer) ::SendMessageW(c.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer->c_str()));
                } else if (_wcsicmp(c.className.c_str(), L"Static") == 0 && !c.text.empty()) {
                    seen.prompt = c.text;
                }
            }
            pressButton(::GetDlgItem(box, answer ? IDOK : IDCANCEL));
        }
        done = true;
    });
    trigger();
    while (!done) pump(20);
    person.join();
    pump(100);
    return seen;
}

}  // namespace

TEST(ListEditor, ColumnsShareTheClientWidthAndFollowResizes) {
    onFreshEditor([] {
        Editor first, second;
        ASSERT_EQ(first.setting(3, L"一覧表"), S_OK);
        ASSERT_EQ(first.form->List_Show(), S_OK);
        HWND w = editorWindow();
        ASSERT_NE(w, nullptr);
        SeenWindow seen = inspect(w);
        EXPECT_TRUE(seen.visible);
        EXPECT_EQ(seen.caption, L"一覧表");
        EXPECT_EQ(seen.owner, nullptr);
        EXPECT_NE(seen.style & WS_THICKFRAME, 0) << "sizable";
        EXPECT_EQ(seen.client.cx, px(9345));
        EXPECT_EQ(seen.client.cy, px(7770));

        // 9345 twips: columns of 3115 at 0, 3115 and 6230; fixed rows, lists take the rest.
        auto columns = columnsOf(w);
        ASSERT_EQ(columns.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const Column& c = columns[i];
            EXPECT_EQ(c.label.text, L"???");
            EXPECT_EQ(c.edit.text, L"");
            EXPECT_TRUE(c.label.visible && c.edit.visible && c.list.visible);
            for (const SeenControl* s : {&c.label, &c.edit, &c.list}) {
                EXPECT_EQ(s->rect.left, px(i * 3115)) << i;
                EXPECT_EQ(s->rect.right - s->rect.left, px(3115)) << i;
            }
            EXPECT_EQ(c.label.rect.top, 0);
            EXPECT_EQ(c.label.rect.bottom, px(250));
            EXPECT_EQ(c.edit.rect.top, px(250));
            EXPECT_EQ(c.edit.rect.bottom - c.edit.rect.top, px(200));
            EXPECT_EQ(c.list.rect.top, px(550));
            EXPECT_EQ(c.list.rect.bottom - c.list.rect.top, px(7770 - 550));
        }

        // Resized: still equal thirds (450 px = 6750 twips). Below 550 twips of height the
        // lists cannot take a negative height and stay where they were; the rest still moves.
        setClientSize(w, 450, 300);
        columns = columnsOf(w);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(columns[i].list.rect.left, px(i * 2250.0));
        EXPECT_EQ(columns[2].list.rect.bottom - columns[2].list.rect.top, 300 - px(550));
        RECT listBefore = columns[1].list.rect;
        setClientSize(w, 600, 20);
        columns = columnsOf(w);
        EXPECT_EQ(columns[1].label.rect.left, px(3000));
        EXPECT_TRUE(::EqualRect(&columns[1].list.rect, &listBefore));

        // Two FormCls objects of one thread drive the same editor.
        ASSERT_EQ(first.add(1, L"りんご"), S_OK);
        ASSERT_EQ(first.add(1, L"𠮷野家 ★ 한국어 Ω"), S_OK);
        EXPECT_EQ(second.count(1), 2);
        EXPECT_EQ(second.item(1, 1), L"𠮷野家 ★ 한국어 Ω");
        EXPECT_EQ(second.form->List_Hide(), S_OK);
        EXPECT_FALSE(::IsWindowVisible(w));
        EXPECT_EQ(first.count(1), 2);
    });
}

TEST(ListEditor, LoadsWithColumnZeroUntilReloadedAndOwnerClosingUnloads) {
    onFreshEditor([] {
        Editor e;
        // A bad owner fails before anything exists.
        ComPtr<IDispatch> notAWindow = makeWindowHandleObject(0x7654321);
        EXPECT_EQ(client::errorNumber(e.settingToShow(2, L"never", notAWindow.get())), 13);
        EXPECT_EQ(editorWindow(), nullptr);

        // First use without settings: loaded hidden with column 0 only, at its design place.
        ASSERT_EQ(e.add(0, L"a"), S_OK);
        HWND w = editorWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(::IsWindowVisible(w));
        EXPECT_EQ(client::errorNumber(e.add(1, L"b")), 340);
        ASSERT_EQ(e.setting(3, L"三列"), S_OK);
        EXPECT_EQ(client::errorNumber(e.add(1, L"b")), 340) << "no new columns while loaded";

        // Shown now: the title is the caption stored at load (none) and column 0 takes a third.
        ASSERT_EQ(e.form->List_Show(), S_OK);
        EXPECT_EQ(inspect(w).caption, L"");
        auto columns = columnsOf(w);
        ASSERT_EQ(columns.size(), 1u);
        EXPECT_EQ(columns[0].list.rect.right, px(3115));

        // Shown again with an owner; the owner closing unloads, the next use loads afresh.
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                       nullptr, nullptr, nullptr);
        ComPtr<IDispatch> ownerObject = makeWindowHandleObject(static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner)));
        ASSERT_EQ(e.settingToShow(2, L"二列", ownerObject.get()), S_OK);
        EXPECT_EQ(inspect(w).owner, owner);
        ::DestroyWindow(owner);
        EXPECT_FALSE(::IsWindow(w));
        EXPECT_EQ(e.count(0), 0);
        w = editorWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(inspect(w).caption, L"二列");
        EXPECT_EQ(columnsOf(w).size(), 2u);

        // The close box only hides; everything is there at the next show.
        ASSERT_EQ(e.add(1, L"残る"), S_OK);
        ASSERT_EQ(e.form->List_Show(), S_OK);
        ::SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(::IsWindow(w));
        EXPECT_FALSE(::IsWindowVisible(w));
        ASSERT_EQ(e.form->List_Show(), S_OK);
        EXPECT_EQ(editorWindow(), w);
        EXPECT_EQ(e.item(1, 0), L"残る");

        // Windows shutting down closes it for good.
        EXPECT_TRUE(::SendMessageW(w, WM_QUERYENDSESSION, 0, 0));
        ::SendMessageW(w, WM_ENDSESSION, TRUE, 0);
        EXPECT_FALSE(::IsWindow(w));

        // A column count no process could hold in windows is refused at once, and nothing stays.
        ASSERT_EQ(e.setting(32767, L"too many"), S_OK);
        EXPECT_EQ(client::errorNumber(e.add(0, L"x")), 7);
        EXPECT_EQ(editorWindow(), nullptr);
    });
}

TEST(ListEditor, UserPicksEditsAndDeletesItems) {
    onFreshEditor([] {
        Editor e;
        ASSERT_EQ(e.setting(2, L"編集テスト"), S_OK);
        ASSERT_EQ(e.form->List_Show(), S_OK);
        for (const wchar_t* fruit : {L"りんご", L"みかん", L"ぶどう"}) ASSERT_EQ(e.add(1, fruit), S_OK);
        HWND w = editorWindow();
        HWND list = columnsOf(w).at(1).list.hwnd;
        HWND edit = columnsOf(w).at(1).edit.hwnd;

        // A click copies the item into the edit box; what the user types there is what
        // CurrentSelectListText reads, and the item stays.
        clickItem(list, 1);
        pump();
        EXPECT_EQ(e.selected(1), 1);
        EXPECT_EQ(e.editText(1), L"みかん");
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
        EXPECT_EQ(e.editText(1), L"typed");
        EXPECT_EQ(e.item(1, 1), L"みかん");

        // Double-click: the input box offers the item; an answer replaces it, nothing or Cancel
        // keeps it.
        InputBoxSeen box = answerInputBox([&] { clickItem(list, 1, true); }, L"abc");
        EXPECT_EQ(box.prompt, L"編集してください。");
        EXPECT_EQ(box.defaultAnswer, L"みかん");
        EXPECT_EQ(e.item(1, 1), L"abc");
        EXPECT_EQ(e.editText(1), L"abc");
        answerInputBox([&] { clickItem(list, 1, true); }, L"");
        answerInputBox([&] { clickItem(list, 1, true); }, std::nullopt);
        EXPECT_EQ(e.item(1, 1), L"abc");
        EXPECT_EQ(e.count(1), 3);

        // Keyboard: the selection follows the arrow key; Delete removes the selected item and
        // leaves the edit box as it was.
        ::SetForegroundWindow(w);
        short second = 1;
        ASSERT_EQ(e.form->List_ListSetFocus(&second), S_OK);
        pressKey(VK_DOWN);
        EXPECT_EQ(e.selected(1), 2);
        EXPECT_EQ(e.editText(1), L"ぶどう");
        pressKey(VK_DELETE);
        EXPECT_EQ(e.count(1), 2);
        EXPECT_EQ(e.item(1, 1), L"abc");
        EXPECT_EQ(e.editText(1), L"ぶどう");
        // Nothing selected: ListIndex -1 empties the edit box, Delete removes nothing.
        EXPECT_EQ(e.select(1, i2(-1)), S_OK);
        EXPECT_EQ(e.editText(1), L"");
        pressKey(VK_DELETE);
        EXPECT_EQ(e.count(1), 2);
        // ListIndex set by code raises the same selection event.
        EXPECT_EQ(e.select(1, text(L"0")), S_OK);
        EXPECT_EQ(e.editText(1), L"りんご");

        // Double-click in an empty list: empty default, and an answer has no item to replace.
        HWND emptyList = columnsOf(w).at(0).list.hwnd;
        box = answerInputBox([&] { clickItem(emptyList, 0, true); }, L"xyz");
        EXPECT_EQ(box.defaultAnswer, L"");
        EXPECT_EQ(e.count(0), 0);
        EXPECT_EQ(e.editText(0), L"");

        // A burst of items into the shown list is drawn at the next pump: the scroll bar then
        // spans them all.
        for (int i = 0; i < 300; ++i) ASSERT_EQ(e.add(0, L"行 " + std::to_wstring(i)), S_OK);
        pump();
        SCROLLINFO bar{sizeof(bar), SIF_RANGE};
        ASSERT_TRUE(::GetScrollInfo(emptyList, SB_VERT, &bar));
        EXPECT_EQ(bar.nMax, 299);
        EXPECT_EQ(e.item(0, 299), L"行 299");
    });
}

TEST(ListEditor, RefusedValuesFailWithTheirErrorsAndFontsApplyInOrder) {
    onFreshEditor([] {
        Editor e;
        ASSERT_EQ(e.setting(2, L"errors"), S_OK);
        for (const wchar_t* item : {L"0", L"1", L"2"}) ASSERT_EQ(e.add(0, item), S_OK);

        // Columns that do not exist: 340 with the element named.
        short missing = 2;
        Variant title;
        EXPECT_EQ(client::errorNumber(e.form->get_List_Title(&missing, &title)), 340);
        ComPtr<IErrorInfo> info;
        ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
        Bstr description;
        info->GetDescription(description.put());
        EXPECT_STREQ(description.get(), L"Control array element '2' doesn't exist");
        EXPECT_EQ(client::errorNumber(e.add(-1, L"x")), 340);
        EXPECT_EQ(client::errorNumber(e.listFont(5, 9, L"", 0, false, false, false)), 340);

        // Positions out of range: 381; ListIndex out of range: 380; no conversion: 13 (6 when
        // the number does not fit 16 bits). Nothing changes on failure.
        HRESULT hr = S_OK;
        e.item(0, 3, &hr);
        EXPECT_EQ(client::errorNumber(hr), 381);
        EXPECT_EQ(client::errorNumber(e.setItem(0, -1, text(L"x"))), 381);
        short column = 0, position = 3;
        EXPECT_EQ(client::errorNumber(e.form->List_RemoveItem(&column, &position)), 381);
        EXPECT_EQ(client::errorNumber(e.select(0, i4(3))), 380);
        EXPECT_EQ(client::errorNumber(e.select(0, text(L"abc"))), 13);
        EXPECT_EQ(client::errorNumber(e.select(0, i4(70000))), 6);
        VARIANT nullValue;
        ::VariantInit(&nullValue);
        nullValue.vt = VT_NULL;
        EXPECT_EQ(client::errorNumber(e.setTitle(1, nullValue)), 13);
        EXPECT_EQ(client::errorNumber(e.setItem(0, 1, nullValue)), 13);
        EXPECT_EQ(e.item(0, 1), L"1");
        EXPECT_EQ(e.setTitle(1, r8(2.5)), S_OK);
        ASSERT_EQ(e.form->get_List_Title(&(column = 1), &title), S_OK);
        EXPECT_EQ(std::wstring(title.bstrVal), L"2.5");
        EXPECT_EQ(e.setItem(0, 2, i4(42)), S_OK);
        EXPECT_EQ(e.item(0, 2), L"42");
        position = 0;
        EXPECT_EQ(e.form->List_RemoveItem(&(column = 0), &position), S_OK);
        EXPECT_EQ(e.item(0, 0), L"1");

        // Fonts: everything applied, the colour last; a size the font refuses fails first, so
        // an index-only call (size 0) changes nothing.
        HWND list = columnsOf(editorWindow()).at(0).list.hwnd;
        ASSERT_EQ(e.listFont(0, 14, L"MS Gothic", 0xFF, true, true, true), S_OK);
        auto fontOf = [&] {
            LOGFONTW lf{};
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
            return lf;
        };
        auto colourOf = [&] {
            HDC dc = ::CreateCompatibleDC(nullptr);
            ::SendMessageW(editorWindow(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list));
            COLORREF c = ::GetTextColor(dc);
            ::DeleteDC(dc);
            return c;
        };
        LOGFONTW lf = fontOf();
        EXPECT_STREQ(lf.lfFaceName, L"MS Gothic");
        EXPECT_EQ(lf.lfHeight, -px(14 * 20));
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_TRUE(lf.lfItalic && lf.lfUnderline);
        EXPECT_EQ(colourOf(), RGB(255, 0, 0));
        short index = 0;
        EXPECT_EQ(client::errorNumber(e.form->List_ListFont(&index, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)), 380);
        EXPECT_EQ(client::errorNumber(e.listFont(0, -3, L"", 0, false, false, false)), 380);
        lf = fontOf();
        EXPECT_STREQ(lf.lfFaceName, L"MS Gothic");
        EXPECT_EQ(colourOf(), RGB(255, 0, 0));
        // With a size, the omitted values are applied as such: no styles, black.
        ASSERT_EQ(e.listFont(0, 9, L"", 0, false, false, false), S_OK);
        lf = fontOf();
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
        EXPECT_FALSE(lf.lfItalic || lf.lfUnderline);
        EXPECT_EQ(colourOf(), RGB(0, 0, 0));
    });
}

TEST(Screenshot, ListEditor) {
    onFreshEditor([] {
        Editor e;
        ASSERT_EQ(e.setting(3, L"商品リスト"), S_OK);
        const wchar_t* titles[] = {L"果物", L"野菜", L"飲み物"};
        const wchar_t* items[3][4] = {{L"りんご", L"みかん", L"ぶどう", L"もも"},
                                      {L"にんじん", L"たまねぎ", L"キャベツ", L"じゃがいも"},
                                      {L"緑茶", L"麦茶", L"コーヒー", L"牛乳"}};
        for (short i = 0; i < 3; ++i) {
            ASSERT_EQ(e.setTitle(i, text(titles[i])), S_OK);
            for (const wchar_t* item : items[i]) ASSERT_EQ(e.add(i, item), S_OK);
        }
        ASSERT_EQ(e.form->List_Show(), S_OK);
        HWND w = editorWindow();
        setClientSize(w, 420, 260);
        EXPECT_EQ(e.select(0, i2(1)), S_OK);
        pump();  // the lists are drawn when the thread pumps messages
        expectDrawnAsDesigned(w, {420, 260});
        EXPECT_TRUE(saveScreenshot(w, L"list_editor"));
        // The input box a double-click opens, as the person sees it before answering.
        bool saved = false;
        answerInputBox([&] { clickItem(columnsOf(w).at(0).list.hwnd, 1, true); }, std::nullopt,
                       [&](HWND box) { saved = saveScreenshot(box, L"input_box"); });
        EXPECT_TRUE(saved);
        ::DestroyWindow(w);  // an open window keeps the module locked for the tests after this one
    });
}
