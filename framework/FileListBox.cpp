#include "framework/FileListBox.h"

#include "framework/Dpi.h"
#include "framework/MessageFont.h"
#include "framework/MouseInput.h"
#include "base/Wide.h"
#include "framework/WheelSink.h"

namespace {

// No LBS_SORT: the list box would sort pic10 before pic2, and the labels
// come in the document list's own order.
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY; // 0x50300101

} // namespace

bool FileListBox::CreateList(HWND parent, int controlId) {
    // The main frame sizes the list afterwards.
    if (!Create(WS_EX_CLIENTEDGE, kListStyle, 0, 0, 100, 100, parent, controlId))
        return false;
    Subclass();
    SetDpi(WindowDpi(hwnd));
    return true;
}

void FileListBox::SetDpi(uint32_t dpi) {
    // A list item must show any file name: the message font of the user's
    // system, in whatever character set the system's font linking needs for
    // each name, not a face of one language.
    // The list box measures its item height from the font it is given.
    if (SetMessageFont(hwnd, dpi, font))
        UpdateHorizontalExtent();
}

void FileListBox::ShowItems(const std::vector<std::string>& labels, int selected) {
    const LRESULT top = Send(LB_GETTOPINDEX, 0, 0);
    Send(WM_SETREDRAW, FALSE, 0);
    Send(LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const std::string& label : labels)
        bytes += (label.size() + 1) * sizeof(wchar_t);
    Send(LB_INITSTORAGE, static_cast<WPARAM>(labels.size()), static_cast<LPARAM>(bytes));
    for (const std::string& label : labels)
        Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(label.c_str()).c_str()));
    if (top > 0 && top < static_cast<LRESULT>(labels.size()))
        Send(LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SetCurSel(selected);
    Send(WM_SETREDRAW, TRUE, 0);
    UpdateHorizontalExtent();
    InvalidateRect(hwnd, nullptr, TRUE);
}

bool FileListBox::OnMouseWheel(uint32_t, uint32_t delta, uint32_t, uint32_t) {
    if (sink != nullptr)
        sink->OnWheelDelta(WheelDeltaOf(delta));
    // Handled: the list never scrolls by the wheel.
    return true;
}
