// FormCls: finds this thread's instance of a window and forwards to it. Members still to be
// built report "not implemented" to every caller.
#include "dialogs/FormCls.h"

#include "dialogs/copy_window.h"
#include "dialogs/message_window.h"
#include "dialogs/registry_window.h"
#include "dialogs/shortcut_window.h"
#include "frame/text.h"

using namespace kro;

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
HRESULT FormCls::List_Setting_Form(short *ControlAmount, BSTR *Caption) { return notImplemented(L"List_Setting_Form"); }
HRESULT FormCls::List_SettingToShow(short *ControlAmount, BSTR *Caption, IDispatch **OwnerForm) { return notImplemented(L"List_SettingToShow"); }
HRESULT FormCls::List_Show() { return notImplemented(L"List_Show"); }
HRESULT FormCls::List_Hide() { return notImplemented(L"List_Hide"); }
HRESULT FormCls::List_AddItem(BSTR *NewValue, short *Index) { return notImplemented(L"List_AddItem"); }
HRESULT FormCls::List_Clear(short *Index) { return notImplemented(L"List_Clear"); }
HRESULT FormCls::List_RemoveItem(short *Index, short *Number) { return notImplemented(L"List_RemoveItem"); }
HRESULT FormCls::List_ListRefresh(short *Index) { return notImplemented(L"List_ListRefresh"); }
HRESULT FormCls::List_ListSetFocus(short *Index) { return notImplemented(L"List_ListSetFocus"); }
HRESULT FormCls::List_TextRefresh(short *Index) { return notImplemented(L"List_TextRefresh"); }
HRESULT FormCls::List_TextSetFocus(short *Index) { return notImplemented(L"List_TextSetFocus"); }
HRESULT FormCls::List_ListFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) { return notImplemented(L"List_ListFont"); }
HRESULT FormCls::List_TextFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) { return notImplemented(L"List_TextFont"); }
HRESULT FormCls::List_LabelFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) { return notImplemented(L"List_LabelFont"); }
HRESULT FormCls::get_List_Title(short *Index, VARIANT *result) { return notImplemented(L"get_List_Title"); }
HRESULT FormCls::put_List_Title(short *Index, VARIANT *value) { return notImplemented(L"put_List_Title"); }
HRESULT FormCls::get_List_List(short *Index, short *Number, VARIANT *result) { return notImplemented(L"get_List_List"); }
HRESULT FormCls::put_List_List(short *Index, short *Number, VARIANT *value) { return notImplemented(L"put_List_List"); }
HRESULT FormCls::get_List_ListCount(short *Index, VARIANT *result) { return notImplemented(L"get_List_ListCount"); }
HRESULT FormCls::get_List_ListIndex(short *Index, VARIANT *result) { return notImplemented(L"get_List_ListIndex"); }
HRESULT FormCls::put_List_ListIndex(short *Index, VARIANT *value) { return notImplemented(L"put_List_ListIndex"); }
HRESULT FormCls::get_List_CurrentSelectListText(short *Index, BSTR *result) { return notImplemented(L"get_List_CurrentSelectListText"); }
HRESULT FormCls::Copy_ShowEx(BSTR *AnimationFile, short *max, IDispatch **OwnerForm, BSTR *Caption) {
    return call([&] {
        // Every failure of bringing the window up is handled inside; none reaches the client.
        ui::CopyWindow::instance().showEx(AnimationFile ? str(*AnimationFile) : std::wstring(), max ? *max : 0,
                                          OwnerForm ? *OwnerForm : nullptr,
                                          Caption ? view(*Caption) : std::wstring_view(ui::CopyWindow::kDesignTitle));
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
