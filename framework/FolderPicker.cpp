#include "framework/FolderPicker.h"

#include "base/Wide.h"
#include "framework/ItemDialog.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// Selects the start folder once the browser is ready for it.
int CALLBACK OnBrowserEvent(HWND browser, UINT event, LPARAM, LPARAM startFolder) {
    if (event != BFFM_INITIALIZED)
        return 0;
    if (startFolder != 0)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
    return 0;
}

// The older folder browser, where the item dialog cannot be made.
bool BrowseForFolder(HWND owner, const char* title, Str& out, const char* startFolder) {
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
    return true;
}

} // namespace

bool PickFolder(HWND owner, const char* title, Str& out, bool stripRoot, const char* startFolder) {
    ItemDialogRequest request;
    request.startFolder = startFolder;
    request.title = title;
    request.pickFolders = true;
    std::vector<std::string> paths;
    switch (RunItemDialog(owner, request, paths)) {
    case ItemDialogResult::kPicked:
        out.Assign(paths.front().c_str());
        break;
    case ItemDialogResult::kCancelled:
        return false;
    case ItemDialogResult::kUnavailable:
        if (!BrowseForFolder(owner, title, out, startFolder))
            return false;
        break;
    }
    if (stripRoot)
        StripDriveRoot(out);
    return true;
}

void StripDriveRoot(Str& path) {
    if (path.Length() == 3)
        path.SetCharAt(2, '\0');
}
