#pragma once
// Where the picture sits in the image view: which scroll bars it needs, how a
// picture smaller than the view is centred, the scale that fits it into the
// view, and the scroll positions that keep one picture point under the
// cursor (or under the view's centre) across a zoom. Free of the platform so
// that every case can be checked directly.

#include <cstdint>

struct ViewPlacement {
    int32_t clientWidth = 0; // the view's client area once the bars are placed
    int32_t clientHeight = 0;
    bool horizontalBar = false; // a bar only where its direction scrolls
    bool verticalBar = false;
    int32_t offsetX = 0; // where the picture's left edge sits when it does not scroll: centred
    int32_t offsetY = 0;
};

// Places a picture shown at shownWidth x shownHeight in a view of
// fullWidth x fullHeight (its client area with no scroll bar shown). A bar
// takes barWidth (vertical) or barHeight (horizontal) pixels off the client
// area, which can make the other direction scroll too.
ViewPlacement PlaceInView(int32_t shownWidth, int32_t shownHeight, int32_t fullWidth, int32_t fullHeight,
                          int32_t barWidth, int32_t barHeight);

// The largest whole percent, at most 100 unless enlarge, at which the
// picture of width x height fits in a view of fullWidth x fullHeight; at
// least 1, and with enlarge at most kMaxFitScale. 100 for an empty picture
// or a view of no size.
int32_t FitScale(int32_t width, int32_t height, int32_t fullWidth, int32_t fullHeight, bool enlarge = false);
// A one-pixel picture enlarged to fit stops here: beyond it a pixel is
// larger than any screen.
constexpr int32_t kMaxFitScale = 100000;

// The scroll position along one side after a zoom from oldScale to newScale
// that keeps the picture point under anchor (client pixels) where it is.
// position and offset are the old scroll position and centring offset;
// newShown and page are the picture's new displayed length and the client
// length. The result is kept within 0 to newShown - page (0 when it does
// not scroll).
int32_t ZoomAnchoredPosition(int32_t position, int32_t offset, int32_t anchor, int32_t oldScale, int32_t newScale,
                             int32_t newShown, int32_t page);
