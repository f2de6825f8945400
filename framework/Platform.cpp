#include "framework/Platform.h"

#include "framework/AppShell.h"
#include "base/Wide.h"

PathKind KindOfPath(const char* path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

HICON LoadIconImage(uint32_t resourceId, int size) {
    return static_cast<HICON>(LoadImageW(AppShell::ModuleHandle(), MAKEINTRESOURCEW(resourceId & 0xFFFF), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

void EnableSystemClose(HWND window, bool enable) {
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}
