#include "framework/SaveDialog.h"

#include "base/Wide.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::wstring> FilterTexts(const char* list) {
    std::vector<std::wstring> texts;
    for (const char* p = list; p != nullptr && *p != 0; p += std::strlen(p) + 1)
        texts.push_back(Widen(p));
    return texts;
}

// The extension of a filter's first pattern: "psd" of "*.psd;*.psb".
std::wstring FirstExtension(const std::wstring& pattern) {
    const size_t dot = pattern.find(L'.');
    if (dot == std::wstring::npos)
        return std::wstring();
    const size_t end = pattern.find(L';', dot);
    return pattern.substr(dot + 1, end == std::wstring::npos ? std::wstring::npos : end - dot - 1);
}

// Follows the type list: the dialog adds the extension of the type chosen
// to a name typed without one, not the one it started with. The object
// lives on the stack of the dialog's run, which Advise and Unadvise bracket.
class TypeFollower : public IFileDialogEvents {
public:
    explicit TypeFollower(const std::vector<COMDLG_FILTERSPEC>& fileTypes) : types(fileTypes) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IFileDialogEvents)) {
            *out = static_cast<IFileDialogEvents*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog* dialog) override {
        UINT index = 0;
        if (SUCCEEDED(dialog->GetFileTypeIndex(&index)) && index >= 1 && index <= types.size()) {
            const std::wstring extension = FirstExtension(types[index - 1].pszSpec);
            if (!extension.empty())
                dialog->SetDefaultExtension(extension.c_str());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*, FDE_SHAREVIOLATION_RESPONSE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override {
        return E_NOTIMPL;
    }

private:
    const std::vector<COMDLG_FILTERSPEC>& types;
};

enum class Answer { kSaved, kCancelled, kUnavailable };

Answer RunItemSaveDialog(HWND owner, const SaveDialogRequest& request, std::string& path, uint32_t& typeIndex) {
    IFileSaveDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                reinterpret_cast<void**>(&dialog))))
        return Answer::kUnavailable;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // Only file-system paths: the writers take a path.
    dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_OVERWRITEPROMPT);
    const std::vector<std::wstring> texts = FilterTexts(request.filter);
    std::vector<COMDLG_FILTERSPEC> types;
    for (size_t i = 0; i + 1 < texts.size(); i += 2)
        types.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    if (!types.empty()) {
        dialog->SetFileTypes(UINT(types.size()), types.data());
        dialog->SetFileTypeIndex(request.typeIndex);
    }
    if (request.defaultExtension != nullptr && *request.defaultExtension != 0)
        dialog->SetDefaultExtension(Widen(request.defaultExtension).c_str());
    if (request.fileName != nullptr && *request.fileName != 0)
        dialog->SetFileName(Widen(request.fileName).c_str());
    // SetFolder, not SetDefaultFolder: the document's folder, not the one
    // the dialog remembers.
    if (request.startFolder != nullptr && *request.startFolder != 0) {
        IShellItem* start = nullptr;
        if (SUCCEEDED(SHCreateItemFromParsingName(Widen(request.startFolder).c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(&start)))) {
            dialog->SetFolder(start);
            start->Release();
        }
    }
    TypeFollower follower(types);
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(dialog->Advise(&follower, &cookie));
    const bool shown = SUCCEEDED(dialog->Show(owner));
    if (advised)
        dialog->Unadvise(cookie);
    Answer answer = Answer::kCancelled; // the user's cancel is a failure of Show too
    IShellItem* item = nullptr;
    wchar_t* wide = nullptr;
    if (shown && SUCCEEDED(dialog->GetResult(&item)) && SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &wide)) &&
        wide != nullptr) {
        path = Narrow(wide);
        CoTaskMemFree(wide);
        UINT index = request.typeIndex;
        dialog->GetFileTypeIndex(&index);
        typeIndex = index;
        answer = path.empty() ? Answer::kCancelled : Answer::kSaved;
    }
    if (item != nullptr)
        item->Release();
    dialog->Release();
    return answer;
}

} // namespace

bool RunSaveDialog(HWND owner, const SaveDialogRequest& request, std::string& path, uint32_t& typeIndex) {
    switch (RunItemSaveDialog(owner, request, path, typeIndex)) {
    case Answer::kSaved:
        return true;
    case Answer::kCancelled:
        return false;
    case Answer::kUnavailable:
        break;
    }
    std::wstring filter;
    for (const std::wstring& text : FilterTexts(request.filter)) {
        filter += text;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    const std::wstring extension = Widen(request.defaultExtension);
    const std::wstring folder = Widen(request.startFolder);
    std::vector<wchar_t> file(32768, L'\0');
    Widen(request.fileName).copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = request.typeIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    dialog.lpstrDefExt = extension.c_str();
    if (GetSaveFileNameW(&dialog) == 0)
        return false;
    path = Narrow(file.data());
    typeIndex = dialog.nFilterIndex;
    return !path.empty();
}
