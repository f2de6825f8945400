#include "framework/FolderPicker.h"

#include "base/Wide.h"

#include <shlobj.h>

#include <string>

namespace {

const wchar_t kPreviousProc[] = L"TessavelBrowserProc";

bool IsFullPath(const wchar_t* text) {
    const bool drive = ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) && text[1] == ':';
    return drive || (text[0] == '\\' && text[1] == '\\');
}

// A full path typed into the edit box is made the selection before the
// browser takes its choice. Not every browser takes the typed text itself
// (some return the folder selected in the tree whatever was typed); a bare
// name is left to the browser, which shows the selected folder's name there.
void SelectTypedFolder(HWND browser) {
    HWND edit = FindWindowExW(browser, nullptr, L"Edit", nullptr);
    wchar_t typed[MAX_PATH] = {};
    if (edit == nullptr || GetWindowTextW(edit, typed, MAX_PATH) <= 0 || !IsFullPath(typed))
        return;
    const DWORD attributes = GetFileAttributesW(typed);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(typed));
}

LRESULT CALLBACK BrowserProc(HWND browser, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropW(browser, kPreviousProc));
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        SelectTypedFolder(browser);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(browser, kPreviousProc);
    }
    return CallWindowProcW(previous, browser, message, wParam, lParam);
}

// Selects the start folder once the browser is ready for it, and takes over
// its OK button for a typed path.
int CALLBACK OnBrowserEvent(HWND browser, UINT event, LPARAM, LPARAM startFolder) {
    if (event != BFFM_INITIALIZED)
        return 0;
    const LONG_PTR previous = GetWindowLongPtrW(browser, GWLP_WNDPROC);
    if (SetPropW(browser, kPreviousProc, reinterpret_cast<HANDLE>(previous)))
        SetWindowLongPtrW(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowserProc));
    if (startFolder != 0)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
    return 0;
}

} // namespace

bool PickFolder(HWND owner, const char* title, Str& out, bool stripRoot, const char* startFolder) {
    const std::wstring wideTitle = Widen(title);
    const std::wstring wideStart = Widen(startFolder);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = wideTitle.c_str();
    // The resizable browser with an edit box, so a path can be typed or
    // pasted instead of clicked through the tree. It needs COM, which the
    // program's entry point starts.
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    browse.lpfn = OnBrowserEvent;
    if (!wideStart.empty())
        browse.lParam = reinterpret_cast<LPARAM>(wideStart.c_str());
    LPITEMIDLIST item = SHBrowseForFolderW(&browse);
    if (item == nullptr)
        return false;
    wchar_t path[MAX_PATH] = {};
    const BOOL found = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    if (!found)
        return false;
    Narrow(path, out);
    if (stripRoot)
        StripDriveRoot(out);
    return true;
}

void StripDriveRoot(Str& path) {
    if (path.Length() == 3)
        path.SetCharAt(2, '\0');
}
