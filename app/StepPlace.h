#pragma once
// Where the view stands in a picture, kept from one document to the next so
// that the pages of a comic can be read at 200% by stepping: a view at the
// picture's top-left (or its bottom-right) edge stays at that edge of the
// next picture, and anywhere between, the view's centre stays at the same
// fraction of the picture's width and height. Each direction is kept on its
// own. Free of the platform so that every case can be checked directly.

#include <cstdint>

struct AxisPlace {
    enum class Edge { Start, Middle, End };
    Edge edge = Edge::Start;
    // With Middle: the view's centre as a fraction of the picture's length,
    // in millionths.
    int32_t centre = 0;
};

struct StepPlace {
    AxisPlace across;
    AxisPlace down;
};

// The place along one side of a view page pixels long, scrolled to position,
// over a picture shown shown pixels long. A picture that fits (not
// scrolling) counts as seen from its start.
AxisPlace PlaceOnAxis(int32_t position, int32_t shown, int32_t page);

// The scroll position that stands at place in a picture shown shown pixels
// long in a page of page pixels: within 0 to shown - page, 0 when it fits
// (it is centred then).
int32_t PositionOnAxis(const AxisPlace& place, int32_t shown, int32_t page);
