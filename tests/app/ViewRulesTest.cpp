#include "app/RecentFolders.h"
#include "app/ViewGeometry.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

TEST(ZoomSequence, StepsWalkTheFinerSequenceAndStopAtTheEnds) {
    const int32_t sequence[] = {25, 33, 50, 67, 75, 100, 150, 200, 300, 400, 500};
    const int count = int(std::size(sequence));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(ZoomStepScale(sequence[i], true), sequence[i + 1 < count ? i + 1 : i]) << sequence[i];
        EXPECT_EQ(ZoomStepScale(sequence[i], false), sequence[i > 0 ? i - 1 : 0]) << sequence[i];
    }
    // A scale off the sequence (a hand-edited file, an older version's
    // step) joins it at the next value each way; beyond either end it only
    // comes back.
    const int32_t off[][3] = {{10, 25, 10}, {40, 50, 33}, {120, 150, 100}, {250, 300, 200}, {600, 600, 500}};
    for (const auto& c : off) {
        EXPECT_EQ(ZoomStepScale(c[0], true), c[1]) << c[0];
        EXPECT_EQ(ZoomStepScale(c[0], false), c[2]) << c[0];
    }
}

TEST(ZoomSequence, ZoomCommandsMapToTheirScalesInMenuOrder) {
    const int32_t expected[] = {25, 33, 50, 67, 75, 100, 150, 200, 300, 400, 500};
    ASSERT_EQ(kZoomCommandCount, int(std::size(expected)));
    for (int i = 0; i < kZoomCommandCount; ++i)
        EXPECT_EQ(ScaleForZoomCommand(kZoomCommands[i]), expected[i]) << kZoomCommands[i];
    // The original commands keep their numbers.
    EXPECT_EQ(ScaleForZoomCommand(40010), 25);
    EXPECT_EQ(ScaleForZoomCommand(40013), 100);
    EXPECT_EQ(ScaleForZoomCommand(40017), 500);
    for (int other : {40009, 40018, 40030, 40063, 0})
        EXPECT_EQ(ScaleForZoomCommand(other), 0) << other;
}

TEST(ZoomSequence, ScaleOfZeroOrBelowIsTakenAsHundred) {
    EXPECT_EQ(UsableScale(0), 100);
    EXPECT_EQ(UsableScale(-5), 100);
    EXPECT_EQ(UsableScale(300), 300);
    EXPECT_EQ(DisplayedSize(640, 0), 640);
    const PaintPlan plan = PlanPaint(640, 480, 0, 10, 20);
    EXPECT_EQ(plan.sourceX, 10);
    EXPECT_EQ(plan.shownWidth, 630);
}

TEST(ViewPainting, PositionsInDisplayedPixelsPickTheFirstPictureColumn) {
    // At 200% a horizontal position of 300 shows picture column 150 first.
    PaintPlan plan = PlanPaint(1000, 800, 200, 300, 0);
    EXPECT_EQ(plan.sourceX, 150);
    EXPECT_EQ(plan.shownWidth, 1700); // 850 columns at 200%
    EXPECT_EQ(plan.shownHeight, 1600);
    plan = PlanPaint(0, 0, 100, 0, 0); // no picture
    EXPECT_EQ(plan.shownWidth, 0);
    EXPECT_EQ(plan.shownHeight, 0);
    plan = PlanPaint(30, 30, 25, 3, 3); // 25%: positions 3 -> column 12
    EXPECT_EQ(plan.sourceX, 12);
    EXPECT_EQ(plan.shownWidth, 4); // 18 columns at 25%, cut down
}

TEST(ViewPainting, HugeScalesStayWithinThirtyTwoBits) {
    EXPECT_EQ(DisplayedSize(65535, 0x7FFFFFFF), 0x7FFFFFFF);
    const PaintPlan plan = PlanPaint(65535, 65535, 0x7FFFFFFF, 0, 0);
    EXPECT_EQ(plan.shownWidth, 0x7FFFFFFF);
}

TEST(ViewDragging, PictureFollowsThePointerScaledByZoom) {
    EXPECT_EQ(DragScrollPosition(100, 50, 40, 100), 110); // pointer left 10: view moves right 10
    EXPECT_EQ(DragScrollPosition(100, 50, 40, 200), 120);
    EXPECT_EQ(DragScrollPosition(100, 50, 54, 25), 99);
    EXPECT_EQ(DragScrollPosition(0, 10, 10, 300), 0);
}

std::string Joined(const Str (&recent)[kRecentFolderCount]) {
    std::string out;
    for (const Str& folder : recent)
        out += std::string(folder.Text()) + "|";
    return out;
}

TEST(RecentFolderList, SixFoldersPushTheFirstOutAndReopeningMovesToTop) {
    Str recent[kRecentFolderCount];
    for (const char* folder : {"C:\\1", "C:\\2", "C:\\3", "C:\\4", "C:\\5", "C:\\6"})
        PushRecentFolder(recent, folder);
    EXPECT_EQ(Joined(recent), "C:\\6|C:\\5|C:\\4|C:\\3|C:\\2|");
    PushRecentFolder(recent, "c:\\4"); // the third entry, in other letters
    EXPECT_EQ(Joined(recent), "c:\\4|C:\\6|C:\\5|C:\\3|C:\\2|");
    PushRecentFolder(recent, "C:\\2"); // the last entry
    EXPECT_EQ(Joined(recent), "C:\\2|c:\\4|C:\\6|C:\\5|C:\\3|");
}

TEST(RecentFolderList, TrailingSeparatorsAreNotNormalised) {
    Str recent[kRecentFolderCount];
    PushRecentFolder(recent, "C:\\a");
    PushRecentFolder(recent, "C:\\a\\");
    EXPECT_EQ(Joined(recent), "C:\\a\\|C:\\a||||");
}

TEST(RecentFolderList, EachFolderKeepsItsLastDocumentWhereverItMoves) {
    Str recent[kRecentFolderCount];
    Str shown[kRecentFolderCount];
    for (const char* folder : {"C:\\1", "C:\\2", "C:\\3"}) {
        PushRecentFolder(recent, shown, folder);
        NoteRecentShown(recent, shown, folder, (std::string(folder) + "\\x.qvm").c_str());
    }
    NoteRecentShown(recent, shown, "C:\\other", "C:\\other\\y.qvm"); // no recent folder: kept nowhere
    EXPECT_EQ(Joined(shown), "C:\\3\\x.qvm|C:\\2\\x.qvm|C:\\1\\x.qvm|||");
    const struct {
        const char* pushed;
        const char* folders;
        const char* files;
    } steps[] = {
        {"c:\\1", "c:\\1|C:\\3|C:\\2|||", "C:\\1\\x.qvm|C:\\3\\x.qvm|C:\\2\\x.qvm|||"}, // moved up, its file with it
        {"C:\\4", "C:\\4|c:\\1|C:\\3|C:\\2||", "|C:\\1\\x.qvm|C:\\3\\x.qvm|C:\\2\\x.qvm||"}, // a new one has none
        {"C:\\5", "C:\\5|C:\\4|c:\\1|C:\\3|C:\\2|", "||C:\\1\\x.qvm|C:\\3\\x.qvm|C:\\2\\x.qvm|"},
        {"C:\\6", "C:\\6|C:\\5|C:\\4|c:\\1|C:\\3|", "|||C:\\1\\x.qvm|C:\\3\\x.qvm|"}, // the oldest goes with its file
    };
    for (const auto& step : steps) {
        PushRecentFolder(recent, shown, step.pushed);
        EXPECT_EQ(Joined(recent), step.folders) << step.pushed;
        EXPECT_EQ(Joined(shown), step.files) << step.pushed;
    }
    EXPECT_STREQ(RecentShown(recent, shown, "C:\\3"), "C:\\3\\x.qvm");
    EXPECT_EQ(RecentShown(recent, shown, "C:\\6"), nullptr);
    EXPECT_EQ(RecentShown(recent, shown, "C:\\2"), nullptr); // pushed out
}

} // namespace
