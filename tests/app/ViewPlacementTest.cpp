#include "app/ViewGeometry.h"
#include "app/ViewPlacement.h"
#include "app/ViewTurn.h"
#include "pixels/ImageBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

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
    const int32_t cases[][3] = {{14, 25, 14},   {37, 50, 33},    {75, 100, 67},
                                {100, 150, 75}, {500, 500, 400}, {10, 25, 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(SequenceStepScale(c[0], true), c[1]) << c[0];
        EXPECT_EQ(SequenceStepScale(c[0], false), c[2]) << c[0];
    }
}

TEST(ViewPlacement, FitEnlargesASmallPictureOnlyWhenAskedAndStopsAtItsCap) {
    struct Case {
        int32_t width, height, viewWidth, viewHeight, scale, enlarged;
    } cases[] = {
        {100, 100, 800, 600, 100, 600},        // small: the height decides
        {400, 100, 800, 600, 100, 200},        // the width decides
        {800, 600, 800, 600, 100, 100},        // exactly the view
        {4096, 4096, 800, 600, 14, 14},        // larger: the same fit either way
        {1, 1, 800, 600, 100, 60000},          // one pixel
        {1, 1, 2000, 2000, 100, kMaxFitScale}, // beyond the cap
        {0, 0, 800, 600, 100, 100},            // no picture
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitScale(c.width, c.height, c.viewWidth, c.viewHeight), c.scale) << c.width << "x" << c.height;
        const int32_t enlarged = FitScale(c.width, c.height, c.viewWidth, c.viewHeight, true);
        EXPECT_EQ(enlarged, c.enlarged) << c.width << "x" << c.height;
        if (c.width > 0 && enlarged < kMaxFitScale) {
            // Enlarged as far as it goes: no bar at that scale, and one
            // percent larger would need one.
            const auto fits = [&](int32_t scale) {
                const ViewPlacement p = PlaceInView(DisplayedSize(c.width, scale), DisplayedSize(c.height, scale),
                                                    c.viewWidth, c.viewHeight, 16, 16);
                return !p.horizontalBar && !p.verticalBar;
            };
            EXPECT_TRUE(fits(enlarged)) << c.width << "x" << c.height;
            EXPECT_FALSE(fits(enlarged + std::max(1, enlarged / 100))) << c.width << "x" << c.height;
        }
    }
}

// The eight ways of showing a picture, with where the corners of a 5 x 3
// picture end up: worked out by hand from "mirror left to right, then turn
// clockwise".
struct TurnCase {
    bool mirrored;
    int32_t quarters;
    PicturePoint topLeft, topRight, bottomLeft, bottomRight;
    const char* text;
};
const TurnCase kTurns[] = {
    {false, 0, {0, 0}, {4, 0}, {0, 2}, {4, 2}, ""},
    {false, 1, {2, 0}, {2, 4}, {0, 0}, {0, 4}, "90\xC2\xB0"},
    {false, 2, {4, 2}, {0, 2}, {4, 0}, {0, 0}, "180\xC2\xB0"},
    {false, 3, {0, 4}, {0, 0}, {2, 4}, {2, 0}, "270\xC2\xB0"},
    {true, 0, {4, 0}, {0, 0}, {4, 2}, {0, 2}, "Mirrored"},
    {true, 1, {2, 4}, {2, 0}, {0, 4}, {0, 0}, "Mirrored, 90\xC2\xB0"},
    {true, 2, {0, 2}, {4, 2}, {0, 0}, {4, 0}, "Mirrored, 180\xC2\xB0"},
    {true, 3, {0, 0}, {0, 4}, {2, 0}, {2, 4}, "Mirrored, 270\xC2\xB0"},
};

std::string Named(const TurnCase& c) {
    return std::string(c.mirrored ? "mirrored " : "") + std::to_string(c.quarters * 90);
}

bool operator==(PicturePoint a, PicturePoint b) {
    return a.x == b.x && a.y == b.y;
}

TEST(ViewTurn, CornersGoWhereTheTurnPutsThemAndComeBack) {
    for (const TurnCase& c : kTurns) {
        const ViewTurn turn{c.mirrored, c.quarters};
        EXPECT_EQ(TurnedWidth(turn, 5, 3), c.quarters % 2 == 0 ? 5 : 3) << Named(c);
        EXPECT_EQ(TurnedHeight(turn, 5, 3), c.quarters % 2 == 0 ? 3 : 5) << Named(c);
        const PicturePoint corners[4] = {{0, 0}, {4, 0}, {0, 2}, {4, 2}};
        const PicturePoint expected[4] = {c.topLeft, c.topRight, c.bottomLeft, c.bottomRight};
        for (int i = 0; i < 4; ++i) {
            const PicturePoint shown = TurnedPoint(turn, 5, 3, corners[i].x, corners[i].y);
            EXPECT_TRUE(shown == expected[i]) << Named(c) << " corner " << i << ": " << shown.x << "," << shown.y;
        }
        // Every pixel comes back from where it is shown.
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                const PicturePoint shown = TurnedPoint(turn, 5, 3, x, y);
                EXPECT_TRUE(SourcePoint(turn, 5, 3, shown.x, shown.y) == (PicturePoint{x, y})) << Named(c);
            }
        EXPECT_EQ(TurnText(turn, "Mirrored", "%d\xC2\xB0", ", "), c.text);
    }
}

TEST(ViewTurn, CommandsActOnWhatIsShown) {
    // Whatever the view shows, Flip mirrors it left to right on the screen,
    // Rotate right turns it a quarter clockwise and Rotate left back.
    for (const TurnCase& c : kTurns) {
        const ViewTurn turn{c.mirrored, c.quarters};
        const int32_t shownWidth = TurnedWidth(turn, 5, 3);
        const int32_t shownHeight = TurnedHeight(turn, 5, 3);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                const PicturePoint now = TurnedPoint(turn, 5, 3, x, y);
                EXPECT_TRUE(TurnedPoint(Flipped(turn), 5, 3, x, y) == (PicturePoint{shownWidth - 1 - now.x, now.y}))
                    << Named(c);
                EXPECT_TRUE(TurnedPoint(TurnedRight(turn), 5, 3, x, y) ==
                            (PicturePoint{shownHeight - 1 - now.y, now.x}))
                    << Named(c);
                EXPECT_TRUE(TurnedPoint(TurnedLeft(TurnedRight(turn)), 5, 3, x, y) == now) << Named(c);
            }
        const ViewTurn twice = Flipped(Flipped(turn));
        EXPECT_EQ(twice.mirrored, turn.mirrored);
        EXPECT_EQ(twice.quarterTurns, turn.quarterTurns);
    }
}

TEST(ViewTurn, PointUnderTheCursorFollowsTurnZoomAndPlacement) {
    // A 40 x 20 picture: at each zoom the shown picture's first and last
    // displayed pixels are its turned corners, and a pixel beside them is
    // off the picture.
    const int32_t width = 40, height = 20;
    const struct {
        int32_t scale, left, top;
    } places[] = {{25, 100, 80}, {33, 90, 70}, {67, 0, -3}, {100, -7, 5}, {150, 11, -20}, {200, -15, -9}, {300, 4, 4}};
    for (const TurnCase& c : kTurns) {
        const ViewTurn turn{c.mirrored, c.quarters};
        // From the hand-made table: the corner of the picture shown at the
        // view's top left is the one the table puts at (0, 0), and the one
        // shown at its bottom right the one it puts in the opposite corner.
        const PicturePoint tableCorners[4] = {c.topLeft, c.topRight, c.bottomLeft, c.bottomRight};
        const PicturePoint pictureCorners[4] = {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}};
        const PicturePoint farCorner = c.quarters % 2 == 0 ? PicturePoint{4, 2} : PicturePoint{2, 4};
        PicturePoint first, last;
        for (int i = 0; i < 4; ++i) {
            if (tableCorners[i] == PicturePoint{0, 0})
                first = pictureCorners[i];
            if (tableCorners[i] == farCorner)
                last = pictureCorners[i];
        }
        for (const auto& place : places) {
            const int32_t shownWidth = DisplayedSize(TurnedWidth(turn, width, height), place.scale);
            const int32_t shownHeight = DisplayedSize(TurnedHeight(turn, width, height), place.scale);
            PicturePoint point;
            ASSERT_TRUE(PictureUnderPoint(turn, width, height, shownWidth, shownHeight, place.left, place.top,
                                          place.left, place.top, point))
                << Named(c) << " at " << place.scale;
            EXPECT_TRUE(point == first) << Named(c) << " at " << place.scale;
            ASSERT_TRUE(PictureUnderPoint(turn, width, height, shownWidth, shownHeight, place.left, place.top,
                                          place.left + shownWidth - 1, place.top + shownHeight - 1, point));
            if (place.scale >= 100) {
                EXPECT_TRUE(point == last) << Named(c) << " at " << place.scale << ": " << point.x << "," << point.y;
            } else {
                // A reduced pixel stands for a block of pixels; the last one's
                // holds the far corner.
                const int32_t block = std::max((TurnedWidth(turn, width, height) + shownWidth - 1) / shownWidth,
                                               (TurnedHeight(turn, width, height) + shownHeight - 1) / shownHeight);
                EXPECT_LT(std::abs(point.x - last.x), block) << Named(c) << " at " << place.scale;
                EXPECT_LT(std::abs(point.y - last.y), block) << Named(c) << " at " << place.scale;
            }
            const PicturePoint outside[] = {{place.left - 1, place.top},
                                            {place.left, place.top - 1},
                                            {place.left + shownWidth, place.top},
                                            {place.left, place.top + shownHeight}};
            for (const PicturePoint& p : outside)
                EXPECT_FALSE(PictureUnderPoint(turn, width, height, shownWidth, shownHeight, place.left, place.top, p.x,
                                               p.y, point))
                    << Named(c) << " at " << place.scale << ": " << p.x << "," << p.y;
        }
    }
}

TEST(ViewTurn, PointUnderTheCursorAtTwiceTheSizeIsTheHalvedPoint) {
    // At 200%, client point (left + 2i + 1, top + 2j) shows turned pixel (i, j).
    const int32_t width = 7, height = 4;
    for (const TurnCase& c : kTurns) {
        const ViewTurn turn{c.mirrored, c.quarters};
        const int32_t turnedWidth = TurnedWidth(turn, width, height), turnedHeight = TurnedHeight(turn, width, height);
        for (int32_t j = 0; j < turnedHeight; ++j)
            for (int32_t i = 0; i < turnedWidth; ++i) {
                PicturePoint point;
                ASSERT_TRUE(PictureUnderPoint(turn, width, height, turnedWidth * 2, turnedHeight * 2, -3, 10,
                                              -3 + 2 * i + 1, 10 + 2 * j, point));
                const PicturePoint back = TurnedPoint(turn, width, height, point.x, point.y);
                EXPECT_TRUE(back == (PicturePoint{i, j})) << Named(c) << " " << i << "," << j;
            }
    }
}

TEST(ViewTurn, CopyTurnedCopiesTheShownPartPixelForPixel) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(9, 6));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            uint8_t* p = picture.TopRow(y) + x * 4;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x * 16 + y);
            p[3] = 255;
        }
    for (const TurnCase& c : kTurns) {
        const ViewTurn turn{c.mirrored, c.quarters};
        const int32_t turnedWidth = TurnedWidth(turn, 9, 6), turnedHeight = TurnedHeight(turn, 9, 6);
        // The whole picture, a part inside it, one column and one row.
        const struct {
            int32_t x, y, w, h;
        } parts[] = {{0, 0, turnedWidth, turnedHeight},
                     {1, 2, 3, 2},
                     {turnedWidth - 1, 0, 1, turnedHeight},
                     {0, turnedHeight - 1, turnedWidth, 1}};
        for (const auto& part : parts) {
            ImageBuffer out;
            ASSERT_TRUE(out.Create(part.w + 2, part.h + 1)); // larger than the part: its top left is written
            CopyTurned(picture, turn, part.x, part.y, part.w, part.h, out);
            for (int32_t y = 0; y < part.h; ++y)
                for (int32_t x = 0; x < part.w; ++x) {
                    const PicturePoint from = SourcePoint(turn, 9, 6, part.x + x, part.y + y);
                    const uint8_t* shown = out.TopRow(y) + x * 4;
                    EXPECT_EQ(shown[0], from.x) << Named(c) << " " << x << "," << y;
                    EXPECT_EQ(shown[1], from.y) << Named(c) << " " << x << "," << y;
                }
        }
    }
}

} // namespace
