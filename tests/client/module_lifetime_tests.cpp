// The module's lifetime as a client meets it: every window kind, an owner given as a number, a
// client's picture and the pointer used, everything released, and the module unloaded; then a
// later load with fresh windows. In a process of its own, so that the unloading stays away
// from the other tests.
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <string>

#include "tests/client/client_support.h"

using namespace kro;
using namespace kro::test;

namespace {

void pump(DWORD ms) {
    for (DWORD t0 = ::GetTickCount(); ::GetTickCount() - t0 < ms;) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
        ::Sleep(10);
    }
}

void call(IDispatch* object, const wchar_t* member, std::vector<VARIANT*> args = {}) {
    CallResult r;
    callByName(object, member, std::move(args), r);
    EXPECT_EQ(r.hr, S_OK) << std::string(member, member + wcslen(member));
}

// Uses every window kind and the pointer, then lets everything go: the owner is destroyed
// (its windows unload with it), the other windows are hidden, every object is released.
void useEverything() {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    {
        ComPtr<IDispatch> form = create(L"FormCls"), program = create(L"ProgramCls");
        ASSERT_TRUE(form && program);
        PICTDESC desc{sizeof(desc), PICTYPE_ICON};
        desc.icon.hicon = ::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION));
        ComPtr<IDispatch> picture;
        ASSERT_EQ(::OleCreatePictureIndirect(&desc, IID_IDispatch, TRUE, picture.putVoid()), S_OK);
        VARIANT message = text(L"お知らせ"), ownerNumber = i4(static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner)));
        VARIANT icon;
        ::VariantInit(&icon);
        icon.vt = VT_DISPATCH;
        icon.pdispVal = picture.get();
        call(form.get(), L"Message_Show", {&message, &ownerNumber, &icon});
        VARIANT columns = i2(3), caption = text(L"一覧");
        call(form.get(), L"List_SettingToShow", {&columns, &caption, &ownerNumber});
        call(form.get(), L"List_Hide");
        VARIANT clip = text(L""), max = i2(2), nothing, copyCaption = text(L"コピー");
        ::VariantInit(&nothing);
        nothing.vt = VT_DISPATCH;
        nothing.pdispVal = nullptr;
        call(form.get(), L"Copy_ShowEx", {&clip, &max, &nothing, &copyCaption});
        VARIANT two = i2(2), name = text(L"a.txt"), from = text(L"C:\\a"), to = text(L"C:\\b");
        call(form.get(), L"Copy_SetValue", {&two, &name, &from, &to});  // the last step unloads it
        call(form.get(), L"Registry_Show");
        call(form.get(), L"Registry_Hide");
        call(form.get(), L"Shortcut_Show");
        call(form.get(), L"Shortcut_Hide");
        VARIANT hourglass = i4(11);
        call(program.get(), L"SetPointer", {&hourglass});
        pump(200);
        ::VariantClear(&message);
        ::VariantClear(&caption);
        ::VariantClear(&clip);
        ::VariantClear(&copyCaption);
        ::VariantClear(&name);
        ::VariantClear(&from);
        ::VariantClear(&to);
    }
    ::DestroyWindow(owner);
    pump(200);
}

bool unloadedAfterFreeing() {
    for (int i = 0; i < 20 && ::GetModuleHandleW(modulePath().c_str()); ++i) {
        ::CoFreeUnusedLibrariesEx(0, 0);
        pump(50);
    }
    return ::GetModuleHandleW(modulePath().c_str()) == nullptr;
}

}  // namespace

TEST(ModuleLifetime, ReleasedEverythingUnloadsTheModuleAndALaterLoadStartsAfresh) {
    EXPECT_EQ(runDisabledTestInOwnProcess(L"ModuleLifetime.DISABLED_InThisProcess"), 0u);
}

TEST(ModuleLifetime, DISABLED_InThisProcess) {
    useEverything();
    HMODULE first = ::GetModuleHandleW(modulePath().c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(unloadedAfterFreeing()) << "something still holds the module";
    WNDCLASSEXW info{sizeof(info)};
    EXPECT_FALSE(::GetClassInfoExW(first, L"kroProgramDll.frmList", &info)) << "a window class outlived the module";

    useEverything();  // a later load: classes registered again, fresh windows
    EXPECT_TRUE(unloadedAfterFreeing());
}
