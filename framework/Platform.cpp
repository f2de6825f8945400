#include "framework/Platform.h"

#include "framework/AppShell.h"
#include "base/Wide.h"

bool FileExists(const char* path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

HICON LoadIconImage(uint32_t resourceId, int size) {
    return static_cast<HICON>(LoadImageW(AppShell::ModuleHandle(), MAKEINTRESOURCEW(resourceId & 0xFFFF), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

void EnableSystemClose(HWND window, bool enable) {
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}
