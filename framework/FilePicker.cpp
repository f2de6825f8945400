#include "framework/FilePicker.h"

#include <commdlg.h>

#include <cstring>

namespace {

// Room of the multiple-selection result.
constexpr int32_t kListRoom = 8000;

} // namespace

bool PickFile(HWND owner, const char* filter, const char* defaultExtension, const char* initialFolder, Str& out) {
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = out.data;
    dialog.nMaxFile = static_cast<DWORD>(out.BufferSize());
    dialog.lpstrInitialDir = initialFolder;
    dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    dialog.lpstrDefExt = defaultExtension;
    return GetOpenFileNameA(&dialog) != 0;
}

bool OpenFileList::Pick(HWND owner, const char* filter, const char* defaultExtension, const char* initialFolder) {
    buffer.Reserve(kListRoom);
    std::memset(buffer.data, 0, static_cast<size_t>(kListRoom));
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = buffer.data;
    // One byte short of the buffer: the final NUL of the list always stays.
    dialog.nMaxFile = static_cast<DWORD>(buffer.BufferSize() - 1);
    dialog.lpstrInitialDir = initialFolder;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = defaultExtension;
    if (!GetOpenFileNameA(&dialog))
        return false;
    ReadSelection(dialog.nFileOffset);
    return true;
}

void OpenFileList::ReadSelection(uint16_t nameOffset) {
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
