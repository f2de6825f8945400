// The picture on the screen (Wine's X11 driver under Xvfb): a small
// document centred at 100% and 200% with the background colour around it, a
// scrolled picture, and fine detail averaged to grey below 100%.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/WaitUntil.h"

#include "app/GridLayout.h"
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

// Four plain quarters of unequal size, each its own colour: the eight ways
// of turning the picture all put them in different places.
constexpr int kQuartersWidth = 80, kQuartersHeight = 60, kSplitX = 30, kSplitY = 20;
const COLORREF kQuarterColours[2][2] = {{RGB(255, 0, 0), RGB(0, 255, 0)}, {RGB(0, 0, 255), RGB(255, 255, 255)}};

COLORREF QuarterAt(int x, int y) {
    return kQuarterColours[y < kSplitY ? 0 : 1][x < kSplitX ? 0 : 1];
}

// Where the picture's corners show after a command, worked out by hand: the
// picture pixel under the shown picture's top left, top right and bottom
// left corners. Every shown pixel lies between them.
struct ShownCorners {
    int command;
    POINT topLeft, topRight, bottomLeft;
};

void ExpectTurnedPicture(const e2e::Picture& shot, const ShownCorners& c, int factor) {
    ASSERT_FALSE(shot.Empty()) << "no screen: the X11 driver is not in use";
    const bool sideways = c.topLeft.x == c.topRight.x; // the top row runs down a picture column
    const int shownWidth = (sideways ? kQuartersHeight : kQuartersWidth) * factor;
    const int shownHeight = (sideways ? kQuartersWidth : kQuartersHeight) * factor;
    const int left = (shot.width - shownWidth) / 2, top = (shot.height - shownHeight) / 2;
    const int across = shownWidth / factor - 1, down = shownHeight / factor - 1;
    int wrong = 0;
    for (int v = 0; v < shownHeight; v += 1)
        for (int u = 0; u < shownWidth; u += 1) {
            const int i = u / factor, j = v / factor;
            const int x =
                c.topLeft.x + (c.topRight.x - c.topLeft.x) * i / across + (c.bottomLeft.x - c.topLeft.x) * j / down;
            const int y =
                c.topLeft.y + (c.topRight.y - c.topLeft.y) * i / across + (c.bottomLeft.y - c.topLeft.y) * j / down;
            if (shot.ColourAt(left + u, top + v) != QuarterAt(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "command " << c.command << " shown " << u << "," << v << ": " << std::hex
                              << shot.ColourAt(left + u, top + v) << " instead of " << QuarterAt(x, y);
        }
    EXPECT_EQ(wrong, 0) << c.command;
}

TEST(ViewerScreen, FlipAndTurnsMoveThePicturesCornersWhereTheyBelong) {
    viewer::DocFolder docs;
    const std::string file =
        docs.QvmPainted(docs.Path(), "quarters.qvm", kQuartersWidth, kQuartersHeight, [](int x, int y, uint8_t* p) {
            const COLORREF colour = QuarterAt(x, kQuartersHeight - 1 - y); // rows stored bottom-up
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        });
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    const int right = kQuartersWidth - 1, bottom = kQuartersHeight - 1;
    const ShownCorners steps[] = {
        {viewer::kRotateRight, {0, bottom}, {0, 0}, {right, bottom}},        // 90°: the left column on top
        {viewer::kFlipHorizontal, {0, 0}, {0, bottom}, {right, 0}},          // that mirrored on the screen
        {viewer::kRotateLeft, {0, bottom}, {right, bottom}, {0, 0}},         // upside down
        {viewer::kFlipHorizontal, {right, bottom}, {0, bottom}, {right, 0}}, // 180°
        {viewer::kRotateRight, {right, 0}, {right, bottom}, {0, 0}},         // 270°: the right column on top
    };
    for (const ShownCorners& step : steps) {
        ASSERT_TRUE(viewer.Send(step.command));
        ExpectTurnedPicture(e2e::CaptureClient(viewer.view), step, 1);
    }
    // At 200% each pixel a square of four, and at 50% the reduced picture
    // turned: plain quarters keep their colours away from the seams.
    ASSERT_TRUE(e2e::PressKey(viewer.main, '2', e2e::kCtrl));
    ExpectTurnedPicture(e2e::CaptureClient(viewer.view), steps[4], 2);
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 1));
    const e2e::Picture shot = e2e::CaptureClient(viewer.view);
    ASSERT_FALSE(shot.Empty());
    // 270°: the picture's top right quarter (green) at the top left,
    // its bottom left (blue) at the bottom right; shown 30 x 40.
    const int left = (shot.width - 30) / 2, top = (shot.height - 40) / 2;
    EXPECT_EQ(shot.ColourAt(left + 2, top + 2), RGB(0, 255, 0));
    EXPECT_EQ(shot.ColourAt(left + 27, top + 37), RGB(0, 0, 255));
    EXPECT_EQ(shot.ColourAt(left + 27, top + 2), RGB(255, 255, 255));
    EXPECT_EQ(shot.ColourAt(left + 2, top + 37), RGB(255, 0, 0));
    EXPECT_EQ(viewer.Close(), 0u);
}

// The thumbnail grid in the view's place: the cells of the two documents
// show their colours, the third, which cannot be read, says so in text.
TEST(ViewerScreen, TheGridShowsEachDocumentsThumbnailAndMarksOneThatCannotBeRead) {
    viewer::DocFolder docs;
    const auto solid = [&](const std::string& name, uint8_t b, uint8_t g, uint8_t r) {
        return docs.QvmPainted(docs.Path(), name, 64, 48, [=](int, int, uint8_t* p) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        });
    };
    const std::string a = solid("a.qvm", 0x20, 0x80, 0xE0);
    const std::string b = solid("b.qvm", 0xC0, 0x40, 0x10);
    docs.Raw("c.qvm", "QVMDATA but nothing after it");
    ImageBuffer decodedA, decodedB;
    ASSERT_TRUE(LoadDocument(decodedA, a.c_str()));
    ASSERT_TRUE(LoadDocument(decodedB, b.c_str()));
    const COLORREF colourA = DecodedAt(decodedA, 0, 0);
    const COLORREF colourB = DecodedAt(decodedB, 0, 0);
    viewer::SettingsValues values;
    values.Place(10, 10, 810, 610);
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + a + "\""));
    const e2e::Picture pictureView = e2e::CaptureClient(viewer.view);
    ASSERT_FALSE(pictureView.Empty()) << "no screen: the X11 driver is not in use";

    ASSERT_TRUE(e2e::PressKey(viewer.main, 'T', e2e::kCtrl));
    const HWND grid = FindWindowExA(viewer.main, nullptr, "ThumbnailGrid", nullptr);
    ASSERT_NE(grid, nullptr);
    HDC screen = GetDC(nullptr);
    const uint32_t dpi = uint32_t(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    RECT client{};
    GetClientRect(grid, &client);
    const GridLayout layout(client.right, client.bottom, dpi);
    ASSERT_GE(layout.Columns(), 3);
    const auto centre = [&](int index) {
        const GridRect square = layout.ThumbnailRect(index, 0);
        return POINT{(square.left + square.right) / 2, (square.top + square.bottom) / 2};
    };
    e2e::Picture shot;
    // The thumbnails are made on the grid's threads and come in as they are.
    const bool drawn = waits::WaitUntil([&] {
        shot = e2e::CaptureClient(grid);
        return !shot.Empty() && shot.ColourAt(centre(0).x, centre(0).y) == colourA &&
               shot.ColourAt(centre(1).x, centre(1).y) == colourB;
    });
    EXPECT_TRUE(drawn) << std::hex << shot.ColourAt(centre(0).x, centre(0).y) << " "
                       << shot.ColourAt(centre(1).x, centre(1).y);
    EXPECT_NE(shot.pixels, pictureView.pixels);
    // The broken document's square: text on the background, no thumbnail.
    const GridRect square = layout.ThumbnailRect(2, 0);
    const COLORREF background = RGB(0x80, 0x80, 0x80);
    int text = 0, thumbnail = 0;
    for (int y = square.top; y < square.bottom; ++y)
        for (int x = square.left; x < square.right; ++x) {
            const COLORREF colour = shot.ColourAt(x, y);
            text += colour != background ? 1 : 0;
            thumbnail += colour == colourA || colour == colourB ? 1 : 0;
        }
    EXPECT_GT(text, 20);
    EXPECT_EQ(thumbnail, 0);
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
