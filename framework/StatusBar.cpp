#include "framework/StatusBar.h"

#include "base/Wide.h"
#include "framework/Dpi.h"
#include "framework/MessageFont.h"

#include <commctrl.h>

bool StatusBar::CreateBar(HWND parent, int childId) {
    // No size grip: the frame's own border resizes it, and the grip would
    // sit over the view's corner in a maximised window.
    return CreateChild(0, STATUSCLASSNAMEA, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, childId);
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
