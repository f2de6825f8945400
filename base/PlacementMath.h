#pragma once
// The arithmetic of window placement, free of the platform so it can be
// tested with any screen layout: centring a window in an area and pulling a
// restored position back inside the virtual screen (the bounding rectangle of
// all monitors). Rectangles have right and bottom exclusive.

#include <cstdint>

namespace placement {

struct Rect {
    int32_t left, top, right, bottom;
};

struct Point {
    int32_t x, y;
};

// left = x, top = y, right = x + cx, bottom = y + cy (the metrics 76 to 79).
Rect VirtualScreenFromMetrics(int32_t x, int32_t y, int32_t cx, int32_t cy);

// Top-left corner of a width x height window centred in area, then moved
// inside virtualScreen. For a window larger than the virtual screen the left
// and top edges win.
Point CenteredTopLeft(const Rect& area, int32_t width, int32_t height, const Rect& virtualScreen);

// The restored top-left corner topLeft of a width x height window, pulled
// inside virtualScreen. A window wider (taller) than the virtual screen keeps
// its left (top) edge on the screen's left (top) edge.
Point KeptTopLeft(Point topLeft, int32_t width, int32_t height, const Rect& virtualScreen);

// r moved so that its top-left corner is (x, y), its size kept.
void MoveTopLeft(Rect& r, int32_t x, int32_t y);

// The value of system metric index on a system without multi-monitor
// support: the virtual screen is the primary screen. systemMetric answers
// the metrics every system has.
int32_t FallbackMetric(int32_t index, int32_t (*systemMetric)(int32_t));

} // namespace placement
