#include "framework/Platform.h"

#include "framework/AppShell.h"

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

HICON LoadIconImage(uint32_t resourceId, int size) {
    return static_cast<HICON>(LoadImageA(AppShell::ModuleHandle(), MAKEINTRESOURCEA(resourceId & 0xFFFF), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

void EnableSystemClose(HWND window, bool enable) {
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}
