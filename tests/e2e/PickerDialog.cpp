#include "tests/e2e/PickerDialog.h"

#include "tests/e2e/WindowQuery.h"
#include "tests/support/WaitUntil.h"

namespace e2e {

namespace {

constexpr int kFileNameCombo = 0x47C; // cmb13
constexpr int kFileNameEdit = 0x480;  // edt1
constexpr UINT kSendTimeoutMs = 5000;

bool IsEdit(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"Edit") == 0;
}

// The edit inside window, window itself when it is one.
HWND EditIn(HWND window) {
    if (window == nullptr || IsEdit(window))
        return window;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND edit = EditIn(child))
            return edit;
    return nullptr;
}

} // namespace

HWND FileNameBox(HWND dialog) {
    for (const int id : {kFileNameCombo, kFileNameEdit}) {
        HWND edit = EditIn(GetDlgItem(dialog, id));
        if (edit != nullptr && IsWindowVisible(edit))
            return edit;
    }
    return nullptr;
}

bool TypeAndConfirm(HWND dialog, const std::string& text) {
    HWND box = nullptr;
    if (!waits::WaitUntil([&] { return (box = FileNameBox(dialog)) != nullptr; }))
        return false;
    const std::wstring wide = Widen(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(box, WM_SETTEXT, 0, LPARAM(wide.c_str()), SMTO_NORMAL, kSendTimeoutMs, &result))
        return false;
    if (WindowText(box) != text)
        return false;
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDOK))) != 0;
}

} // namespace e2e
