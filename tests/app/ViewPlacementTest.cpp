#include "app/ViewGeometry.h"
#include "app/ViewPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewPlacement, ABarShowsOnlyWhereItsDirectionScrollsAndMayBringTheOther) {
    struct Case {
        int32_t shownWidth, shownHeight;
        bool horizontal, vertical;
        int32_t clientWidth, clientHeight, offsetX, offsetY;
    } cases[] = {
        {100, 50, false, false, 400, 300, 150, 125}, // small: centred, no bar
        {400, 300, false, false, 400, 300, 0, 0},    // exactly the view: no bar
        {401, 200, true, false, 400, 284, 0, 42},    // wider: only the horizontal bar
        {200, 301, false, true, 384, 300, 92, 0},    // taller: only the vertical bar
        {390, 295, false, false, 400, 300, 5, 2},    // nearly the view: still no bar
        {390, 301, true, true, 384, 284, 0, 0},      // the vertical bar makes it scroll across too
        {401, 290, true, true, 384, 284, 0, 0},      // and the other way round
        {1000, 1000, true, true, 384, 284, 0, 0},
    };
    for (const Case& c : cases) {
        const ViewPlacement p = PlaceInView(c.shownWidth, c.shownHeight, 400, 300, 16, 16);
        EXPECT_EQ(p.horizontalBar, c.horizontal) << c.shownWidth << "x" << c.shownHeight;
        EXPECT_EQ(p.verticalBar, c.vertical) << c.shownWidth << "x" << c.shownHeight;
        EXPECT_EQ(p.clientWidth, c.clientWidth) << c.shownWidth << "x" << c.shownHeight;
        EXPECT_EQ(p.clientHeight, c.clientHeight) << c.shownWidth << "x" << c.shownHeight;
        EXPECT_EQ(p.offsetX, c.offsetX) << c.shownWidth << "x" << c.shownHeight;
        EXPECT_EQ(p.offsetY, c.offsetY) << c.shownWidth << "x" << c.shownHeight;
    }
}

TEST(ViewPlacement, FitScaleFitsTheWholePictureAndNeverEnlarges) {
    struct Case {
        int32_t width, height, viewWidth, viewHeight, scale;
    } cases[] = {
        {4096, 4096, 800, 600, 14}, {1000, 500, 500, 500, 50}, {1000, 500, 999, 500, 99}, {100, 100, 800, 600, 100},
        {100000, 10, 50, 50, 1},    {0, 0, 800, 600, 100},     {640, 480, 0, 0, 100},
    };
    for (const Case& c : cases) {
        const int32_t scale = FitScale(c.width, c.height, c.viewWidth, c.viewHeight);
        EXPECT_EQ(scale, c.scale) << c.width << "x" << c.height << " in " << c.viewWidth << "x" << c.viewHeight;
        if (c.width > 0 && c.viewWidth > 0 && c.scale > 1) {
            // Fitted means no scroll bar at all.
            const ViewPlacement p = PlaceInView(DisplayedSize(c.width, scale), DisplayedSize(c.height, scale),
                                                c.viewWidth, c.viewHeight, 16, 16);
            EXPECT_FALSE(p.horizontalBar || p.verticalBar) << c.width << "x" << c.height;
        }
    }
}

TEST(ViewPlacement, ZoomKeepsThePictureUnderTheAnchor) {
    // A 1000-pixel side in a 400-pixel view: the picture point under the
    // anchor before the zoom is under it after, unless the edges stop it.
    struct Case {
        int32_t position, offset, anchor, oldScale, newScale, expected;
    } cases[] = {
        {300, 0, 200, 100, 200, 800},  // point 500 at 100% is 1000 at 200%; 1000 - 200
        {800, 0, 200, 200, 100, 300},  // and back
        {0, 0, 0, 100, 300, 0},        // the anchor at the left edge keeps the edge
        {600, 0, 399, 100, 50, 100},   // at 50% (500 shown) the last position is 100
        {0, 300, 350, 25, 100, 0},     // centred before: point 50 at 25% is 200 at 100%; 200 - 350 stops at 0
        {0, 150, 250, 50, 100, 0},     // the point under 250 was picture pixel 200; 200 - 250 stops at 0
        {600, 0, 200, 100, 500, 3800}, // 800 -> 4000, minus 200
    };
    const int32_t side = 1000;
    for (const Case& c : cases) {
        const int32_t shown = DisplayedSize(side, c.newScale);
        EXPECT_EQ(ZoomAnchoredPosition(c.position, c.offset, c.anchor, c.oldScale, c.newScale, shown, 400), c.expected)
            << c.position << " " << c.anchor << " " << c.oldScale << "->" << c.newScale;
    }
}

TEST(ZoomSequence, FromAFittedScaleTheStepsJoinTheSequence) {
    const int32_t cases[][3] = {{14, 25, 14},   {37, 50, 25},    {75, 100, 50},
                                {100, 200, 75}, {500, 500, 400}, {10, 25, 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(SequenceStepScale(c[0], true), c[1]) << c[0];
        EXPECT_EQ(SequenceStepScale(c[0], false), c[2]) << c[0];
    }
}

} // namespace
