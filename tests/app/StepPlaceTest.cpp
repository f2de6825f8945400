#include "app/StepPlace.h"

#include <gtest/gtest.h>

namespace {

// Where a view of page pixels scrolled to position over a picture shown
// fromShown long stands in the next one, toShown long.
int32_t Carried(int32_t position, int32_t fromShown, int32_t toShown, int32_t page) {
    return PositionOnAxis(PlaceOnAxis(position, fromShown, page), toShown, page);
}

TEST(StepPlace, TheViewKeepsItsPlaceInPicturesOfOtherSizes) {
    struct Case {
        const char* what;
        int32_t position, fromShown, toShown, page, expected;
    } cases[] = {
        {"top-left stays top-left", 0, 2000, 3000, 500, 0},
        {"centre stays centre", 750, 2000, 2000, 500, 750},
        {"an odd page comes back to the same place", 333, 2000, 2000, 501, 333},
        {"centre of a wider picture", 750, 2000, 3000, 500, 1250},
        {"centre of a narrower one", 750, 2000, 1000, 500, 250},
        {"a quarter in", 250, 2000, 4000, 500, 750}, // centre 500 of 2000: 1000 of 4000
        {"bottom-right stays bottom-right", 1500, 2000, 3000, 500, 2500},
        {"bottom-right of a smaller picture", 1500, 2000, 800, 500, 300},
        {"near the end of a much smaller one: clamped", 1400, 2000, 600, 500, 100},
        {"near the start of a much larger one: its centre's fraction", 1, 2000, 20000, 500, 2260},
        {"the next picture fits: no scroll", 750, 2000, 400, 500, 0},
        {"exactly the page: no scroll", 750, 2000, 500, 500, 0},
        {"from a picture that fitted: its start", 0, 300, 3000, 500, 0},
        {"a position past the end counts as the end", 9999, 2000, 3000, 500, 2500},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Carried(c.position, c.fromShown, c.toShown, c.page), c.expected) << c.what;
}

TEST(StepPlace, TheEdgesAreTakenForWhatTheyAre) {
    EXPECT_EQ(PlaceOnAxis(0, 2000, 500).edge, AxisPlace::Edge::Start);
    EXPECT_EQ(PlaceOnAxis(1500, 2000, 500).edge, AxisPlace::Edge::End);
    EXPECT_EQ(PlaceOnAxis(300, 400, 500).edge, AxisPlace::Edge::Start); // fits: seen whole
    const AxisPlace middle = PlaceOnAxis(750, 2000, 500);
    EXPECT_EQ(middle.edge, AxisPlace::Edge::Middle);
    EXPECT_EQ(middle.centre, 500000);
}

TEST(StepPlace, StepsBackAndForthBetweenTwoSizesDoNotDrift) {
    // A comic read at 200% with pages of two sizes: ten steps to and fro
    // end where they began, give or take a pixel of rounding.
    int32_t position = 1234;
    for (int i = 0; i < 10; ++i) {
        position = Carried(position, 4000, 3000, 700);
        position = Carried(position, 3000, 4000, 700);
    }
    EXPECT_NEAR(position, 1234, 1);
}

} // namespace
