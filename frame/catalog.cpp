#include "frame/catalog.h"

#include <new>

#include "dialogs/FormCls.h"
#include "dialogs/MainCls.h"
#include "coding/CodeCls.h"
#include "coding/StringHandCls.h"
#include "filesystem/ConvertCls.h"
#include "filesystem/FileSystemCls.h"
#include "filesystem/VorelCls.h"
#include "settings/IniFileCls.h"
#include "settings/RegistryCls.h"
#include "sound/DirectSoundCls.h"
#include "system/ApplicationCls.h"
#include "system/DebugCls.h"
#include "system/GetDataCls.h"
#include "system/KeyCodeCls.h"
#include "system/MathClass.h"
#include "system/ProgramCls.h"
#include "system/WindowsCls.h"

namespace kro {
namespace {

template <class T>
HRESULT create(REFIID iid, void** out) {
    T* object = new (std::nothrow) T();
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

const ClassEntry kClasses[] = {
    {&CLSID_DebugCls, L"DebugCls", &create<DebugCls>},
    {&CLSID_IniFileCls, L"IniFileCls", &create<IniFileCls>},
    {&CLSID_FormCls, L"FormCls", &create<FormCls>},
    {&CLSID_StringHandCls, L"StringHandCls", &create<StringHandCls>},
    {&CLSID_KeyCodeCls, L"KeyCodeCls", &create<KeyCodeCls>},
    {&CLSID_DirectSoundCls, L"DirectSoundCls", &create<DirectSoundCls>},
    {&CLSID_ProgramCls, L"ProgramCls", &create<ProgramCls>},
    {&CLSID_GetDataCls, L"GetDataCls", &create<GetDataCls>},
    {&CLSID_VorelCls, L"VorelCls", &create<VorelCls>},
    {&CLSID_ConvertCls, L"ConvertCls", &create<ConvertCls>},
    {&CLSID_FileSystemCls, L"FileSystemCls", &create<FileSystemCls>},
    {&CLSID_CodeCls, L"CodeCls", &create<CodeCls>},
    {&CLSID_WindowsCls, L"WindowsCls", &create<WindowsCls>},
    {&CLSID_ApplicationCls, L"ApplicationCls", &create<ApplicationCls>},
    {&CLSID_RegistryCls, L"RegistryCls", &create<RegistryCls>},
    {&CLSID_MathClass, L"MathClass", &create<MathClass>},
    {&CLSID_MainCls, L"MainCls", &create<MainCls>},
};

}  // namespace

const ClassEntry* classCatalog(std::size_t* count) {
    *count = sizeof(kClasses) / sizeof(kClasses[0]);
    return kClasses;
}

const ClassEntry* findClass(REFCLSID clsid) {
    for (const auto& c : kClasses)
        if (*c.clsid == clsid) return &c;
    return nullptr;
}

}  // namespace kro
