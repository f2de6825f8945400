#pragma once
// The program's rule for turning a scroll request into a new position, free
// of the platform so it can be tested with any range.

#include <cstdint>

struct ScrollState {
    int32_t minimum;
    int32_t maximum;
    int32_t page;
    int32_t position;
};

// New position for scroll code (SB_LINEUP 0 ... SB_BOTTOM 7; any other code
// keeps the position) with thumb, the 16-bit thumb position of the message.
// Clamped to [minimum, maximum], then pulled back so the last page ends at
// the maximum; with a page larger than the range that yields a value below
// the minimum, which the platform's scroll bar clamps when it is stored.
int32_t NextScrollPosition(uint32_t code, uint32_t thumb, const ScrollState& state);

// The 32-bit thumb position of a WM_HSCROLL/WM_VSCROLL thumb message, whose
// own field holds only the low 16 bits: the bar's track position when it
// agrees with them (a real drag of a range beyond 65,535 would otherwise
// wrap back to the start), else the message's value, as for a message that
// another program posted while nothing was being dragged.
int32_t ThumbPosition(uint32_t messageThumb, int32_t trackPosition);
