#include "framework/AboutDialog.h"

INT_PTR AboutDialog::Run(HWND parent) {
    return RunModal(templateId, parent);
}

bool AboutDialog::OnCommand(uint32_t id, uint32_t, LPARAM) {
    // OK, or cancel: the Escape key and the close box.
    if (id != IDOK && id != IDCANCEL)
        return false;
    EndDialog(1);
    return true;
}
