#include "framework/MessageBoxes.h"

int ShowMessage(const char* text, const char* caption, UINT type) {
    return MessageBoxA(nullptr, text, caption, type | MB_TASKMODAL | MB_TOPMOST);
}

int ShowWarning(const char* text) {
    return ShowMessage(text, nullptr, MB_ICONEXCLAMATION);
}
