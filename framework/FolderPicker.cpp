#include "framework/FolderPicker.h"

#include <shlobj.h>

namespace {

const char kPreviousProc[] = "TessavelBrowserProc";

bool IsFullPath(const char* text) {
    const bool drive = ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) && text[1] == ':';
    return drive || (text[0] == '\\' && text[1] == '\\');
}

// A full path typed into the edit box is made the selection before the
// browser takes its choice. Not every browser takes the typed text itself
// (some return the folder selected in the tree whatever was typed); a bare
// name is left to the browser, which shows the selected folder's name there.
void SelectTypedFolder(HWND browser) {
    HWND edit = FindWindowExA(browser, nullptr, "Edit", nullptr);
    char typed[MAX_PATH] = {};
    if (edit == nullptr || GetWindowTextA(edit, typed, sizeof typed) <= 0 || !IsFullPath(typed))
        return;
    const DWORD attributes = GetFileAttributesA(typed);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(typed));
}

LRESULT CALLBACK BrowserProc(HWND browser, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(browser, kPreviousProc));
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        SelectTypedFolder(browser);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(browser, kPreviousProc);
    }
    return CallWindowProcA(previous, browser, message, wParam, lParam);
}

// Selects the start folder once the browser is ready for it, and takes over
// its OK button for a typed path.
int CALLBACK OnBrowserEvent(HWND browser, UINT event, LPARAM, LPARAM startFolder) {
    if (event != BFFM_INITIALIZED)
        return 0;
    const LONG_PTR previous = GetWindowLongPtrA(browser, GWLP_WNDPROC);
    if (SetPropA(browser, kPreviousProc, reinterpret_cast<HANDLE>(previous)))
        SetWindowLongPtrA(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowserProc));
    if (startFolder != 0)
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
    browse.lpfn = OnBrowserEvent;
    if (startFolder != nullptr && startFolder[0] != '\0')
        browse.lParam = reinterpret_cast<LPARAM>(startFolder);
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
