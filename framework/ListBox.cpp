#include "framework/ListBox.h"

#include "framework/Dpi.h"
#include "base/Str.h"
#include "base/Wide.h"

#include <vector>

int ListBox::AddString(const char* text) {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str())));
}

LRESULT ListBox::GetText(int index, Str& out) {
    const int length = GetTextLen(index);
    if (length < 0)
        return LB_ERR;
    std::vector<wchar_t> wide(size_t(length) + 1, L'\0');
    const LRESULT got = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    if (got == LB_ERR)
        return LB_ERR;
    Narrow(wide.data(), out);
    return out.Length();
}

void ListBox::UpdateHorizontalExtent() {
    const int count = static_cast<int>(Send(LB_GETCOUNT, 0, 0));
    if (count <= 0)
        return;
    int longest = 0;
    int longestLength = 0;
    for (int i = 0; i < count; ++i) {
        const int length = GetTextLen(i);
        if (length > longestLength) {
            longest = i;
            longestLength = length;
        }
    }
    if (longestLength == 0)
        return;
    Str text;
    GetText(longest, text);

    HDC dc = GetDC(hwnd);
    HGDIOBJ previousFont = SelectObject(dc, GetFont());
    SIZE size{};
    const std::wstring wide = Widen(text.Text());
    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    SelectObject(dc, previousFont);
    ReleaseDC(hwnd, dc);
    // Room after the text, 8 pixels at 96 DPI.
    SetHorizontalExtent(size.cx + ScaleForDpi(8, WindowDpi(hwnd)));
}
