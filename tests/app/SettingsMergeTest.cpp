// Two viewers at once: each writes only what it changed over what the other
// saved meanwhile.

#include "app/SettingsMerge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

struct MergeCase {
    const char* name;
    std::function<void(Settings&)> changeHere;  // in the viewer that saves now
    std::function<void(Settings&)> changeThere; // by the other viewer, saved earlier
    std::function<void(const Settings&)> check;
};

const MergeCase kCases[] = {
    {"OtherViewersPathSurvivesAnUnrelatedChange", [](Settings& s) { s.Scale = 300; },
     [](Settings& s) { s.VelmoraPath.Assign("C:\\v\\velmora.exe"); },
     [](const Settings& s) {
         EXPECT_EQ(s.Scale, 300);
         EXPECT_STREQ(s.VelmoraPath.Text(), "C:\\v\\velmora.exe");
     }},
    {"LanguageSetByHandInTheFileSurvivesASave", [](Settings& s) { s.Scale = 300; },
     [](Settings& s) { s.Language.Assign("en"); }, [](const Settings& s) { EXPECT_STREQ(s.Language.Text(), "en"); }},
    {"AKeyChangedInBothIsTheLaterSavers", [](Settings& s) { s.ColBk = 0x112233; },
     [](Settings& s) { s.ColBk = 0x445566; }, [](const Settings& s) { EXPECT_EQ(s.ColBk, 0x112233); }},
    {"AKeySetBackToItsOldValueHereCountsAsUnchanged", [](Settings& s) { s.Mouse[2] = 2; },
     [](Settings& s) { s.Mouse[2] = 5; }, [](const Settings& s) { EXPECT_EQ(s.Mouse[2], 5); }},
    {"RecentFoldersGoTogetherFromTheViewerThatChangedThem",
     [](Settings& s) {
         s.RecDir[0].Assign("C:\\here");
         s.RecDir[1].Assign("C:\\a");
     },
     [](Settings& s) {
         s.RecDir[0].Assign("C:\\there");
         s.RecDir[1].Assign("C:\\a");
         s.RecDir[2].Assign("C:\\b");
     },
     [](const Settings& s) {
         EXPECT_STREQ(s.RecDir[0].Text(), "C:\\here");
         EXPECT_STREQ(s.RecDir[1].Text(), "C:\\a");
         EXPECT_STREQ(s.RecDir[2].Text(), "");
     }},
    {"LastFileShownHereKeepsItsFolderFirstOverTheOthers", [](Settings& s) { s.LastFile.Assign("C:\\a\\x.qvm"); },
     [](Settings& s) {
         s.RecDir[0].Assign("C:\\there");
         s.LastFile.Assign("C:\\there\\y.qvm");
     },
     [](const Settings& s) {
         EXPECT_STREQ(s.RecDir[0].Text(), "C:\\a");
         EXPECT_STREQ(s.LastFile.Text(), "C:\\a\\x.qvm");
     }},
    {"ARecentFoldersLastDocumentShownHereTakesTheListFromHere",
     [](Settings& s) { s.RecFile[0].Assign("C:\\a\\x.qvm"); },
     [](Settings& s) {
         s.RecDir[0].Assign("C:\\there");
         s.RecDir[1].Assign("C:\\a");
         s.RecFile[1].Assign("C:\\a\\y.qvm");
     },
     [](const Settings& s) {
         EXPECT_STREQ(s.RecDir[0].Text(), "C:\\a");
         EXPECT_STREQ(s.RecFile[0].Text(), "C:\\a\\x.qvm");
         EXPECT_STREQ(s.RecFile[1].Text(), "");
     }},
    {"ACodePageChosenHereIsSaved", [](Settings& s) { s.NamesCodePage = 1252; }, [](Settings&) {},
     [](const Settings& s) { EXPECT_EQ(s.NamesCodePage, 1252); }},
    {"TheGridAndTheStepChosenHereAreSavedOverTheOthers",
     [](Settings& s) {
         s.Thumbnails = true;
         s.SlideshowSeconds = 5;
     },
     [](Settings& s) { s.SlideshowSeconds = 9; },
     [](const Settings& s) {
         EXPECT_TRUE(s.Thumbnails);
         EXPECT_EQ(s.SlideshowSeconds, 5);
     }},
    {"TheOthersGridSurvivesAnUnrelatedChange", [](Settings& s) { s.Scale = 300; },
     [](Settings& s) {
         s.Thumbnails = true;
         s.SlideshowSeconds = 9;
     },
     [](const Settings& s) {
         EXPECT_TRUE(s.Thumbnails);
         EXPECT_EQ(s.SlideshowSeconds, 9);
     }},
    {"TheListsOrderGoesWholeFromTheViewerThatChoseIt",
     [](Settings& s) {
         s.SortOrder = 1;
         s.SortReverse = true;
     },
     [](Settings& s) { s.SortOrder = 2; },
     [](const Settings& s) {
         EXPECT_EQ(s.SortOrder, 1);
         EXPECT_TRUE(s.SortReverse);
     }},
    {"TheOthersOrderSurvivesAnUnrelatedChange", [](Settings& s) { s.Scale = 300; },
     [](Settings& s) {
         s.SortOrder = 2;
         s.SortReverse = true;
     },
     [](const Settings& s) {
         EXPECT_EQ(s.SortOrder, 2);
         EXPECT_TRUE(s.SortReverse);
     }},
    {"SteppingChoicesMadeHereAreSavedAndTheOthersKept", [](Settings& s) { s.StepKeepsPlace = false; },
     [](Settings& s) { s.CarryLayerChoices = true; },
     [](const Settings& s) {
         EXPECT_FALSE(s.StepKeepsPlace);
         EXPECT_TRUE(s.CarryLayerChoices);
     }},
    {"FitEnlargingChosenElsewhereSurvivesAndOneChosenHereIsSaved", [](Settings& s) { s.FitEnlargeFullScreen = false; },
     [](Settings& s) { s.FitEnlarge = true; },
     [](const Settings& s) {
         EXPECT_TRUE(s.FitEnlarge);
         EXPECT_FALSE(s.FitEnlargeFullScreen);
     }},
    {"RecentFoldersUntouchedHereAreTheOthers", [](Settings& s) { s.ConvType = 1; },
     [](Settings& s) {
         s.RecDir[0].Assign("C:\\there");
         s.OpenDir.Assign("C:\\open");
     },
     [](const Settings& s) {
         EXPECT_EQ(s.ConvType, 1);
         EXPECT_STREQ(s.RecDir[0].Text(), "C:\\there");
         EXPECT_STREQ(s.OpenDir.Text(), "C:\\open");
     }},
};

void StartingValues(Settings& s) {
    s.ColBk = 0x808080;
    s.RecDir[0].Assign("C:\\a");
    s.ConvDir.Assign("C:\\out");
}

TEST(SettingsMerge, ASaveWritesOnlyTheKeysThisViewerChanged) {
    for (const MergeCase& c : kCases) {
        Settings loaded, current, onDisk, merged;
        StartingValues(loaded);
        StartingValues(current);
        StartingValues(onDisk);
        c.changeHere(current);
        c.changeThere(onDisk);
        MergeSettings(loaded, current, onDisk, merged);
        SCOPED_TRACE(c.name);
        c.check(merged);
        EXPECT_STREQ(merged.ConvDir.Text(), "C:\\out");
    }
}

TEST(SettingsMerge, AWindowLeftAloneKeepsTheOtherViewersPlacement) {
    WindowState loaded;
    loaded.left = 10, loaded.top = 20, loaded.right = 510, loaded.bottom = 420;
    WindowState onDisk = loaded;
    onDisk.left = 300, onDisk.right = 800, onDisk.showCmd = 3, onDisk.listWidth = 200;
    WindowState merged;
    MergeWindowState(loaded, loaded, onDisk, merged);
    EXPECT_EQ(merged.left, 300);
    EXPECT_EQ(merged.right, 800);
    EXPECT_EQ(merged.showCmd, 3);
    EXPECT_EQ(merged.listWidth, 200);

    // Moved here: the whole rectangle is this viewer's, not a mix of both.
    WindowState moved = loaded;
    moved.top = 40, moved.bottom = 440;
    MergeWindowState(loaded, moved, onDisk, merged);
    EXPECT_EQ(merged.left, 10);
    EXPECT_EQ(merged.top, 40);
    EXPECT_EQ(merged.right, 510);
    EXPECT_EQ(merged.showCmd, 1);
    EXPECT_EQ(merged.listWidth, 200);
}

} // namespace
