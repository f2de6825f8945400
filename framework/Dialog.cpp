#include "framework/Dialog.h"

#include "framework/AppShell.h"
#include "base/Str.h"
#include "base/Wide.h"

#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK FrameworkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object;
    if (message == WM_INITDIALOG) {
        object = reinterpret_cast<Window*>(lParam);
        object->hwnd = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    } else {
        object = reinterpret_cast<Window*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    // Messages the dialog manager sends before WM_INITDIALOG: not handled.
    if (object == nullptr)
        return 0;
    // As in FrameworkWindowProc: a throw fails this message, not the process.
    try {
        return object->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

} // namespace

INT_PTR Dialog::RunModal(uint32_t templateId, HWND parent) {
    return DialogBoxParamW(AppShell::ModuleHandle(), MAKEINTRESOURCEW(templateId & 0xFFFF), parent, FrameworkDialogProc,
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
    // Cut to out's room as before, between whole characters.
    HWND item = GetDlgItem(hwnd, itemId);
    const int length = item != nullptr ? GetWindowTextLengthW(item) : 0;
    std::vector<wchar_t> wide(size_t(length) + 1, L'\0');
    if (length > 0)
        GetDlgItemTextW(hwnd, itemId, wide.data(), length + 1);
    std::string text = Narrow(wide.data());
    size_t keep = text.size() < size_t(out.capacity) ? text.size() : size_t(out.capacity);
    while (keep > 0 && keep < text.size() && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
        --keep;
    text.resize(keep);
    out.Assign(text.c_str());
    return UINT(keep);
}

BOOL Dialog::SetItemText(int itemId, const char* text) {
    return SetDlgItemTextW(hwnd, itemId, Widen(text).c_str());
}

UINT Dialog::IsItemChecked(int itemId) {
    return IsDlgButtonChecked(hwnd, itemId);
}

BOOL Dialog::CheckItem(int itemId, UINT state) {
    return CheckDlgButton(hwnd, itemId, state);
}

LRESULT Dialog::DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM, LPARAM) {
    // These few answer the dialog manager through the procedure's own return
    // value; a handler's result (a brush, an item index) goes back as it is.
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return notHandled ? 0 : result;
    default:
        break;
    }
    if (notHandled)
        return 0;
    // Every other message's result (a WM_NOTIFY answer, WM_GETDLGCODE's
    // codes) reaches the sender only through DWLP_MSGRESULT; the procedure
    // itself just says that it handled the message. After EndDialog the
    // object no longer holds the window, and nothing waits for a result.
    if (hwnd != nullptr)
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return 1;
}
