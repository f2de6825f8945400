#pragma once
// Control: a Window that wraps one child window, a dialog item or a child it
// created. It is either only attached (it holds the handle and sends it
// messages) or taken over with Subclass: then the framework's window
// procedure stands in front of the control's own, which is kept in prevProc
// and receives every message the object does not handle.

#include "framework/Window.h"

class Control : public Window {
public:
    // hwnd = the item of the dialog; returns it.
    HWND AttachItem(HWND dialog, int itemId);
    // Creates a child of class className with an empty title at (x, y) with
    // the given size; the handle goes to hwnd.
    bool CreateChild(DWORD exStyle, const char* className, DWORD style, int x, int y, int width, int height,
                     HWND parent, int childId);
    // Takes the attached window over. Done once per object, right after
    // AttachItem or CreateChild.
    bool Subclass();
    // Puts the previous procedure back; hwnd and prevProc become absent.
    void Unsubclass();

    LRESULT DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM wParam, LPARAM lParam) override;
    // A taken-over control's own procedure frees what it made (a list box
    // its items, an edit its text) at WM_DESTROY, so the message goes on to
    // it rather than stopping here as it does for the program's own windows.
    bool OnDestroy() override { return false; }

    WNDPROC prevProc = nullptr;
};
