// The real viewer's thumbnail grid and slideshow (Wine's null driver): the
// grid in the view's place by Ctrl+T, its selection shared with the list and
// opened by Enter, the choice kept in the settings; the slideshow stepping
// on by itself at the interval the settings give, ended by a key and at the
// last document.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/Input.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

namespace {

using viewer::Session;
using viewer::Title;

constexpr int kThumbnails = 40050;
constexpr int kSlideshow = 40051;
// The viewer's answer while its slideshow runs (WM_USER + 4).
constexpr UINT kSlideshowQuery = WM_USER + 4;

HWND GridOf(const Session& viewer) {
    return FindWindowExA(viewer.main, nullptr, "ThumbnailGrid", nullptr);
}

bool SlideshowRuns(const Session& viewer) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(viewer.main, kSlideshowQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0 && answer == 1;
}

TEST(ViewerGrid, CtrlTShowsTheGridWhereEnterOpensTheCellTheKeysChose) {
    viewer::DocFolder docs;
    const std::string a = docs.Qvm("a.qvm", 64, 48, 1);
    docs.Qvm("b.qvm", 50, 30, 2);
    docs.Raw("c.qvm", "QVMDATA but nothing after it");
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + a + "\""));
    ASSERT_EQ(viewer.TitleNow(), Title(64, 48, "a.qvm"));
    const HWND grid = GridOf(viewer);
    ASSERT_NE(grid, nullptr);
    EXPECT_FALSE(IsWindowVisible(grid));

    ASSERT_TRUE(e2e::PressKey(viewer.main, 'T', e2e::kCtrl));
    EXPECT_TRUE(IsWindowVisible(grid));
    EXPECT_FALSE(IsWindowVisible(viewer.view));
    // The grid's selection is the list's, named in the status bar; the view
    // reads nothing meanwhile.
    ASSERT_TRUE(e2e::PressKey(grid, VK_RIGHT));
    EXPECT_EQ(viewer.StatusPart(0), "2 / 3");
    EXPECT_EQ(viewer.Selection(), 1);
    EXPECT_EQ(viewer.TitleNow(), Title(64, 48, "a.qvm"));
    ASSERT_TRUE(e2e::PressKey(grid, VK_END));
    EXPECT_EQ(viewer.StatusPart(0), "3 / 3");
    ASSERT_TRUE(e2e::PressKey(grid, VK_LEFT));
    ASSERT_TRUE(e2e::PressKey(grid, VK_RETURN));
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(50, 30, "b.qvm"); }));
    EXPECT_FALSE(IsWindowVisible(grid));
    EXPECT_TRUE(IsWindowVisible(viewer.view));

    // Left with Enter: not kept. Shown at the close: kept, and shown at the
    // next start.
    ASSERT_TRUE(viewer.Post(kThumbnails));
    EXPECT_TRUE(IsWindowVisible(grid));
    EXPECT_EQ(viewer.Close(), 0u);
    const std::optional<std::string> saved = viewer.ReadSettings();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(viewer::ValueOf(*saved, "Thumbnails"), "1");

    Session again;
    ASSERT_TRUE(again.WriteSettings(*saved));
    ASSERT_TRUE(again.Start("\"" + a + "\""));
    EXPECT_TRUE(IsWindowVisible(GridOf(again)));
    ASSERT_TRUE(again.Post(kThumbnails));
    EXPECT_FALSE(IsWindowVisible(GridOf(again)));
    EXPECT_EQ(again.Close(), 0u);
    const std::optional<std::string> left = again.ReadSettings();
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(viewer::ValueOf(*left, "Thumbnails"), "");
}

TEST(ViewerSlideshow, StepsAtTheIntervalSetUntilAKeyOrTheLastDocument) {
    viewer::DocFolder docs;
    const std::string a = docs.Qvm("a.qvm", 20, 10, 1);
    docs.Qvm("b.qvm", 21, 10, 2);
    docs.Qvm("c.qvm", 22, 10, 3);
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(viewer::SettingsValues().Text() + "SlideshowSeconds=1\r\n"));
    ASSERT_TRUE(viewer.Start("\"" + a + "\""));
    ASSERT_TRUE(viewer.Post(kSlideshow));
    EXPECT_EQ(GetWindowLongA(viewer.main, GWL_STYLE) & WS_CAPTION, 0); // full screen
    EXPECT_TRUE(SlideshowRuns(viewer));
    ASSERT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(21, 10, "b.qvm"); }));

    // A key ends it where it is, still in full screen.
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'X'));
    EXPECT_FALSE(SlideshowRuns(viewer));
    EXPECT_EQ(viewer.TitleNow(), Title(21, 10, "b.qvm"));
    EXPECT_EQ(GetWindowLongA(viewer.main, GWL_STYLE) & WS_CAPTION, 0);

    // Started again, it ends by itself on the last document.
    ASSERT_TRUE(viewer.Post(kSlideshow));
    EXPECT_TRUE(SlideshowRuns(viewer));
    ASSERT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(22, 10, "c.qvm"); }));
    EXPECT_TRUE(waits::WaitUntil([&] { return !SlideshowRuns(viewer); }));
    EXPECT_EQ(viewer.TitleNow(), Title(22, 10, "c.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
    const std::optional<std::string> saved = viewer.ReadSettings();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(viewer::ValueOf(*saved, "SlideshowSeconds"), "1");
}

} // namespace
