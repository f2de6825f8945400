// The Option dialog's colour on the screen (Wine's X11 driver under Xvfb):
// OK with a new background colour repaints the view's bands at once, Cancel
// leaves them as they were.

#include "tests/app/ViewerDialogs.h"
#include "tests/app/ViewerSession.h"
#include "tests/e2e/Screenshot.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

namespace {

using viewer::Session;

constexpr int kDocW = 30, kDocH = 20;

struct Shot {
    COLORREF band = CLR_INVALID;    // around the picture, which sits centred
    COLORREF picture = CLR_INVALID; // its top-left pixel
};

Shot Look(HWND view) {
    const e2e::Picture shot = e2e::CaptureClient(view);
    if (shot.Empty() || shot.width <= kDocW + 5)
        return {};
    // The picture's top-left pixel is the first one, row by row, unlike the
    // band at the view's corner.
    const COLORREF band = shot.ColourAt(0, 0);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.ColourAt(x, y) != band)
                return {band, shot.ColourAt(x, y)};
    return {band, CLR_INVALID};
}

TEST(ViewerOptionScreen, OkWithANewColourRepaintsTheBandsAndCancelDoesNot) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("small.qvm", kDocW, kDocH, 2);
    ImageBuffer decoded;
    ASSERT_TRUE(LoadDocument(decoded, file.c_str()));
    const uint8_t* corner = decoded.TopRow(0);
    const COLORREF cornerColour = RGB(corner[2], corner[1], corner[0]);
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    const Shot before = Look(viewer.view);
    ASSERT_NE(before.band, CLR_INVALID) << "no screen: the X11 driver is not in use";
    EXPECT_EQ(before.band, RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(before.picture, cornerColour);

    struct Step {
        COLORREF picked;
        int closeWith;
        COLORREF band;
    };
    const COLORREF red = RGB(255, 0, 0);
    const Step steps[] = {
        {RGB(0, 0, 255), IDCANCEL, RGB(0x80, 0x80, 0x80)},
        {red, IDOK, red},
    };
    for (const Step& step : steps) {
        HWND option = viewer::OpenDialog(viewer, IDM_OPTION, "Option");
        ASSERT_NE(option, nullptr);
        ASSERT_TRUE(viewer::PickColourWithSwatch(viewer, option, step.picked));
        ASSERT_TRUE(viewer::ClickItem(option, step.closeWith));
        ASSERT_TRUE(viewer::WaitGone(option));
        const Shot after = Look(viewer.view);
        EXPECT_EQ(after.band, step.band) << step.closeWith;
        EXPECT_EQ(after.picture, cornerColour);
    }
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "ColBk"), std::to_string(int(red)));
}

} // namespace
