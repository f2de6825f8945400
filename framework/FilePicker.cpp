#include "framework/FilePicker.h"

#include "base/Wide.h"
#include "framework/ItemDialog.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Room of the multiple-selection result.
constexpr int32_t kListRoom = 8000;

// Filters are lists of texts, each ending in NUL, the list in one more.
std::wstring WidenList(const char* list) {
    std::wstring wide;
    for (const char* p = list; *p != 0; p += std::strlen(p) + 1) {
        wide += Widen(p);
        wide.push_back(L'\0');
    }
    wide.push_back(L'\0');
    return wide;
}

} // namespace

bool PickFile(HWND owner, const char* filter, const char* defaultExtension, const char* initialFolder, Str& out) {
    ItemDialogRequest request;
    request.filter = filter;
    request.defaultExtension = defaultExtension;
    request.startFolder = initialFolder;
    request.fileName = out.Text();
    std::vector<std::string> paths;
    switch (RunItemDialog(owner, request, paths)) {
    case ItemDialogResult::kPicked:
        out.Assign(paths.front().c_str());
        return true;
    case ItemDialogResult::kCancelled:
        return false;
    case ItemDialogResult::kUnavailable:
        break;
    }
    const std::wstring wideFilter = WidenList(filter);
    const std::wstring wideExtension = Widen(defaultExtension);
    const std::wstring wideFolder = Widen(initialFolder);
    std::vector<wchar_t> file(32768, L'\0');
    Widen(out.Text()).copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = wideFolder.empty() ? nullptr : wideFolder.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    dialog.lpstrDefExt = wideExtension.c_str();
    if (GetOpenFileNameW(&dialog) == 0)
        return false;
    Narrow(file.data(), out);
    return true;
}

bool OpenFileList::Pick(HWND owner, const char* filter, const char* defaultExtension, const char* initialFolder) {
    ItemDialogRequest request;
    request.filter = filter;
    request.defaultExtension = defaultExtension;
    request.startFolder = initialFolder;
    request.multiple = true;
    std::vector<std::string> paths;
    switch (RunItemDialog(owner, request, paths)) {
    case ItemDialogResult::kPicked:
        TakePaths(paths);
        return true;
    case ItemDialogResult::kCancelled:
        return false;
    case ItemDialogResult::kUnavailable:
        break;
    }
    const std::wstring wideFilter = WidenList(filter);
    const std::wstring wideExtension = Widen(defaultExtension);
    const std::wstring wideFolder = Widen(initialFolder);
    std::vector<wchar_t> list(size_t(kListRoom), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.lpstrFile = list.data();
    // One short of the buffer: the final NUL of the list always stays.
    dialog.nMaxFile = static_cast<DWORD>(list.size() - 1);
    dialog.lpstrInitialDir = wideFolder.empty() ? nullptr : wideFolder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = wideExtension.c_str();
    if (!GetOpenFileNameW(&dialog))
        return false;
    // The list in UTF-8 with its NULs, and where its first name starts there.
    size_t length = 0;
    while (length + 1 < list.size() && (list[length] != L'\0' || list[length + 1] != L'\0'))
        ++length;
    const std::string text = Narrow(list.data(), length + 2);
    TakeAnswer(text, Narrow(list.data(), dialog.nFileOffset).size());
    return true;
}

void OpenFileList::TakePaths(const std::vector<std::string>& paths) {
    // In the older dialog's form, so that both are read one way: the one
    // full path, or the folder the items share followed by their names.
    std::string text;
    size_t nameOffset = 0;
    const std::string& first = paths.front();
    const size_t separator = first.rfind('\\');
    const size_t folderLength = separator == std::string::npos ? 0 : separator;
    if (paths.size() == 1) {
        text = first;
        nameOffset = separator == std::string::npos ? 0 : separator + 1;
        text.push_back('\0');
    } else {
        text.assign(first, 0, folderLength);
        text.push_back('\0');
        nameOffset = text.size();
        // Every item comes from the folder the dialog shows; their names are
        // what follows it.
        for (const std::string& path : paths) {
            const size_t own = path.rfind('\\');
            text.append(path, own == std::string::npos ? 0 : own + 1, std::string::npos);
            text.push_back('\0');
        }
    }
    text.push_back('\0');
    TakeAnswer(text, nameOffset);
}

void OpenFileList::TakeAnswer(const std::string& text, size_t nameOffset) {
    buffer.Reserve(int32_t(text.size()) + 1);
    std::memset(buffer.data, 0, size_t(buffer.BufferSize()));
    std::memcpy(buffer.data, text.data(), text.size());
    // The item dialog's paths can be long enough for an offset beyond the
    // older dialog's 16 bits.
    ReadSelection(int32_t(nameOffset));
}

void OpenFileList::ReadSelection(int32_t nameOffset) {
    folder.Assign(buffer.Text());
    cursor = nameOffset;
    const int32_t afterFirst = folder.Length() + 1;
    // One file: the first text is its full path, and no name follows it.
    if (buffer.CharAt(afterFirst) == '\0')
        folder.RemoveFileName();
}

bool OpenFileList::Next(Str& out) {
    if (buffer.data == nullptr || cursor < 0 || cursor >= buffer.capacity || buffer.data[cursor] == '\0')
        return false;
    const char* name = buffer.data + cursor;
    out.Assign(name);
    cursor += static_cast<int32_t>(std::strlen(name)) + 1;
    return true;
}
