#include "framework/FolderPicker.h"

#include <shlobj.h>

bool PickFolder(HWND owner, const char* title, Str& out, bool stripRoot) {
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == nullptr)
        return false;
    // The platform writes up to MAX_PATH bytes whatever the buffer holds.
    out.Reserve(MAX_PATH);
    const BOOL found = SHGetPathFromIDListA(item, out.data);
    CoTaskMemFree(item);
    if (!found)
        return false;
    if (stripRoot)
        StripDriveRoot(out);
    return true;
}

void StripDriveRoot(Str& path) {
    if (path.Length() == 3)
        path.SetCharAt(2, '\0');
}
