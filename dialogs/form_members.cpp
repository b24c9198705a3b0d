// FormCls: finds this thread's instance of a window and forwards to it.
#include "dialogs/FormCls.h"

#include "dialogs/copy_window.h"
#include "dialogs/list_window.h"
#include "dialogs/message_window.h"
#include "dialogs/registry_window.h"
#include "dialogs/shortcut_window.h"
#include "frame/automation.h"
#include "frame/errors.h"
#include "frame/text.h"

using namespace kro;

std::span<const dispatch::ParameterConversion> FormCls::argumentConversions() {
    static constexpr dispatch::ParameterConversion kOwner[] = {{L"OwnerForm", &ui::ownerArgument}};
    return kOwner;
}

HRESULT FormCls::Registry_Show() { return call([] { ui::RegistryWindow::instance().show(nullptr); }); }
HRESULT FormCls::Registry_Hide() { return call([] { ui::RegistryWindow::instance().hide(); }); }
HRESULT FormCls::Shortcut_Show() { return call([] { ui::ShortcutWindow::instance().show(nullptr); }); }
HRESULT FormCls::Shortcut_Hide() { return call([] { ui::ShortcutWindow::instance().hide(); }); }
HRESULT FormCls::Message_Show(BSTR* Message, IDispatch** OwnerForm, IPictureDisp** Icon) {
    return call([&] {
        HWND owner = ui::ownerWindow(OwnerForm ? *OwnerForm : nullptr);
        ui::MessageWindow::instance().message(Message ? view(*Message) : std::wstring_view(), owner,
                                              Icon ? *Icon : nullptr);
    });
}
namespace {

// By-reference arguments; a null pointer from a vtable caller counts as the type's zero value.
short shortOf(const short* p) { return p ? *p : 0; }
std::wstring_view textOf(const BSTR* p) { return p ? view(*p) : std::wstring_view(); }

std::wstring valueText(const VARIANT* value) {
    if (!value) raise(err::TypeMismatch);
    return variantText(*value);
}

// Counts and positions are 16-bit for clients; a list beyond that range fails with 6.
void setShort(VARIANT* out, int value) {
    if (value < -32768 || value > 32767) raise(err::Overflow);
    out->vt = VT_I2;
    out->iVal = static_cast<SHORT>(value);
}

ui::Control& columnLabel(const short* index) { return ui::ListWindow::instance().label(shortOf(index)); }
ui::Control& columnEdit(const short* index) { return ui::ListWindow::instance().edit(shortOf(index)); }
ui::Control& columnList(const short* index) { return ui::ListWindow::instance().list(shortOf(index)); }

// Omitted font arguments arrive as 0, the empty text and False and are applied as such.
void applyFont(ui::Control& control, const short* size, const BSTR* name, const LONG* color, const VARIANT_BOOL* bold,
               const VARIANT_BOOL* italic, const VARIANT_BOOL* underline) {
    auto on = [](const VARIANT_BOOL* p) { return p && *p != VARIANT_FALSE; };
    ui::ListWindow::applyFont(control, shortOf(size), textOf(name), color ? static_cast<OLE_COLOR>(*color) : 0,
                              on(bold), on(italic), on(underline));
}

}  // namespace

HRESULT FormCls::List_Setting_Form(short *ControlAmount, BSTR *Caption) {
    return call([&] { ui::ListWindow::instance().setting(shortOf(ControlAmount), textOf(Caption)); });
}
HRESULT FormCls::List_SettingToShow(short *ControlAmount, BSTR *Caption, IDispatch **OwnerForm) {
    return call([&] {
        HWND owner = ui::ownerWindow(OwnerForm ? *OwnerForm : nullptr);
        ui::ListWindow& editor = ui::ListWindow::instance();
        editor.setting(shortOf(ControlAmount), textOf(Caption));
        editor.show(owner);
    });
}
HRESULT FormCls::List_Show() { return call([] { ui::ListWindow::instance().show(nullptr); }); }
HRESULT FormCls::List_Hide() { return call([] { ui::ListWindow::instance().hide(); }); }
HRESULT FormCls::List_AddItem(BSTR *NewValue, short *Index) {
    return call([&] { columnList(Index).addItem(textOf(NewValue)); });
}
HRESULT FormCls::List_Clear(short *Index) { return call([&] { columnList(Index).clear(); }); }
HRESULT FormCls::List_RemoveItem(short *Index, short *Number) {
    return call([&] { columnList(Index).removeItem(shortOf(Number)); });
}
HRESULT FormCls::List_ListRefresh(short *Index) { return call([&] { columnList(Index).refresh(); }); }
HRESULT FormCls::List_ListSetFocus(short *Index) { return call([&] { columnList(Index).setFocus(); }); }
HRESULT FormCls::List_TextRefresh(short *Index) { return call([&] { columnEdit(Index).refresh(); }); }
HRESULT FormCls::List_TextSetFocus(short *Index) { return call([&] { columnEdit(Index).setFocus(); }); }
HRESULT FormCls::List_ListFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) {
    return call([&] { applyFont(columnList(Index), Size, Name, Color, Bold, Italic, Underline); });
}
HRESULT FormCls::List_TextFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) {
    return call([&] { applyFont(columnEdit(Index), Size, Name, Color, Bold, Italic, Underline); });
}
HRESULT FormCls::List_LabelFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) {
    return call([&] { applyFont(columnLabel(Index), Size, Name, Color, Bold, Italic, Underline); });
}
HRESULT FormCls::get_List_Title(short *Index, VARIANT *result) {
    return call([&] { setText(result, columnLabel(Index).text()); });
}
HRESULT FormCls::put_List_Title(short *Index, VARIANT *value) {
    return call([&] {
        // The value first: its conversion may run the client's code, which may unload the editor.
        std::wstring text = valueText(value);
        columnLabel(Index).setText(text);
    });
}
HRESULT FormCls::get_List_List(short *Index, short *Number, VARIANT *result) {
    return call([&] { setText(result, columnList(Index).item(shortOf(Number))); });
}
HRESULT FormCls::put_List_List(short *Index, short *Number, VARIANT *value) {
    return call([&] {
        std::wstring text = valueText(value);  // may run the client's code, as above
        columnList(Index).setItem(shortOf(Number), text);
    });
}
HRESULT FormCls::get_List_ListCount(short *Index, VARIANT *result) {
    return call([&] { setShort(result, columnList(Index).count()); });
}
HRESULT FormCls::get_List_ListIndex(short *Index, VARIANT *result) {
    return call([&] { setShort(result, columnList(Index).selection()); });
}
HRESULT FormCls::put_List_ListIndex(short *Index, VARIANT *value) {
    return call([&] {
        if (!value) raise(err::TypeMismatch);
        short position = variantShort(*value);  // may run the client's code, as above
        columnList(Index).setSelection(position);
    });
}
HRESULT FormCls::get_List_CurrentSelectListText(short *Index, BSTR *result) {
    return call([&] { *result = allocBstr(columnEdit(Index).text()); });
}
HRESULT FormCls::Copy_ShowEx(BSTR *AnimationFile, short *max, IDispatch **OwnerForm, BSTR *Caption) {
    return call([&] {
        // Every failure of bringing the window up is handled inside; none reaches the client.
        ui::CopyWindow::instance().showEx(AnimationFile ? str(*AnimationFile) : std::wstring(), max ? *max : 0,
                                          OwnerForm ? *OwnerForm : nullptr,
                                          Caption ? std::wstring(view(*Caption)) : ui::CopyWindow::designTitle());
    });
}
HRESULT FormCls::Copy_SetValue(short *value, BSTR *FileName, BSTR *SourDir, BSTR *DestDir) {
    return call([&] {
        if (!value) raise(err::InvalidCall);
        ui::CopyWindow::instance().setValue(*value, FileName ? view(*FileName) : std::wstring_view(),
                                            SourDir ? view(*SourDir) : std::wstring_view(),
                                            DestDir ? view(*DestDir) : std::wstring_view());
    });
}
HRESULT FormCls::Copy_CancelCheck(VARIANT *result) {
    return call([&] {
        if (!result) raise(err::InvalidCall);
        ::VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = ui::CopyWindow::instance().cancelRequested() ? VARIANT_TRUE : VARIANT_FALSE;
    });
}
HRESULT FormCls::Copy_Hide() {
    return call([&] { ui::CopyWindow::instance().hide(); });
}
