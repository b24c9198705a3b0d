#pragma once
// The FormCls automation class: one adapter per member of _FormCls.
// Where its members are:
//   form_members.cpp: Registry_Show, Registry_Hide, Shortcut_Show, Shortcut_Hide, Message_Show,
//       List_Setting_Form, List_SettingToShow, List_Show, List_Hide, List_AddItem, List_Clear,
//       List_RemoveItem, List_ListRefresh, List_ListSetFocus, List_TextRefresh, List_TextSetFocus,
//       List_ListFont, List_TextFont, List_LabelFont, List_Title, List_List, List_ListCount,
//       List_ListIndex, List_CurrentSelectListText, Copy_ShowEx, Copy_SetValue, Copy_CancelCheck,
//       Copy_Hide
#include "frame/com_object.h"

class FormCls final : public kro::ComObject<FormCls, _FormCls> {
public:
    // OwnerForm also takes Empty and a window handle number from late-bound callers.
    static std::span<const kro::dispatch::ParameterConversion> argumentConversions();

    HRESULT STDMETHODCALLTYPE Registry_Show() override;
    HRESULT STDMETHODCALLTYPE Registry_Hide() override;
    HRESULT STDMETHODCALLTYPE Shortcut_Show() override;
    HRESULT STDMETHODCALLTYPE Shortcut_Hide() override;
    HRESULT STDMETHODCALLTYPE Message_Show(BSTR *Message, IDispatch **OwnerForm, IPictureDisp **Icon) override;
    HRESULT STDMETHODCALLTYPE List_Setting_Form(short *ControlAmount, BSTR *Caption) override;
    HRESULT STDMETHODCALLTYPE List_SettingToShow(short *ControlAmount, BSTR *Caption, IDispatch **OwnerForm) override;
    HRESULT STDMETHODCALLTYPE List_Show() override;
    HRESULT STDMETHODCALLTYPE List_Hide() override;
    HRESULT STDMETHODCALLTYPE List_AddItem(BSTR *NewValue, short *Index) override;
    HRESULT STDMETHODCALLTYPE List_Clear(short *Index) override;
    HRESULT STDMETHODCALLTYPE List_RemoveItem(short *Index, short *Number) override;
    HRESULT STDMETHODCALLTYPE List_ListRefresh(short *Index) override;
    HRESULT STDMETHODCALLTYPE List_ListSetFocus(short *Index) override;
    HRESULT STDMETHODCALLTYPE List_TextRefresh(short *Index) override;
    HRESULT STDMETHODCALLTYPE List_TextSetFocus(short *Index) override;
    HRESULT STDMETHODCALLTYPE List_ListFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) override;
    HRESULT STDMETHODCALLTYPE List_TextFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) override;
    HRESULT STDMETHODCALLTYPE List_LabelFont(short *Index, short *Size, BSTR *Name, LONG *Color, VARIANT_BOOL *Bold, VARIANT_BOOL *Italic, VARIANT_BOOL *Underline) override;
    HRESULT STDMETHODCALLTYPE get_List_Title(short *Index, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE put_List_Title(short *Index, VARIANT *value) override;
    HRESULT STDMETHODCALLTYPE get_List_List(short *Index, short *Number, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE put_List_List(short *Index, short *Number, VARIANT *value) override;
    HRESULT STDMETHODCALLTYPE get_List_ListCount(short *Index, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE get_List_ListIndex(short *Index, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE put_List_ListIndex(short *Index, VARIANT *value) override;
    HRESULT STDMETHODCALLTYPE get_List_CurrentSelectListText(short *Index, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE Copy_ShowEx(BSTR *AnimationFile, short *max, IDispatch **OwnerForm, BSTR *Caption) override;
    HRESULT STDMETHODCALLTYPE Copy_SetValue(short *value, BSTR *FileName, BSTR *SourDir, BSTR *DestDir) override;
    HRESULT STDMETHODCALLTYPE Copy_CancelCheck(VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE Copy_Hide() override;
};
