// The harness's own tests that need a screen: Wine's X11 driver under Xvfb
// (tessavel_add_e2e_test ... SCREEN). Pixels of the probe's view and of
// notepad, and the roads of the headless tests once more with this driver,
// whose clipboard and input go through the X server.

#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/FileDrop.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/ProbeIds.h"
#include "tests/e2e/Screenshot.h"
#include "tests/export/PngReadBack.h"
#include "tests/e2e/ViewerProcess.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct StartedProbe {
    StartedProbe() : process(e2e::ProbeExe()) {
        if (process.Start() && process.WaitReady(probe::kMainClass, probe::kReadyMessage))
            main = process.MainWindow();
        else
            std::fprintf(stderr, "probe: %s\n", process.Problem().c_str());
        view = main ? e2e::FindChild(main, probe::kViewClass) : nullptr;
        list = main ? e2e::FindChild(main, "LISTBOX") : nullptr;
    }
    e2e::ViewerProcess process;
    HWND main = nullptr;
    HWND view = nullptr;
    HWND list = nullptr;
};

TEST(HarnessScreen, ClientAreaPixelsAreThePaintedOnes) {
    StartedProbe probe;
    ASSERT_NE(probe.view, nullptr);
    const e2e::Picture picture = e2e::CaptureClient(probe.view);
    ASSERT_FALSE(picture.Empty()) << "no screen: the X11 driver is not in use";
    const RECT client = e2e::ClientRect(probe.view);
    EXPECT_EQ(picture.width, client.right);
    EXPECT_EQ(picture.height, client.bottom);
    const struct {
        int x, y;
        COLORREF colour;
    } samples[] = {
        {0, 0, probe::kCornerColour},
        {probe::kCornerWidth - 1, probe::kCornerHeight - 1, probe::kCornerColour},
        {probe::kCornerWidth, 0, probe::kViewColour},
        {0, probe::kCornerHeight, probe::kViewColour},
        {picture.width - 1, picture.height - 1, probe::kViewColour},
    };
    for (const auto& s : samples)
        EXPECT_EQ(picture.ColourAt(s.x, s.y), s.colour) << s.x << "," << s.y;
    EXPECT_EQ(picture.ColourAt(picture.width, 0), CLR_INVALID);
}

TEST(HarnessScreen, WholeWindowHoldsTheClientAreaAtItsPlace) {
    StartedProbe probe;
    ASSERT_NE(probe.view, nullptr);
    const e2e::Picture picture = e2e::CaptureWindow(probe.main);
    ASSERT_FALSE(picture.Empty());
    RECT window;
    GetWindowRect(probe.main, &window);
    EXPECT_EQ(picture.width, window.right - window.left);
    EXPECT_EQ(picture.height, window.bottom - window.top);
    const RECT view = e2e::ClientRectOnScreen(probe.view);
    EXPECT_EQ(picture.ColourAt(view.left - window.left, view.top - window.top), probe::kCornerColour);
    EXPECT_EQ(picture.ColourAt(view.right - 1 - window.left, view.bottom - 1 - window.top), probe::kViewColour);
}

TEST(HarnessScreen, ScreenshotIsSavedAsPng) {
    StartedProbe probe;
    ASSERT_NE(probe.view, nullptr);
    const e2e::Picture picture = e2e::CaptureClient(probe.view);
    ASSERT_FALSE(picture.Empty());
    TempDir scratch;
    const std::string path = scratch.File("shot.png");
    ASSERT_TRUE(e2e::SavePng(picture, path));
    const docwriter::Bytes file = docwriter::ReadFile(path);
    ASSERT_GT(file.size(), 8u + 25 + 12 + 12);
    EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 4), "PNG");
    pngread::Png png;
    ASSERT_TRUE(pngread::Parse(file, png) && pngread::Expand(png));
    for (const pngread::Chunk& chunk : png.chunks)
        EXPECT_TRUE(chunk.crcOk) << chunk.type;
    const uint32_t width = png.width, height = png.height;
    const std::vector<uint8_t>& rows = png.raw;
    ASSERT_EQ(rows.size(), size_t(height) * (1 + width * 3));
    EXPECT_EQ(png.colourType, 2);
    EXPECT_EQ(width, uint32_t(picture.width));
    EXPECT_EQ(height, uint32_t(picture.height));
    // Row 0: filter byte, then red pixels of the corner; the last row is view colour.
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[1], 0xFF);
    EXPECT_EQ(rows[2], 0);
    const size_t last = (height - 1) * (1 + width * 3) + 1 + (width - 1) * 3;
    EXPECT_EQ(RGB(rows[last], rows[last + 1], rows[last + 2]), probe::kViewColour);
}

TEST(HarnessScreen, KeysDropsAndClipboardWorkWithTheX11DriverToo) {
    StartedProbe probe;
    ASSERT_NE(probe.list, nullptr);
    const size_t before = e2e::ListTexts(probe.list).size();
    ASSERT_TRUE(e2e::PressKey(probe.main, VK_DOWN, e2e::kCtrl));
    ASSERT_TRUE(e2e::DropFiles(probe.process.Process(), probe.main, {"Z:\\x.qvm"}, {3, 4}, e2e::kCtrl));
    ASSERT_TRUE(e2e::BringToFront(probe.main));
    ASSERT_TRUE(e2e::SendKey(probe.main, '4', e2e::kCtrl));
    ASSERT_TRUE(e2e::ClearClipboard());
    ASSERT_TRUE(e2e::PressKey(probe.main, 'C', e2e::kCtrl));
    const std::vector<std::string> lines = e2e::ListTexts(probe.list);
    ASSERT_GE(lines.size(), before);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + before, lines.end()),
              (std::vector<std::string>{"command 40020", "drop ctrl=1 n=1 at 3,4", "file Z:\\x.qvm",
                                        "keydown 17 ctrl=1", "command 40016", "command 40008", "copied"}));
    const auto dib = e2e::ReadClipboardDib();
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->ColourAt(4, 2), RGB(200, 2, 4));
    const auto horz = e2e::ReadScroll(probe.view, SB_HORZ);
    ASSERT_TRUE(horz.has_value());
    EXPECT_EQ(horz->position, probe::kHorzPos);
}

// Tests of the null-driver prefix show windows of their own at the same
// time, which takes the foreground; here the tests run one at a time.
TEST(HarnessHardware, SendInputReachesTheForegroundProgram) {
    StartedProbe probe;
    ASSERT_NE(probe.view, nullptr);
    ASSERT_TRUE(e2e::BringToFront(probe.main));
    const size_t before = e2e::ListTexts(probe.list).size();
    ASSERT_TRUE(e2e::SendKey(probe.main, '4', e2e::kCtrl));
    // Two clicks in a row: the system makes the second a double click.
    ASSERT_TRUE(e2e::SendClick(probe.view, 20, 25, e2e::Button::kLeft, 2));
    // The wheel goes to the window under the cursor, not to the focus (the main window).
    ASSERT_TRUE(e2e::SendWheel(probe.view, 30, 30, -WHEEL_DELTA));
    const std::vector<std::string> lines = e2e::ListTexts(probe.list);
    ASSERT_GE(lines.size(), before);
    EXPECT_EQ(
        std::vector<std::string>(lines.begin() + before, lines.end()),
        (std::vector<std::string>{"keydown 17 ctrl=1", "command 40016", "lbuttondown 20,25 l", "lbuttonup 20,25 -",
                                  "lbuttondblclk 20,25 l", "lbuttonup 20,25 -", "wheel -120 -"}));
}

TEST(HarnessScreen, NotepadEditAreaIsWhiteOnScreen) {
    char windows[MAX_PATH];
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    e2e::ViewerProcess notepad(std::string(windows, n) + "\\notepad.exe", e2e::ViewerProcess::Placement::kInPlace);
    ASSERT_TRUE(notepad.Start());
    HWND main = notepad.WaitWindow("Notepad");
    ASSERT_NE(main, nullptr);
    HWND edit = e2e::FindChild(main, "Edit");
    ASSERT_NE(edit, nullptr);
    const e2e::Picture picture = e2e::CaptureClient(edit);
    ASSERT_FALSE(picture.Empty());
    // An empty edit control: the window colour everywhere but the caret.
    size_t white = 0;
    for (uint32_t pixel : picture.pixels)
        white += pixel == 0xFFFFFF;
    EXPECT_GT(white, picture.pixels.size() * 95 / 100);
    EXPECT_EQ(notepad.Close(), std::optional<DWORD>(0));
}

} // namespace
