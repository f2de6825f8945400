#pragma once
// The image view's arithmetic: the zoom sequence, scroll ranges, what part of
// the picture is painted where, and drag-to-scroll. Kept apart from the
// window so it can be checked directly.

#include <cstdint>

// The zoom sequence runs 25, 33, 50, 67, 75, 100, 150, 200, 300, 400, 500:
// the steps a painter checks a picture at, finer about 100%. A scale read
// from the settings file may be anything; 0 or below would reach a
// division, so it is taken as 100.
int32_t UsableScale(int32_t scale);

// One step up or down: the next value of the sequence above (up) or below
// scale, so a scale off the sequence (fitted, or from the settings file)
// joins it; scale itself when there is none (at 500 going up, at 25 going
// down).
int32_t ZoomStepScale(int32_t scale, bool up);
int32_t SequenceStepScale(int32_t scale, bool up);

// The scale of a Zoom submenu command (40010 to 40017 -> 25 ... 500, and the
// finer steps' own commands); 0 for any other id.
int32_t ScaleForZoomCommand(int id);
// The Zoom submenu's commands, for marking the one in use.
extern const int kZoomCommands[];
extern const int kZoomCommandCount;

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
