#pragma once
// The image view's arithmetic: the zoom sequence, scroll ranges, what part of
// the picture is painted where, and drag-to-scroll. Kept apart from the
// window so it can be checked directly.

#include <cstdint>

// The zoom sequence runs 25, 50, 75, 100 (steps of 25) and 200 to 500 (steps
// of 100). A scale read from the settings file may be anything; 0 or below
// would reach a division, so it is taken as 100.
int32_t UsableScale(int32_t scale);

// One step up or down; the same value when the end of the sequence is
// reached (exactly 500 going up, exactly 25 going down).
int32_t ZoomStepScale(int32_t scale, bool up);

// The next value of the sequence itself above (up) or below scale, as from a
// fitted scale; scale when there is none.
int32_t SequenceStepScale(int32_t scale, bool up);

// The scale of a Zoom submenu command, 40010 to 40017 -> 25 ... 500.
int32_t ScaleForZoomCommand(int id);

// Displayed size of a picture side at scale percent, kept within 32 bits.
int32_t DisplayedSize(int32_t pixels, int32_t scale);

struct PaintPlan {
    int32_t sourceX = 0;     // first picture column shown
    int32_t sourceY = 0;     // first picture row shown
    int32_t shownWidth = 0;  // displayed width of the picture from sourceX
    int32_t shownHeight = 0; // displayed height from sourceY
};

// What to paint for scroll positions (in displayed pixels) of a picture of
// width x height at scale.
PaintPlan PlanPaint(int32_t width, int32_t height, int32_t scale, int32_t horizontalPos, int32_t verticalPos);

// New scroll position after the pointer moved from last to now while
// dragging: the picture follows the pointer, scale / 100 times as far.
int32_t DragScrollPosition(int32_t position, int32_t last, int32_t now, int32_t scale);
