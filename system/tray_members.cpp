// The tray, taskbar, pointer and topmost members of ProgramCls and ApplicationCls.
#include "system/ApplicationCls.h"
#include "system/ProgramCls.h"

#include "frame/text.h"
#include "frame/toolkit.h"
#include "system/shell_services.h"

using namespace kro;

namespace {

template <class T>
T required(const T* argument) {
    if (!argument) raise(err::InvalidCall);
    return *argument;
}

HWND windowArgument(const LONG* hWnd) { return shell::handleFrom<HWND>(required(hWnd)); }
HICON iconArgument(const LONG* icon) { return shell::handleFrom<HICON>(required(icon)); }
UINT idArgument(const LONG* id) { return static_cast<UINT>(required(id)); }

void addTrayIcon(LONG* hWnd, LONG* icon, LONG* id, BSTR* toolTipText, LONG* result) {
    shell::addTrayIcon(shell::systemPlatform(),
                       shell::iconToAdd(windowArgument(hWnd), iconArgument(icon), idArgument(id), view(required(toolTipText))));
    *result = 0;
}

LONG pointerArgument(const LONG* newPointer) { return newPointer ? *newPointer : pointer::kHourglass; }

}  // namespace

HRESULT ProgramCls::Tasktray_Set(LONG* hWnd, LONG* Icon, LONG* ID, BSTR* ToolTipText, LONG* result) {
    return call([&] { addTrayIcon(hWnd, Icon, ID, ToolTipText, result); });
}

HRESULT ProgramCls::Tasktray_Exit(LONG* hWnd, LONG* ID) {
    return call([&] {
        shell::deleteTrayIcon(shell::systemPlatform(), shell::programIconToDelete(windowArgument(hWnd), idArgument(ID)));
    });
}

HRESULT ProgramCls::AddButtonForTaskBar(LONG* hWnd) {
    return call([&] { shell::addTaskbarButton(windowArgument(hWnd)); });
}

HRESULT ProgramCls::SetPointer(LONG* NewPointer) {
    return call([&] { pointer_.change(pointerArgument(NewPointer)); });
}

HRESULT ApplicationCls::Tasktray_Set(LONG* hWnd, LONG* Icon, LONG* ID, BSTR* ToolTipText, LONG* result) {
    return call([&] { addTrayIcon(hWnd, Icon, ID, ToolTipText, result); });
}

HRESULT ApplicationCls::Tasktray_Exit(LONG* hWnd, LONG* Icon, LONG* ID) {
    return call([&] {
        shell::deleteTrayIcon(shell::systemPlatform(), shell::applicationIconToDelete(windowArgument(hWnd), iconArgument(Icon),
                                                                                      idArgument(ID)));
    });
}

HRESULT ApplicationCls::Help_Get_Check_ClickKey(BSTR* result) {
    return call([&] {
        const std::wstring text = shell::clickHandlerText();
        toolkit::messageBox(text, MB_ICONINFORMATION, shell::kClickHandlerTitle);
        *result = allocBstr(text);
    });
}

HRESULT ApplicationCls::SetPointer(LONG* NewPointer) {
    return call([&] { pointer_.change(pointerArgument(NewPointer)); });
}

HRESULT ApplicationCls::Set_Window_Top(LONG* hWnd, VARIANT_BOOL* SetTop) {
    return call([&] { shell::setTopmost(windowArgument(hWnd), SetTop && *SetTop != VARIANT_FALSE); });
}
