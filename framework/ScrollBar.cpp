#include "framework/ScrollBar.h"

#include "base/ScrollMath.h"

void ScrollBar::Init(HWND window, uint16_t kind) {
    hwnd = window;
    bar = kind;
}

void ScrollBar::SetRange(int32_t minimum, int32_t maximum, uint32_t page, bool keepVisible, bool redraw) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | (keepVisible ? SIF_DISABLENOSCROLL : 0);
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page;
    SetScrollInfo(hwnd, bar, &info, redraw);
}

void ScrollBar::SetPos(int32_t position, bool redraw) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(hwnd, bar, &info, redraw);
}

int32_t ScrollBar::GetPos() {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    GetScrollInfo(hwnd, bar, &info);
    return info.nPos;
}

int32_t ScrollBar::HandleScroll(uint32_t code, uint32_t thumb, HWND source) {
    if (bar == SB_CTL ? source != hwnd : source != nullptr)
        return -1;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(hwnd, bar, &info);
    const uint32_t fullThumb = static_cast<uint32_t>(ThumbPosition(thumb, info.nTrackPos));
    const int32_t position =
        NextScrollPosition(code, fullThumb, {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos});
    SetPos(position, true);
    return position;
}
