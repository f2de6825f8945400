#include "framework/ItemDialog.h"

#include "base/Wide.h"

#include <shobjidl.h>

#include <cstring>

namespace {

// Holds one interface pointer and releases it when it goes.
template <typename Interface> class Held {
public:
    Held() = default;
    ~Held() {
        if (pointer != nullptr)
            pointer->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    Interface* operator->() const { return pointer; }
    Interface** Out() { return &pointer; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer); }
    Interface* Get() const { return pointer; }

private:
    Interface* pointer = nullptr;
};

// The filter pairs as the dialog takes them. The texts stay in `texts`,
// which the file types point into: both live until the dialog has been shown.
struct Filters {
    std::vector<std::wstring> texts;
    std::vector<COMDLG_FILTERSPEC> fileTypes;
};

void ReadFilters(const char* list, Filters& filters) {
    if (list == nullptr)
        return;
    for (const char* p = list; *p != 0; p += std::strlen(p) + 1)
        filters.texts.push_back(Widen(p));
    // A description without its pattern is dropped.
    for (size_t i = 0; i + 1 < filters.texts.size(); i += 2)
        filters.fileTypes.push_back({filters.texts[i].c_str(), filters.texts[i + 1].c_str()});
}

// The item's file-system path in UTF-8; false for an item without one.
bool PathOf(IShellItem* item, std::string& path) {
    wchar_t* wide = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &wide)) || wide == nullptr)
        return false;
    path = Narrow(wide);
    CoTaskMemFree(wide);
    return !path.empty();
}

bool ReadResults(IFileOpenDialog* dialog, bool multiple, std::vector<std::string>& paths) {
    std::string path;
    if (!multiple) {
        Held<IShellItem> item;
        if (FAILED(dialog->GetResult(item.Out())) || !PathOf(item.Get(), path))
            return false;
        paths.push_back(path);
        return true;
    }
    Held<IShellItemArray> items;
    DWORD count = 0;
    if (FAILED(dialog->GetResults(items.Out())) || FAILED(items->GetCount(&count)))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        Held<IShellItem> item;
        if (SUCCEEDED(items->GetItemAt(i, item.Out())) && PathOf(item.Get(), path))
            paths.push_back(path);
    }
    return !paths.empty();
}

} // namespace

ItemDialogResult RunItemDialog(HWND owner, const ItemDialogRequest& request, std::vector<std::string>& paths) {
    paths.clear();
    Held<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                dialog.OutVoid())))
        return ItemDialogResult::kUnavailable;

    // Only items with a file-system path: the program opens files by path.
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST;
    if (request.pickFolders)
        options |= FOS_PICKFOLDERS;
    if (request.multiple)
        options |= FOS_ALLOWMULTISELECT;
    dialog->SetOptions(options);

    Filters filters;
    ReadFilters(request.filter, filters);
    if (!filters.fileTypes.empty())
        dialog->SetFileTypes(static_cast<UINT>(filters.fileTypes.size()), filters.fileTypes.data());
    if (request.defaultExtension != nullptr && *request.defaultExtension != 0)
        dialog->SetDefaultExtension(Widen(request.defaultExtension).c_str());
    if (request.fileName != nullptr && *request.fileName != 0)
        dialog->SetFileName(Widen(request.fileName).c_str());
    if (request.title != nullptr && *request.title != 0)
        dialog->SetTitle(Widen(request.title).c_str());
    // SetFolder rather than SetDefaultFolder: the dialog opens at the folder
    // in use, not at the last one it remembers. A folder that is gone leaves
    // the system's choice.
    if (request.startFolder != nullptr && *request.startFolder != 0) {
        Held<IShellItem> start;
        if (SUCCEEDED(SHCreateItemFromParsingName(Widen(request.startFolder).c_str(), nullptr, IID_IShellItem,
                                                  start.OutVoid())))
            dialog->SetFolder(start.Get());
    }

    if (FAILED(dialog->Show(owner)))
        return ItemDialogResult::kCancelled; // the user's cancel is a failure of Show too
    return ReadResults(dialog.Get(), request.multiple, paths) ? ItemDialogResult::kPicked
                                                              : ItemDialogResult::kCancelled;
}
