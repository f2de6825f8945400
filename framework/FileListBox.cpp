#include "framework/FileListBox.h"

#include "framework/MouseActionSink.h"
#include "framework/Str.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"

#include <cstring>

namespace {

constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_SORT | LBS_NOTIFY; // 0x50300103
constexpr int kFontHeight = 12;

} // namespace

bool FileListBox::CreateList(HWND parent) {
    // The main frame sizes the list afterwards.
    if (!Create(WS_EX_CLIENTEDGE, kListStyle, 0, 0, 100, 100, parent, IDC_FILE_LIST))
        return false;
    Subclass();
    font.CreateFont(kFontHeight, FW_NORMAL, SHIFTJIS_CHARSET, msg::kGothicFace);
    if (font.handle != nullptr)
        SetFont(font.Font(), true);
    return true;
}

bool FileListBox::AddFile(const Str& fullPath, bool checkDuplicates) {
    if (checkDuplicates) {
        const int count = static_cast<int>(Send(LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const char* path = PathAt(i);
            if (path != nullptr && fullPath.CompareNoCase(path) == 0)
                return false;
        }
    }
    Str name;
    fullPath.GetFileName(name);
    const int index = AddString(name.Text());
    if (index < 0)
        return false; // the list is full: nothing to own
    const size_t size = static_cast<size_t>(fullPath.Length()) + 1;
    char* copy = new char[size];
    std::memcpy(copy, fullPath.Text(), size);
    SetItemData(index, reinterpret_cast<LPARAM>(copy));
    return true;
}

void FileListBox::ClearFiles() {
    const int count = static_cast<int>(Send(LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        delete[] PathAt(i);
        SetItemData(i, 0);
    }
    Send(LB_RESETCONTENT, 0, 0);
}

const char* FileListBox::PathAt(int index) {
    const LRESULT data = GetItemData(index);
    return data == LB_ERR ? nullptr : reinterpret_cast<const char*>(data);
}

bool FileListBox::OnMouseWheel(uint32_t, uint32_t delta, uint32_t, uint32_t) {
    const int16_t signedDelta = static_cast<int16_t>(delta);
    if (sink != nullptr)
        sink->RunMouseAction(signedDelta < 0 ? kMouseDown : kMouseUp);
    // Handled: the list never scrolls by the wheel.
    return true;
}
