#pragma once
// The only ways the program reports to the user. Both boxes have no owner
// and are task-modal and topmost: shown in front of other applications, they
// block input to every window of the interface thread until answered.

#include <windows.h>

// MessageBoxW of the UTF-8 texts with type | MB_TASKMODAL | MB_TOPMOST; the
// button pressed.
// The window active before the box is active again afterwards.
int ShowMessage(const char* text, const char* caption, UINT type);
// A warning with the platform's default caption.
int ShowWarning(const char* text);
