#include "framework/Dialog.h"

#include "framework/AppShell.h"
#include "framework/Str.h"

namespace {

INT_PTR CALLBACK FrameworkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object;
    if (message == WM_INITDIALOG) {
        object = reinterpret_cast<Window*>(lParam);
        object->hwnd = dialog;
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    } else {
        object = reinterpret_cast<Window*>(GetWindowLongPtrA(dialog, DWLP_USER));
    }
    // Messages the dialog manager sends before WM_INITDIALOG: not handled.
    if (object == nullptr)
        return 0;
    return object->WindowProc(message, wParam, lParam);
}

} // namespace

INT_PTR Dialog::RunModal(uint32_t templateId, HWND parent) {
    return DialogBoxParamA(AppShell::ModuleHandle(), MAKEINTRESOURCEA(templateId & 0xFFFF), parent, FrameworkDialogProc,
                           reinterpret_cast<LPARAM>(static_cast<Window*>(this)));
}

void Dialog::EndDialog(INT_PTR result) {
    ::EndDialog(hwnd, result);
    hwnd = nullptr;
}

BOOL Dialog::EnableItem(int itemId, bool enable) {
    return EnableWindow(GetDlgItem(hwnd, itemId), enable);
}

UINT Dialog::GetItemText(int itemId, Str& out) {
    return GetDlgItemTextA(hwnd, itemId, out.data, out.BufferSize());
}

BOOL Dialog::SetItemText(int itemId, const char* text) {
    return SetDlgItemTextA(hwnd, itemId, text);
}

UINT Dialog::IsItemChecked(int itemId) {
    return IsDlgButtonChecked(hwnd, itemId);
}

BOOL Dialog::CheckItem(int itemId, UINT state) {
    return CheckDlgButton(hwnd, itemId, state);
}

LRESULT Dialog::DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG)
        return result;
    return notHandled ? 0 : 1;
}
