#include "framework/FolderPicker.h"

#include <shlobj.h>

namespace {

// Selects the start folder once the browser is ready for it.
int CALLBACK OnBrowserEvent(HWND browser, UINT event, LPARAM, LPARAM startFolder) {
    if (event == BFFM_INITIALIZED && startFolder != 0)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, startFolder);
    return 0;
}

} // namespace

bool PickFolder(HWND owner, const char* title, Str& out, bool stripRoot, const char* startFolder) {
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title;
    // The resizable browser with an edit box, so a path can be typed or
    // pasted instead of clicked through the tree. It needs COM, which the
    // program's entry point starts.
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    if (startFolder != nullptr && startFolder[0] != '\0') {
        browse.lpfn = OnBrowserEvent;
        browse.lParam = reinterpret_cast<LPARAM>(startFolder);
    }
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
