#pragma once
// ScrollBar: one scroll bar of a window (its horizontal or vertical bar) or a
// scroll-bar control, and the program's rule for scroll requests.

#include "framework/Control.h"

#include <cstdint>

class ScrollBar : public Control {
public:
    // kind: SB_HORZ (0), SB_VERT (1) of window, or SB_CTL (2) with window the control.
    void Init(HWND window, uint16_t kind);
    // keepVisible: the bar stays, disabled, when nothing can scroll.
    void SetRange(int32_t minimum, int32_t maximum, uint32_t page, bool keepVisible, bool redraw);
    void SetPos(int32_t position, bool redraw);
    int32_t GetPos();
    // Applies a WM_HSCROLL/WM_VSCROLL request (code, 16-bit thumb, the
    // message's scroll-bar window) and returns the position stored, or -1
    // when the message is for another bar. The platform keeps the stored
    // position inside its limits, so callers read it back with GetPos.
    int32_t HandleScroll(uint32_t code, uint32_t thumb, HWND source);

    uint16_t bar = SB_HORZ;
};
