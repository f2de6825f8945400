// The arithmetic of placement, scrolling and the wheel, with the screen layouts and
// scroll ranges the viewer meets.
#include "base/PlacementMath.h"
#include "base/ScrollMath.h"
#include "base/WheelSteps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using placement::Point;
using placement::Rect;

const Rect kSingleScreen = {0, 0, 1920, 1080};
const Rect kTwoScreens = {-1920, 0, 1920, 1080}; // a second monitor left of the primary one

struct KeepCase {
    const char* name;
    Point topLeft;
    int32_t width, height;
    Rect screen;
    Point expected;
};

const KeepCase kKeepCases[] = {
    {"LeftOffScreenComesBackToZero", {-3000, 100}, 400, 300, kSingleScreen, {0, 100}},
    {"RightEdgePastScreenIsPulledIn", {1900, 100}, 400, 300, kSingleScreen, {1520, 100}},
    {"WiderThanScreenKeepsLeftEdge", {-50, 0}, 2000, 300, kSingleScreen, {0, 0}},
    {"WiderThanScreenIsNotPulledByRightEdge", {0, 0}, 2000, 300, kSingleScreen, {0, 0}},
    {"TallerThanScreenKeepsTopEdge", {10, -20}, 400, 1200, kSingleScreen, {10, 0}},
    {"BottomPastScreenIsPulledUp", {10, 1000}, 400, 300, kSingleScreen, {10, 780}},
    {"OnSecondMonitorStaysPut", {-1500, 100}, 400, 300, kTwoScreens, {-1500, 100}},
    {"LeftOfBothMonitorsComesToTheirLeft", {-2500, 100}, 400, 300, kTwoScreens, {-1920, 100}},
    {"InsideIsUnchanged", {100, 100}, 400, 300, kSingleScreen, {100, 100}},
};

class KeepInScreen : public ::testing::TestWithParam<KeepCase> {};

TEST_P(KeepInScreen, RestoredPositionIsPulledOntoTheScreen) {
    const KeepCase& c = GetParam();
    const Point p = placement::KeptTopLeft(c.topLeft, c.width, c.height, c.screen);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeepInScreen, ::testing::ValuesIn(kKeepCases),
                         [](const ::testing::TestParamInfo<KeepCase>& info) { return info.param.name; });

struct CenterCase {
    const char* name;
    Rect area;
    int32_t width, height;
    Rect screen;
    Point expected;
};

const CenterCase kCenterCases[] = {
    {"InWorkAreaAtOrigin", {0, 0, 1920, 1040}, 500, 400, kSingleScreen, {710, 320}},
    {"OddRemainderTruncates", {0, 0, 1001, 801}, 500, 400, kSingleScreen, {250, 200}},
    {"OnReferenceWindow", {100, 100, 700, 500}, 200, 100, kSingleScreen, {300, 250}},
    {"LargerThanAreaStartsAtItsCorner", {100, 100, 300, 200}, 500, 400, kSingleScreen, {100, 100}},
    {"ReferenceNearRightEdgeIsKeptInside", {1800, 900, 1920, 1080}, 500, 400, kSingleScreen, {1420, 680}},
    {"LargerThanScreenKeepsTopLeft", {0, 0, 1920, 1040}, 2500, 1500, kSingleScreen, {0, 0}},
};

class CenterInArea : public ::testing::TestWithParam<CenterCase> {};

TEST_P(CenterInArea, WindowIsCentredAndKeptInside) {
    const CenterCase& c = GetParam();
    const Point p = placement::CenteredTopLeft(c.area, c.width, c.height, c.screen);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CenterInArea, ::testing::ValuesIn(kCenterCases),
                         [](const ::testing::TestParamInfo<CenterCase>& info) { return info.param.name; });

TEST(Placement, MovingTheNormalRectangleKeepsItsSize) {
    Rect r = {1900, 50, 2300, 350};
    placement::MoveTopLeft(r, 1520, 60);
    EXPECT_EQ(r.left, 1520);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
}

int32_t FakeMetric(int32_t index) {
    return 1000 + index;
}

TEST(Placement, WithoutMultiMonitorSupportTheVirtualScreenIsThePrimaryScreen) {
    EXPECT_EQ(placement::FallbackMetric(76, FakeMetric), 0);
    EXPECT_EQ(placement::FallbackMetric(77, FakeMetric), 0);
    EXPECT_EQ(placement::FallbackMetric(78, FakeMetric), 1000); // SM_CXSCREEN
    EXPECT_EQ(placement::FallbackMetric(79, FakeMetric), 1001); // SM_CYSCREEN
    EXPECT_EQ(placement::FallbackMetric(80, FakeMetric), 1);
    EXPECT_EQ(placement::FallbackMetric(81, FakeMetric), 1);
    EXPECT_EQ(placement::FallbackMetric(5, FakeMetric), 1005);
    const Rect vs = placement::VirtualScreenFromMetrics(-1920, -10, 3840, 1090);
    EXPECT_EQ(vs.right, 1920);
    EXPECT_EQ(vs.bottom, 1080);
}

struct ScrollCase {
    const char* name;
    uint32_t code, thumb;
    ScrollState state;
    int32_t expected;
};

const ScrollCase kScrollCases[] = {
    {"PageDownStopsWhereLastPageEndsAtMaximum", 3, 0, {0, 999, 300, 650}, 700},
    {"PageDownInsideTheRange", 3, 0, {0, 999, 300, 100}, 400},
    {"PageUpBelowMinimumStopsAtMinimum", 2, 0, {0, 999, 300, 100}, 0},
    {"LineUpAndDown", 0, 0, {0, 999, 100, 50}, 49},
    {"LineDown", 1, 0, {0, 999, 100, 50}, 51},
    {"ContentSmallerThanViewGoesBelowMinimum", 1, 0, {0, 199, 300, 0}, -100},
    {"ThumbTrackTakesTheMessageThumb", 5, 120, {0, 999, 100, 7}, 120},
    {"ThumbPositionTakesTheMessageThumb", 4, 900, {0, 999, 100, 7}, 900},
    {"ThumbNearEndIsPulledBack", 5, 950, {0, 999, 100, 7}, 900},
    {"TopGoesToMinimum", 6, 0, {-20, 999, 100, 300}, -20},
    {"BottomGoesToLastPage", 7, 0, {0, 999, 100, 300}, 900},
    {"EndScrollKeepsPosition", 8, 0, {0, 999, 100, 321}, 321},
    {"HugeRangeDoesNotOverflow", 3, 0, {0, INT32_MAX, 1000, INT32_MAX - 10}, INT32_MAX - 999},
};

class ScrollRequest : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollRequest, GivesTheNewPosition) {
    const ScrollCase& c = GetParam();
    EXPECT_EQ(NextScrollPosition(c.code, c.thumb, c.state), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, ScrollRequest, ::testing::ValuesIn(kScrollCases),
                         [](const ::testing::TestParamInfo<ScrollCase>& info) { return info.param.name; });

TEST(ScrollThumb, DragBeyondSixteenBitsKeepsTheTrackPosition) {
    const struct {
        uint32_t messageThumb;
        int32_t track;
        int32_t expected;
    } cases[] = {
        {70000 & 0xFFFF, 70000, 70000}, // a 13,108-pixel picture at 500%: the field wrapped
        {300, 300, 300},                // below 65,536 both agree
        {65535, 131071, 131071},        // the last value before the next wrap
        {25, 0, 25},                    // posted by another program: no drag, the message's value
        {0xFFFF0000u | 40, 40, 40},     // only the low half of the field counts
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThumbPosition(c.messageThumb, c.track), c.expected) << c.track;
}

TEST(WheelNotches, DeltasAddUpToWholeNotches) {
    const struct {
        const char* name;
        std::vector<int32_t> deltas;
        std::vector<int32_t> notches; // returned for each delta
    } cases[] = {
        {"OneNotch", {120}, {1}},
        {"TwoNotchesInOneMessage", {240}, {2}},
        {"ThreeSmallDeltasMakeOne", {40, 40, 40}, {0, 0, 1}},
        {"TowardTheUser", {-40, -40, -40, -120}, {0, 0, -1, -1}},
        {"RestCarriesOver", {100, 100, 100}, {0, 1, 1}},
        {"ReversalDropsThePartNotch", {80, -40, -80}, {0, 0, -1}},
        {"ReversalAfterWholeNotches", {160, -120}, {1, -1}},
        {"ZeroDoesNothing", {0, 0}, {0, 0}},
        {"LargestDelta", {-32768}, {-273}},
    };
    for (const auto& c : cases) {
        WheelSteps wheel;
        std::vector<int32_t> got;
        for (int32_t delta : c.deltas)
            got.push_back(wheel.Add(delta));
        EXPECT_EQ(got, c.notches) << c.name;
    }
}

} // namespace
