#pragma once
// Dialog: the base of the program's modal dialogs, built from dialog
// templates among the resources. The framework's dialog procedure binds the
// object at WM_INITDIALOG and routes every later message through the same
// router as any window; DefaultProc answers the dialog manager.

#include "framework/Window.h"

class Str;

class Dialog : public Window {
public:
    // Runs template templateId modally; returns the value given to EndDialog,
    // or what the platform returns when the dialog cannot be created (0 or -1).
    INT_PTR RunModal(uint32_t templateId, HWND parent);
    void EndDialog(INT_PTR result);

    BOOL EnableItem(int itemId, bool enable);
    // Reads into out's buffer as it is: reserve first; longer text is cut.
    UINT GetItemText(int itemId, Str& out);
    BOOL SetItemText(int itemId, const char* text);
    UINT IsItemChecked(int itemId);
    BOOL CheckItem(int itemId, UINT state);

    // WM_INITDIALOG: OnInitDialog's result, which decides whether the dialog
    // manager sets the default focus. Anything else: 1 when handled, else 0.
    LRESULT DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM wParam, LPARAM lParam) override;
};
