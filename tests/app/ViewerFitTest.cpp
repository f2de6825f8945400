// The real viewer driven from outside (Wine's null driver): Fit to window,
// zooming about the pointer with Ctrl and the wheel, the zoom keys beside
// the old ones, and the status bar's texts.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/WindowQuery.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using viewer::Session;

// Nothing scrolls along the bar: its page covers its whole range.
bool NothingToScroll(HWND view, int bar) {
    const std::optional<e2e::ScrollState> state = e2e::ReadScroll(view, bar);
    return state && state->page > state->maximum - state->minimum;
}

TEST(ViewerFit, CtrlZeroFitsALargePictureWholeAndIsKept) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("large.qvm", 2000, 1500);
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    const std::optional<e2e::ScrollState> before = e2e::ReadScroll(viewer.view, SB_HORZ);
    ASSERT_TRUE(before.has_value());
    ASSERT_FALSE(NothingToScroll(viewer.view, SB_HORZ))
        << before->minimum << " " << before->maximum << " " << before->page << " " << viewer.StatusPart(1);
    ASSERT_TRUE(e2e::PressKey(viewer.list, '0', e2e::kCtrl));
    EXPECT_TRUE(NothingToScroll(viewer.view, SB_HORZ));
    EXPECT_TRUE(NothingToScroll(viewer.view, SB_VERT));
    // The largest whole percent that fits the bar-less view.
    const RECT client = e2e::ClientRect(viewer.view);
    const int fit = std::min(client.right * 100 / 2000, client.bottom * 100 / 1500);
    EXPECT_EQ(viewer.HorzMax(), 2000 * fit / 100 - 1);
    EXPECT_EQ(viewer.StatusPart(1), "2000 x 1500, " + std::to_string(fit) + "%");
    const std::optional<e2e::MenuItemState> item = e2e::ReadMenuItem(viewer.main, viewer::kFitToWindow);
    ASSERT_TRUE(item.has_value());
    EXPECT_NE(item->flags & MF_CHECKED, 0u);
    // A resize fits again.
    ASSERT_TRUE(SetWindowPos(viewer.main, nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    EXPECT_TRUE(NothingToScroll(viewer.view, SB_HORZ));
    EXPECT_TRUE(NothingToScroll(viewer.view, SB_VERT));
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "FitToWindow"), "1");
}

TEST(ViewerFit, CtrlPlusAndMinusStepTheZoomFromAFittedScale) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("large.qvm", 2000, 1500);
    viewer::SettingsValues values;
    values.fitToWindow = 1;
    values.Place(10, 10, 510, 410); // a window where the picture fits below 50%
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ASSERT_TRUE(NothingToScroll(viewer.view, SB_HORZ)); // fitted from the start
    const struct {
        UINT key;
        const char* status;
    } keys[] = {{VK_OEM_PLUS, "2000 x 1500, 25%"},
                {VK_OEM_PLUS, "2000 x 1500, 33%"},
                {VK_ADD, "2000 x 1500, 50%"},
                {VK_OEM_MINUS, "2000 x 1500, 33%"},
                {VK_SUBTRACT, "2000 x 1500, 25%"}};
    for (const auto& k : keys) {
        ASSERT_TRUE(e2e::PressKey(viewer.list, k.key, e2e::kCtrl));
        EXPECT_EQ(viewer.StatusPart(1), k.status) << k.key;
    }
    EXPECT_EQ(viewer.Close(), 0u);
    const std::string written = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(written, "FitToWindow"), "0");
    EXPECT_EQ(viewer::ValueOf(written, "Scale"), "25");
}

TEST(ViewerFit, CtrlWheelKeepsThePictureUnderThePointer) {
    viewer::DocFolder docs;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + docs.Qvm("big.qvm", 900, 700) + "\""));
    ASSERT_TRUE(PostMessageA(viewer.view, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0));
    ASSERT_TRUE(PostMessageA(viewer.view, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0));
    ASSERT_TRUE(e2e::Sync(viewer.view));
    // Picture point (150, 120) is under (100, 80); at 150%, the next step,
    // it is at (225, 180), so the view starts at (125, 100).
    ASSERT_TRUE(e2e::PostWheel(viewer.view, WHEEL_DELTA, 100, 80, e2e::kCtrl));
    EXPECT_EQ(viewer.HorzPos(), 125);
    EXPECT_EQ(viewer.VertPos(), 100);
    EXPECT_EQ(viewer.StatusPart(1), "900 x 700, 150%");
    ASSERT_TRUE(e2e::PostWheel(viewer.view, -WHEEL_DELTA, 100, 80, e2e::kCtrl));
    EXPECT_EQ(viewer.HorzPos(), 50);
    EXPECT_EQ(viewer.VertPos(), 40);
    // Without Ctrl the wheel runs its binding (the next file: none) and
    // leaves the zoom alone.
    ASSERT_TRUE(e2e::PostWheel(viewer.view, -WHEEL_DELTA, 100, 80));
    EXPECT_EQ(viewer.StatusPart(1), "900 x 700, 100%");
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerFullScreen, F11ShowsThePictureAloneAndEscapeGoesBack) {
    viewer::DocFolder docs;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + docs.Qvm("a.qvm", 30, 20) + "\""));
    RECT windowed{};
    GetWindowRect(viewer.main, &windowed);
    ASSERT_TRUE(e2e::PressKey(viewer.list, VK_F11));
    EXPECT_FALSE(IsWindowVisible(viewer.list));
    EXPECT_FALSE(IsWindowVisible(viewer.status));
    EXPECT_EQ(GetWindowLongA(viewer.main, GWL_STYLE) & WS_CAPTION, 0);
    // The view covers the whole window.
    const RECT client = e2e::ClientRect(viewer.main);
    RECT view{};
    GetWindowRect(viewer.view, &view);
    EXPECT_EQ(view.right - view.left, client.right);
    EXPECT_EQ(view.bottom - view.top, client.bottom);
    ASSERT_TRUE(e2e::PressKey(viewer.main, VK_ESCAPE));
    EXPECT_TRUE(IsWindowVisible(viewer.list));
    EXPECT_TRUE(IsWindowVisible(viewer.status));
    RECT back{};
    GetWindowRect(viewer.main, &back);
    EXPECT_TRUE(EqualRect(&back, &windowed));
    EXPECT_EQ(viewer.Close(), 0u);
}

// With the list hidden the keys go to the frame, which steps as the list
// would, Space and Backspace too.
TEST(ViewerFullScreen, SteppingKeysStepAsInTheWindow) {
    viewer::DocFolder docs;
    const char* names[] = {"a.qvm", "b.qvm", "c.qvm", "d.qvm"};
    for (int i = 0; i < 4; ++i)
        docs.Qvm(names[i], 10 + i, 5);
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    ASSERT_TRUE(e2e::PressKey(viewer.list, VK_F11));
    ASSERT_FALSE(IsWindowVisible(viewer.list));
    const struct {
        UINT key;
        int shown; // index into names
    } steps[] = {{VK_RIGHT, 1}, {VK_SPACE, 2}, {VK_NEXT, 3}, {VK_NEXT, 3}, {VK_LEFT, 2}, {VK_PRIOR, 1},
                 {VK_BACK, 0},  {VK_BACK, 0},  {VK_END, 3},  {VK_HOME, 0}, {VK_DOWN, 1}, {VK_UP, 0}};
    for (const auto& step : steps) {
        // Where the program's keyboard focus is, as a user's key would go.
        const std::optional<e2e::ThreadState> state = e2e::ReadThreadState(viewer.main);
        ASSERT_TRUE(state.has_value());
        ASSERT_NE(state->focus, nullptr);
        ASSERT_TRUE(e2e::PressKey(state->focus, step.key));
        EXPECT_EQ(viewer.TitleNow(), viewer::Title(10 + step.shown, 5, names[step.shown])) << "key " << step.key;
    }
    EXPECT_EQ(viewer.StatusPart(0), "1 / 4");
    // Back in the window the list has the keys again.
    ASSERT_TRUE(e2e::PressKey(viewer.main, VK_ESCAPE));
    const std::optional<e2e::ThreadState> state = e2e::ReadThreadState(viewer.main);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->focus, viewer.list);
    EXPECT_EQ(viewer.Close(), 0u);
}

// The width text takes in the system's status-bar font (the prefix is at
// 96 DPI, where the bar uses it as it is).
int StatusTextWidth(const std::string& text) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return 0;
    HFONT font = CreateFontIndirectW(&metrics.lfStatusFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ kept = SelectObject(dc, font);
    const std::wstring wide = e2e::Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    SelectObject(dc, kept);
    DeleteDC(dc);
    DeleteObject(font);
    return int(size.cx);
}

// Each part of the bar is wide enough for its text with the control's
// margins (a few pixels each side), a failure's reason above all.
TEST(ViewerStatus, EachPartShowsItsTextWhole) {
    viewer::DocFolder docs;
    docs.Raw("notes.qvm", "plain text, no document");
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    const std::string reason = viewer::FailedStatus("not a QVM/QVR document");
    ASSERT_EQ(viewer.StatusPart(1), reason);
    const int needed = StatusTextWidth(reason);
    ASSERT_GT(needed, 0);
    EXPECT_GE(viewer.StatusPartWidth(1), needed + 6) << "text of " << needed << " pixels";
    EXPECT_GE(viewer.StatusPartWidth(0), StatusTextWidth(viewer.StatusPart(0)) + 6);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerStatus, NamesPlaceSizeZoomFormatLayersAndFile) {
    viewer::DocFolder docs;
    docs.QvmPainted(docs.Path(), "a.qvm", 30, 20, [](int, int, uint8_t* pixel) { pixel[0] = 9; });
    docs.QvrIn(docs.Path(), "b.qvr", 12, 8);
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    EXPECT_EQ(viewer.StatusPart(0), "1 / 2");
    EXPECT_EQ(viewer.StatusPart(1), "30 x 20, 100%");
    EXPECT_EQ(viewer.StatusPart(2), "QVM, 1 layer");
    const std::regex file(R"(\d+ bytes, \d{4}-\d\d-\d\d \d\d:\d\d)");
    EXPECT_TRUE(std::regex_match(viewer.StatusPart(3), file)) << viewer.StatusPart(3);
    ASSERT_TRUE(viewer.Send(viewer::kNext));
    EXPECT_EQ(viewer.StatusPart(0), "2 / 2");
    EXPECT_EQ(viewer.StatusPart(1), "12 x 8, 100%");
    EXPECT_EQ(viewer.StatusPart(2), "QVR v0, 1 layer");
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 5)); // 300%
    EXPECT_EQ(viewer.StatusPart(1), "12 x 8, 300%");
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
