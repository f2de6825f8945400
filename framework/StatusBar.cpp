#include "framework/StatusBar.h"

#include "base/Wide.h"
#include "framework/Dpi.h"
#include "framework/MessageFont.h"

#include <commctrl.h>

bool StatusBar::CreateBar(HWND parent, int childId) {
    // No size grip: the frame's own border resizes it, and the grip would
    // sit over the view's corner in a maximised window.
    return CreateChild(0, STATUSCLASSNAMEA, WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS, 0, 0, 0, 0, parent, childId);
}

int32_t StatusBar::TextWidth(const std::wstring& text) {
    HDC dc = GetDC(hwnd);
    if (dc == nullptr)
        return 0;
    HGDIOBJ kept = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, kept);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

void StatusBar::SetPartsAndTexts(const int32_t* widths, const char* const* texts, int count, uint32_t dpi) {
    partCount = count < 8 ? count : 8;
    // The control draws a part's text inside its borders with a few
    // pixels of margin each side; this leaves room for both.
    const int32_t margin = ScaleForDpi(12, dpi);
    int edges[8] = {};
    std::wstring wide[8];
    int32_t right = 0;
    for (int i = 0; i < partCount; ++i) {
        partWidths[i] = widths[i];
        wide[i] = Widen(texts[i]);
        int32_t width = ScaleForDpi(widths[i], dpi);
        const int32_t needed = wide[i].empty() ? 0 : TextWidth(wide[i]) + margin;
        if (needed > width)
            width = needed;
        right += width;
        // -1: the last part runs to the bar's right edge.
        edges[i] = i + 1 == partCount ? -1 : right;
    }
    Send(SB_SETPARTS, WPARAM(partCount), reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < partCount; ++i) {
        Send(SB_SETTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(wide[i].c_str()));
        Send(SB_SETTIPTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(wide[i].c_str()));
    }
}

void StatusBar::SetParts(const int32_t* widths, int count, uint32_t dpi) {
    partCount = count < 8 ? count : 8;
    int edges[8] = {};
    int32_t right = 0;
    for (int i = 0; i < partCount; ++i) {
        partWidths[i] = widths[i];
        right += ScaleForDpi(widths[i], dpi);
        // -1: the last part runs to the bar's right edge.
        edges[i] = i + 1 == partCount ? -1 : right;
    }
    Send(SB_SETPARTS, WPARAM(partCount), reinterpret_cast<LPARAM>(edges));
}

void StatusBar::SetDpi(uint32_t dpi) {
    // The control keeps the status font of the system DPI on a monitor of
    // another scale unless it is given one.
    LOGFONTW face{};
    if (StatusFontAt(dpi, face) && font.CreateFromLogFont(face))
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.Font()), TRUE);
}

void StatusBar::SetPartText(int part, const char* text) {
    // A Unicode bar: the text (a failure's reason, a name) may hold any character.
    const std::wstring wide = Widen(text);
    Send(SB_SETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(wide.c_str()));
}

int32_t StatusBar::Fit() {
    // The control places itself at its parent's bottom on WM_SIZE.
    Send(WM_SIZE, 0, 0);
    RECT area{};
    ::GetWindowRect(hwnd, &area);
    return area.bottom - area.top;
}
