#include "framework/Control.h"

#include "framework/AppShell.h"
#include "base/Wide.h"

HWND Control::AttachItem(HWND dialog, int itemId) {
    hwnd = GetDlgItem(dialog, itemId);
    return hwnd;
}

bool Control::CreateChild(DWORD exStyle, const char* className, DWORD style, int x, int y, int width, int height,
                          HWND parent, int childId) {
    hwnd = CreateWindowExW(exStyle, Widen(className).c_str(), L"", style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), AppShell::ModuleHandle(), nullptr);
    return hwnd != nullptr;
}

bool Control::Subclass() {
    if (hwnd == nullptr)
        return false;
    // The object first: the first message through the new procedure must find it.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<Window*>(this)));
    prevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc)));
    return prevProc != nullptr;
}

void Control::Unsubclass() {
    if (prevProc == nullptr)
        return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevProc));
    hwnd = nullptr;
    prevProc = nullptr;
}

LRESULT Control::DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM wParam, LPARAM lParam) {
    if (prevProc == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return notHandled ? CallWindowProcW(prevProc, hwnd, message, wParam, lParam) : result;
}
