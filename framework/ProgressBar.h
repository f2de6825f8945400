#pragma once
// ProgressBar: a system progress control taken over and painted by the
// object: the filled part in the highlight colour, the rest in the button
// face, and a caption that changes colour exactly at the bar's edge.
//
// The conversion dialog writes the position and the caption on the
// interface thread (its worker posts them there). The lock still keeps the
// painter from reading a caption whose buffer is being moved, should a
// caller ever write them from another thread.

#include "framework/Control.h"
#include "base/Str.h"

#include <cstdint>
#include <mutex>

class ProgressBar : public Control {
public:
    // Stores the range; no repaint.
    void SetRange(int32_t minimum, int32_t maximum);
    // Stores value clamped to the range, then repaints.
    void SetPos(int32_t value);
    int32_t GetPos();
    // Stores the caption, repaints, and makes it the window text. Call it
    // from the thread that owns the control.
    void SetCaption(const char* text);

    // Draws the bar into dc over r with the parent window's font; OnPaint
    // calls it, and tests render into a memory context with it.
    void Paint(HDC dc, const RECT& r);

    bool OnPaint() override;

    int32_t minimum = 0;
    int32_t maximum = 100;
    int32_t position = 0;
    uint16_t textAlign = 1; // 0 left, 1 centred, 2 right
    Str caption;

private:
    std::mutex lock;
};
