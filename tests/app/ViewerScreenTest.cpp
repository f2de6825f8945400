// The picture on the screen (Wine's X11 driver under Xvfb): a small
// document centred at 100% and 200% with the background colour around it, a
// scrolled picture, and fine detail averaged to grey below 100%.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

using viewer::Session;

COLORREF DecodedAt(const ImageBuffer& image, int x, int y) {
    const uint8_t* p = image.TopRow(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
}

// Every pixel of the capture: the picture scaled by factor, centred, the
// background around it.
void ExpectPictureAndBands(const e2e::Picture& shot, const ImageBuffer& image, int factor, COLORREF background) {
    ASSERT_FALSE(shot.Empty()) << "no screen: the X11 driver is not in use";
    ASSERT_GT(shot.width, image.width * factor);
    ASSERT_GT(shot.height, image.height * factor);
    const int left = (shot.width - image.width * factor) / 2;
    const int top = (shot.height - image.height * factor) / 2;
    int wrong = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const bool inside =
                x >= left && y >= top && x < left + image.width * factor && y < top + image.height * factor;
            const COLORREF expected = inside ? DecodedAt(image, (x - left) / factor, (y - top) / factor) : background;
            if (shot.ColourAt(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " factor " << factor << ": " << std::hex
                              << shot.ColourAt(x, y) << " instead of " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ViewerScreen, SmallPictureIsCentredWithBackgroundAroundItAt100And200Percent) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("small.qvm", 60, 45, 3);
    ImageBuffer decoded;
    ASSERT_TRUE(LoadDocument(decoded, file.c_str()));
    const COLORREF background = RGB(0x99, 0x66, 0x33);
    viewer::SettingsValues values;
    values.colBk = int(background);
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ExpectPictureAndBands(e2e::CaptureClient(viewer.view), decoded, 1, background);
    ASSERT_TRUE(e2e::PressKey(viewer.main, '2', e2e::kCtrl));
    ExpectPictureAndBands(e2e::CaptureClient(viewer.view), decoded, 2, background);
    EXPECT_EQ(viewer.Close(), 0u);
}

// Settings placing the window at 500 x 400, smaller than the pictures that
// must scroll.
std::string SmallWindow() {
    viewer::SettingsValues values;
    values.Place(10, 10, 510, 410);
    return values.Text();
}

TEST(ViewerScreen, WithoutAPictureTheWholeViewIsMidGrey) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    const e2e::Picture shot = e2e::CaptureClient(viewer.view);
    ASSERT_FALSE(shot.Empty());
    int wrong = 0;
    for (uint32_t pixel : shot.pixels)
        wrong += pixel != 0x808080;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerScreen, ScrolledPictureShowsFromTheScrollPosition) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("big.qvm", 700, 600, 1);
    ImageBuffer decoded;
    ASSERT_TRUE(LoadDocument(decoded, file.c_str()));
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(SmallWindow()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ASSERT_TRUE(PostMessageA(viewer.view, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 25), 0));
    ASSERT_TRUE(PostMessageA(viewer.view, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0));
    ASSERT_TRUE(e2e::Sync(viewer.view));
    const e2e::Picture shot = e2e::CaptureClient(viewer.view);
    ASSERT_FALSE(shot.Empty());
    for (const POINT p : {POINT{0, 0}, POINT{17, 3}, POINT{shot.width - 1, shot.height - 1}})
        EXPECT_EQ(shot.ColourAt(p.x, p.y), DecodedAt(decoded, p.x + 25, p.y + 10)) << p.x << "," << p.y;
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerScreen, AFineCheckerboardReadsBackGreyAt25And50Percent) {
    viewer::DocFolder docs;
    // One-pixel black and white squares: dropped pixels would show black,
    // white or moire; the area average is an even grey.
    const std::string file = docs.QvmPainted(docs.Path(), "checks.qvm", 512, 512, [](int x, int y, uint8_t* pixel) {
        const uint8_t level = (x + y) % 2 == 0 ? 0 : 255;
        pixel[0] = pixel[1] = pixel[2] = level;
    });
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    for (int command : {int(viewer::kZoomFirst), viewer::kZoomFirst + 1}) {
        ASSERT_TRUE(viewer.Send(command));
        const e2e::Picture shot = e2e::CaptureClient(viewer.view);
        ASSERT_FALSE(shot.Empty());
        // The picture covers the middle of the view at both zooms.
        int wrong = 0;
        for (int y = shot.height / 2 - 20; y < shot.height / 2 + 20; ++y)
            for (int x = shot.width / 2 - 20; x < shot.width / 2 + 20; ++x) {
                const COLORREF colour = shot.ColourAt(x, y);
                for (int shift : {0, 8, 16}) {
                    const int level = int((colour >> shift) & 0xFF);
                    if ((level < 126 || level > 130) && ++wrong <= 5)
                        ADD_FAILURE() << "pixel " << x << "," << y << " zoom command " << command << ": " << std::hex
                                      << colour;
                }
            }
        EXPECT_EQ(wrong, 0) << command;
    }
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerScreen, ALayerTickedAt50PercentShowsOnTheScreen) {
    // A red layer under a hidden blue one, plain colours so that the
    // reduced picture's middle is the colour itself.
    docwriter::QvmDocument doc;
    doc.width = 40;
    doc.height = 30;
    doc.layers.push_back(docwriter::MakeQvmLayer("red", docwriter::SolidPixels(40, 30, 0, 0, 255, 255)));
    doc.layers.push_back(docwriter::MakeQvmLayer("blue", docwriter::SolidPixels(40, 30, 255, 0, 0, 255)));
    doc.layers[1].flags = 0;
    viewer::DocFolder docs;
    const std::string file = docs.Path() + "\\layers.qvm";
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(doc)));
    doc.layers[1].flags = 1;
    const std::string shown = docs.Path() + "\\shown.qvm";
    ASSERT_TRUE(docwriter::WriteFile(shown, docwriter::WriteQvm(doc)));
    ImageBuffer asStored, withBlue;
    ASSERT_TRUE(LoadDocument(asStored, file.c_str()));
    ASSERT_TRUE(LoadDocument(withBlue, shown.c_str()));
    ASSERT_NE(DecodedAt(asStored, 20, 15), DecodedAt(withBlue, 20, 15));

    viewer::SettingsValues values;
    values.layersPane = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    HWND pane = e2e::FindChild(viewer.main, "SysListView32");
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 1)); // 50%
    const auto middle = [&] {
        const e2e::Picture shot = e2e::CaptureClient(viewer.view);
        return shot.Empty() ? CLR_INVALID : shot.ColourAt(shot.width / 2, shot.height / 2);
    };
    EXPECT_EQ(middle(), DecodedAt(asStored, 20, 15));
    // The top row is the blue layer: its box ticked from the keyboard.
    ASSERT_TRUE(e2e::PressKey(pane, VK_HOME));
    ASSERT_TRUE(e2e::PressKey(pane, VK_SPACE));
    ASSERT_EQ(SendMessageW(pane, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK, 2u << 12);
    EXPECT_EQ(middle(), DecodedAt(withBlue, 20, 15)) << "the reduced picture is still the one before the toggle";
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerScreen, ThumbDraggedBeyondSixteenBitsStaysWhereItWasDragged) {
    viewer::DocFolder docs;
    // 14,000 pixels at 500% are 70,000 displayed pixels: more than the 16
    // bits of the scroll message.
    const std::string file = docs.Qvm("wide.qvm", 14000, 4);
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(SmallWindow()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ASSERT_TRUE(e2e::BringToFront(viewer.main));
    ASSERT_TRUE(e2e::PressKey(viewer.main, '5', e2e::kCtrl));
    ASSERT_EQ(viewer.HorzMax(), 69999);
    const RECT client = e2e::ClientRect(viewer.view);
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    // The bar lies just below the client area; the thumb starts after the
    // left arrow.
    const int barY = client.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2;
    ASSERT_TRUE(e2e::SendDrag(viewer.view, {arrow + 3, barY}, {client.right - arrow - 1, barY}, 6));
    const std::optional<e2e::ScrollState> bar = e2e::ReadScroll(viewer.view, SB_HORZ);
    ASSERT_TRUE(bar.has_value());
    EXPECT_GT(bar->position, 65535);
    EXPECT_EQ(bar->position, bar->maximum - bar->page + 1); // dragged to the end
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
