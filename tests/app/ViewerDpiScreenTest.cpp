// The viewer at the screen scale of its Wine prefix (96, 144 or 192 DPI, from
// TESSAVEL_WINE_DPI; each scale has an X11 prefix of its own under Xvfb): a
// per-monitor aware window whose pixel sizes follow the DPI, a picture at
// 100% painted one screen pixel per picture pixel, and dialogs that show
// every text whole. Screenshots go to screenshots/ in the build folder.

#include "tests/app/ViewerDialogs.h"
#include "tests/app/ViewerSession.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/WaitUntil.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

using viewer::Session;

int PrefixDpi() {
    const char* value = std::getenv("TESSAVEL_WINE_DPI");
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : 96;
}

// A size the program gives for 96 DPI, at dpi (rounded as the program does).
int At(int pixels, int dpi) {
    return MulDiv(pixels, dpi, 96);
}

// Named by scale, and by system language where it is not the default, so
// that the runs in each prefix keep their own.
std::string ShotPath(const std::string& name) {
    CreateDirectoryA(e2e::BuildPath("screenshots").c_str(), nullptr);
    const char* locale = std::getenv("TESSAVEL_WINE_LOCALE");
    const std::string language = locale != nullptr && *locale != 0 ? std::string("-") + locale : "";
    return e2e::BuildPath("screenshots\\" + name + "-" + std::to_string(PrefixDpi()) + language + ".png");
}

RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

int WidthOf(HWND hwnd) {
    const RECT r = WindowRectOf(hwnd);
    return r.right - r.left;
}

// The height of one of the system's fonts (the message font unless named) at
// dpi, as the system gives it.
LONG SystemFontHeight(int dpi, LOGFONTW NONCLIENTMETRICSW::*which = &NONCLIENTMETRICSW::lfMessageFont) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    const auto forDpi = reinterpret_cast<ForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SystemParametersInfoForDpi")));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (forDpi == nullptr || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, UINT(dpi)))
        return 0;
    return (metrics.*which).lfHeight;
}

// The list's font height, its item height, and the gap between the list and
// the view, at dpi.
void ExpectFrameScaledTo(const Session& viewer, int dpi) {
    const auto list = e2e::ReadDpiState(viewer.list);
    ASSERT_TRUE(list.has_value());
    const LONG fontHeight = SystemFontHeight(dpi);
    ASSERT_NE(fontHeight, 0);
    EXPECT_EQ(list->fontHeight, fontHeight); // the system's message font, at the window's scale
    // The list measures its items by the font: about the font's height.
    const LRESULT itemHeight = SendMessageA(viewer.list, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_NEAR(itemHeight, std::abs(fontHeight), At(4, dpi));
    EXPECT_EQ(WindowRectOf(viewer.view).left - WindowRectOf(viewer.list).right, At(6, dpi));
}

TEST(ViewerDpi, WindowIsPerMonitorAwareAndItsSizesFollowTheDpi) {
    const int dpi = PrefixDpi();
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    const auto frame = e2e::ReadDpiState(viewer.main);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->dpi, dpi);
    // Per monitor, from the manifest (Wine reports version 2 as plain per
    // monitor).
    EXPECT_GE(frame->awareness, 2);
    // The window's icon at the size of the scale: 32 pixels at 100%.
    EXPECT_EQ(frame->iconSize, At(32, dpi));
    // No settings file: three quarters of the work area each way, at any
    // scale.
    const RECT placed = WindowRectOf(viewer.main);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(placed.right - placed.left, (work.right - work.left) * 3 / 4);
    EXPECT_EQ(placed.bottom - placed.top, (work.bottom - work.top) * 3 / 4);
    EXPECT_EQ(WidthOf(viewer.list), At(150, dpi));
    ExpectFrameScaledTo(viewer, dpi);
    EXPECT_EQ(viewer.Close(), 0u);
}

// Wine shows no second monitor: the message a monitor of twice the scale
// would bring is sent by the program's own thread, as the system sends it.
TEST(ViewerDpi, DpiChangeTakesTheSuggestedRectangleAndScalesTheList) {
    const int dpi = PrefixDpi();
    const int doubled = dpi * 2;
    viewer::SettingsValues values;
    values.Place(10, 10, 410, 310);
    values.listWidth = 120;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    ASSERT_EQ(WidthOf(viewer.list), 120);
    const RECT suggested{20, 30, 20 + 800, 30 + 600};
    ASSERT_TRUE(e2e::SendDpiChanged(viewer.main, doubled, suggested));
    const RECT now = WindowRectOf(viewer.main);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    EXPECT_EQ(now.right, suggested.right);
    EXPECT_EQ(now.bottom, suggested.bottom);
    ExpectFrameScaledTo(viewer, doubled);
    EXPECT_EQ(WidthOf(viewer.list), 240);
    // The icons are made again at the new scale.
    const auto frame = e2e::ReadDpiState(viewer.main);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->iconSize, At(32, doubled));
    // The view still fills the client area beside the list and the gap.
    EXPECT_EQ(WindowRectOf(viewer.view).right, e2e::ClientRectOnScreen(viewer.main).right);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerDpi, StatusBarFontAndLayersPaneFollowTheDpi) {
    const int dpi = PrefixDpi();
    viewer::SettingsValues values;
    values.layersPane = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    const HWND pane = e2e::FindChild(viewer.main, "SysListView32");
    ASSERT_NE(pane, nullptr);
    const int columns[] = {110, 70, 55, 55}; // at 96 DPI
    const LONG font = SystemFontHeight(dpi, &NONCLIENTMETRICSW::lfStatusFont);
    ASSERT_NE(font, 0);
    auto bar = e2e::ReadDpiState(viewer.status);
    ASSERT_TRUE(bar.has_value());
    EXPECT_EQ(bar->fontHeight, font);
    // At least their widths at the scale; wider where a title needs it.
    for (int i = 0; i < 4; ++i)
        EXPECT_GE(SendMessageW(pane, LVM_GETCOLUMNWIDTH, i, 0), At(columns[i], dpi)) << "column " << i;
    auto names = e2e::ReadDpiState(pane);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->fontHeight, SystemFontHeight(dpi)); // layer names in the list's font
    const RECT before = WindowRectOf(viewer.status);

    ASSERT_TRUE(e2e::SendDpiChanged(viewer.main, dpi * 2, RECT{20, 30, 20 + 800, 30 + 600}));
    bar = e2e::ReadDpiState(viewer.status);
    ASSERT_TRUE(bar.has_value());
    EXPECT_EQ(bar->fontHeight, SystemFontHeight(dpi * 2, &NONCLIENTMETRICSW::lfStatusFont));
    for (int i = 0; i < 4; ++i)
        EXPECT_GE(SendMessageW(pane, LVM_GETCOLUMNWIDTH, i, 0), At(columns[i], dpi * 2)) << "column " << i;
    names = e2e::ReadDpiState(pane);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->fontHeight, SystemFontHeight(dpi * 2));
    // The bar grows with its font and keeps to the bottom of the frame.
    const RECT after = WindowRectOf(viewer.status);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.bottom, e2e::ClientRectOnScreen(viewer.main).bottom);
    EXPECT_EQ(viewer.Close(), 0u);
}

// The user's text size changes the system's fonts at the same DPI: the
// list, the layers pane and the status bar take the new ones at once, and
// the frame is laid out with them.
TEST(ViewerDpi, TextSizeChangeMakesTheFontsAgain) {
    viewer::SettingsValues values;
    values.layersPane = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    const HWND pane = e2e::FindChild(viewer.main, "SysListView32");
    ASSERT_NE(pane, nullptr);
    const LRESULT itemHeight = SendMessageA(viewer.list, LB_GETITEMHEIGHT, 0, 0);
    const RECT bar = WindowRectOf(viewer.status);

    const auto larger = e2e::ChangeTextSize(viewer.main, 150);
    ASSERT_TRUE(larger.has_value());
    const auto list = e2e::ReadDpiState(viewer.list);
    const auto names = e2e::ReadDpiState(pane);
    const auto status = e2e::ReadDpiState(viewer.status);
    const LRESULT largerItemHeight = SendMessageA(viewer.list, LB_GETITEMHEIGHT, 0, 0);
    const RECT largerBar = WindowRectOf(viewer.status);
    // Back as it was before anything is checked: the prefix's next tests
    // share the system's settings.
    const auto restored = e2e::ChangeTextSize(viewer.main, 100);
    ASSERT_TRUE(restored.has_value());
    ASSERT_TRUE(list.has_value() && names.has_value() && status.has_value());
    EXPECT_GT(std::abs(larger->messageHeight), std::abs(restored->messageHeight));
    EXPECT_EQ(list->fontHeight, larger->messageHeight);
    EXPECT_EQ(names->fontHeight, larger->messageHeight);
    EXPECT_EQ(status->fontHeight, larger->statusHeight);
    EXPECT_GT(largerItemHeight, itemHeight);
    EXPECT_GT(largerBar.bottom - largerBar.top, bar.bottom - bar.top);
    EXPECT_EQ(largerBar.bottom, bar.bottom); // still at the frame's bottom
    // And back with the restored fonts.
    EXPECT_EQ(SendMessageA(viewer.list, LB_GETITEMHEIGHT, 0, 0), itemHeight);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerDpi, SplitterDragStopsAtTheScaledLimits) {
    const int dpi = PrefixDpi();
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    const int client = e2e::ClientRect(viewer.main).right;
    const int list = WidthOf(viewer.list);
    // Far to the left: the list keeps its least width.
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {list + 1, 40}, {list + 1 - 2000, 40}, 1));
    const int least = At(2, dpi);
    EXPECT_EQ(WidthOf(viewer.list), least);
    // To the right: the view keeps its least width beside the list; a step
    // that would leave less changes nothing.
    const int gap = least + 1;
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {gap, 40}, {gap + client - least - At(10, dpi) + 1, 40}, 1));
    EXPECT_EQ(WidthOf(viewer.list), least);
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {gap, 40}, {gap + client - least - At(10, dpi), 40}, 1));
    EXPECT_EQ(WidthOf(viewer.list), client - At(10, dpi));
    EXPECT_EQ(viewer.Close(), 0u);
}

// A checkerboard of single pixels: any stretching or smoothing of the
// picture changes some of them.
std::string WriteCheckerboard(const viewer::DocFolder& docs, int width, int height) {
    return docs.QvmPainted(docs.Path(), "board.qvm", width, height,
                           [](int x, int y, uint8_t* p) { p[0] = p[1] = p[2] = (x + y) % 2 == 0 ? 0 : 255; });
}

TEST(ViewerDpi, PictureAtHundredPercentIsOneScreenPixelPerPicturePixel) {
    viewer::DocFolder docs;
    const int width = 90, height = 70;
    const std::string file = WriteCheckerboard(docs, width, height);
    ImageBuffer decoded;
    ASSERT_TRUE(LoadDocument(decoded, file.c_str()));
    const uint8_t* first = decoded.TopRow(0);
    const uint8_t* second = decoded.TopRow(0) + 4;
    ASSERT_NE(first[0], second[0]) << "the document is no checkerboard";
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    const e2e::Picture shot = e2e::CaptureClient(viewer.view);
    ASSERT_FALSE(shot.Empty()) << "no screen: the X11 driver is not in use";
    ASSERT_GT(shot.width, width);
    ASSERT_GT(shot.height, height);
    // The picture sits centred in the view: its top-left pixel is the first,
    // row by row, that is not the background.
    const COLORREF background = RGB(0x80, 0x80, 0x80);
    int left = -1, top = -1;
    for (int y = 0; y < shot.height && top < 0; ++y)
        for (int x = 0; x < shot.width && top < 0; ++x)
            if (shot.ColourAt(x, y) != background) {
                left = x;
                top = y;
            }
    ASSERT_GE(top, 1) << "no picture, or not centred";
    ASSERT_GE(left, 1);
    EXPECT_LE(std::abs(left - (shot.width - width) / 2), 1) << left << " of " << shot.width;
    EXPECT_LE(std::abs(top - (shot.height - height) / 2), 1) << top << " of " << shot.height;
    int wrong = 0;
    for (int y = -1; y < height + 1; ++y) {
        for (int x = -1; x < width + 1; ++x) {
            COLORREF expected = background; // around the picture
            if (x >= 0 && y >= 0 && x < width && y < height) {
                const uint8_t* p = decoded.TopRow(y) + x * 4;
                expected = RGB(p[2], p[1], p[0]);
            }
            if (shot.ColourAt(left + x, top + y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << shot.ColourAt(left + x, top + y)
                              << " instead of " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(e2e::SavePng(e2e::CaptureWindow(viewer.main), ShotPath("viewer")));
    EXPECT_EQ(viewer.Close(), 0u);
}

struct DialogCase {
    const char* name;
    int command;
    const char* title;
    int firstField; // has the focus when the dialog opens
    int closeWith;
};

const DialogCase kDialogs[] = {
    {"option", IDM_OPTION, "Option", IDC_OPTION_COLOR, IDCANCEL},
    {"conversion", IDM_CONVERT_ALL, "Conversion", IDC_CONVERSION_FOLDER, IDCANCEL},
    {"about", IDM_ABOUT, "About", IDOK, IDOK},
};

TEST(ViewerDpi, DialogsShowEveryTextWholeAndOpenOnTheirFirstField) {
    const int dpi = PrefixDpi();
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("one.qvm", 20, 20); // the conversion dialog needs a list
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    for (const DialogCase& dialogCase : kDialogs) {
        SCOPED_TRACE(dialogCase.name);
        HWND dialog = viewer::OpenDialog(viewer, dialogCase.command, dialogCase.title);
        ASSERT_NE(dialog, nullptr);
        // The template's 8-point font at this scale: every text of the
        // dialog, the progress bar's caption too, is drawn in it.
        const auto font = e2e::ReadDpiState(dialog);
        ASSERT_TRUE(font.has_value());
        EXPECT_EQ(font->fontHeight, -MulDiv(8, dpi, 72));
        const auto fit = e2e::ReadTextFit(dialog);
        ASSERT_TRUE(fit.has_value());
        EXPECT_GE(fit->controls, 2);
        EXPECT_EQ(fit->cutOff, 0) << "control " << fit->firstCutOffId << " is " << fit->shortBy << " pixels short";
        const auto state = e2e::ReadThreadState(dialog);
        ASSERT_TRUE(state.has_value());
        EXPECT_EQ(state->focus, GetDlgItem(dialog, dialogCase.firstField));
        EXPECT_TRUE(e2e::SavePng(e2e::CaptureWindow(dialog), ShotPath(dialogCase.name)));
        if (dialogCase.command == IDM_CONVERT_ALL) {
            // The bar's Japanese caption after a run, for the screenshot.
            SetDlgItemTextW(dialog, IDC_CONVERSION_FOLDER, e2e::Widen(docs.Path()).c_str());
            ASSERT_TRUE(viewer::Convert(dialog));
            EXPECT_EQ(viewer::ConversionCaption(dialog), viewer::DoneCaption(1, 1));
            EXPECT_TRUE(e2e::SavePng(e2e::CaptureWindow(dialog), ShotPath("conversion-done")));
        }
        ASSERT_TRUE(viewer::ClickItem(dialog, dialogCase.closeWith));
        ASSERT_TRUE(viewer::WaitGone(dialog));
    }
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerDpi, SwatchInsetAndFrameFollowTheDpi) {
    const int dpi = PrefixDpi();
    const COLORREF colour = RGB(0x20, 0xC0, 0x60);
    viewer::SettingsValues values;
    values.colBk = int(colour);
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    HWND option = viewer::OpenDialog(viewer, IDM_OPTION, "Option");
    ASSERT_NE(option, nullptr);
    // Under load the screen can still show the dialog's first frame, the
    // swatch's face without the swatch, for two reads in a row: the capture
    // is taken again until the swatch is there, and then measured.
    e2e::Picture swatch;
    waits::WaitUntil([&] {
        swatch = e2e::CaptureClient(GetDlgItem(option, IDC_OPTION_COLOR));
        return !swatch.Empty() && swatch.ColourAt(swatch.width / 2, swatch.height / 2) == colour;
    });
    ASSERT_FALSE(swatch.Empty());
    const int inset = At(5, dpi), frame = At(1, dpi);
    const int middle = swatch.height / 2;
    EXPECT_NE(swatch.ColourAt(inset - 1, middle), RGB(0, 0, 0)); // the face
    for (int i = 0; i < frame; ++i)
        EXPECT_EQ(swatch.ColourAt(inset + i, middle), RGB(0, 0, 0)) << i;
    EXPECT_EQ(swatch.ColourAt(inset + frame, middle), colour);
    EXPECT_EQ(swatch.ColourAt(swatch.width - 1 - inset - frame, middle), colour);
    EXPECT_EQ(swatch.ColourAt(swatch.width - 1 - inset, middle), RGB(0, 0, 0));
    ASSERT_TRUE(viewer::ClickItem(option, IDCANCEL));
    ASSERT_TRUE(viewer::WaitGone(option));
    EXPECT_EQ(viewer.Close(), 0u);
}

// Waits until a menu of the program is open (or, with open false, none is).
bool MenuShows(const Session& viewer, bool open) {
    return waits::WaitUntil([&] { return e2e::TopWindows(viewer.process.Pid(), "#32768").empty() != open; });
}

// Alt+F opens File, and O there its "Open file" item: the open-file dialog.
TEST(ViewerDpi, AltFThenOOpensTheFilePicker) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(e2e::BringToFront(viewer.main));
    ASSERT_TRUE(e2e::SendKey(viewer.main, 'F', e2e::kAlt));
    ASSERT_TRUE(MenuShows(viewer, true)) << "Alt+F opened no menu";
    ASSERT_TRUE(e2e::SendKey(viewer.main, 'O'));
    HWND picker = viewer::WaitOtherDialog(viewer, nullptr);
    ASSERT_NE(picker, nullptr) << "O in File opened nothing";
    EXPECT_TRUE(MenuShows(viewer, false));
    PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(viewer::WaitGone(picker));
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
