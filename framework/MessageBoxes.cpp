#include "framework/MessageBoxes.h"

#include "base/Wide.h"

int ShowMessage(const char* text, const char* caption, UINT type) {
    HWND active = GetActiveWindow();
    // A missing caption is the system's "Error", as before.
    const std::wstring wideCaption = Widen(caption);
    const int pressed = MessageBoxW(nullptr, Widen(text).c_str(), caption != nullptr ? wideCaption.c_str() : nullptr,
                                    type | MB_TASKMODAL | MB_TOPMOST);
    // A box without an owner leaves no window of the thread active when it
    // closes: the windows it disabled are enabled again only after it has
    // gone. The window that was active takes the activation back, and with
    // it its keyboard focus (the file list's arrow keys).
    if (active != nullptr && IsWindow(active) && GetActiveWindow() == nullptr)
        SetActiveWindow(active);
    return pressed;
}

int ShowWarning(const char* text) {
    return ShowMessage(text, nullptr, MB_ICONEXCLAMATION);
}
