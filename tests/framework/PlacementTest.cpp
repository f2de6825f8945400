// Placement operations on real windows: the normal rectangle moved and kept
// on screen, hidden and maximised windows, centring.
#include "TestWindows.h"

#include "base/PlacementMath.h"

#include <gtest/gtest.h>

namespace {

RECT NormalRect(HWND window) {
    WINDOWPLACEMENT record{};
    record.length = sizeof(record);
    GetWindowPlacement(window, &record);
    return record.rcNormalPosition;
}

TEST(Placement, NormalRectangleMovesWithItsSize) {
    Live<Window> window;
    ASSERT_TRUE(CreateTestWindow(window));
    const RECT before = NormalRect(window.hwnd);
    window.MoveNormalTopLeft(120, 70);
    const RECT after = NormalRect(window.hwnd);
    EXPECT_EQ(after.left, 120);
    EXPECT_EQ(after.top, 70);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    POINT topLeft{};
    ASSERT_TRUE(window.GetNormalTopLeft(topLeft));
    EXPECT_EQ(topLeft.x, 120);
}

TEST(Placement, MovingAHiddenWindowKeepsItHidden) {
    Live<Window> window;
    ASSERT_TRUE(CreateTestWindow(window));
    window.MoveNormalTopLeft(30, 40);
    EXPECT_FALSE(IsWindowVisible(window.hwnd));
    ShowWindow(window.hwnd, SW_SHOWNOACTIVATE);
    window.MoveNormalTopLeft(50, 60);
    EXPECT_TRUE(IsWindowVisible(window.hwnd));
    RECT r{};
    window.GetWindowRect(r);
    EXPECT_EQ(r.left, 50);
}

// The platform itself brings a wholly off-screen normal rectangle back when
// it is applied, so these windows stick out only partly; the arithmetic for
// far-away rectangles is tested on its own.
TEST(Placement, WindowLeftOfTheScreenIsBroughtBackWithItsSize) {
    Live<Window> window;
    ASSERT_TRUE(CreateTestWindow(window));
    RECT screen{};
    GetVirtualScreenRect(screen);
    window.MoveNormalTopLeft(screen.left - 100, 50);
    ASSERT_EQ(NormalRect(window.hwnd).left, screen.left - 100);
    window.KeepInVirtualScreen();
    const RECT after = NormalRect(window.hwnd);
    EXPECT_EQ(after.left, screen.left);
    EXPECT_EQ(after.top, 50);
    EXPECT_EQ(after.right - after.left, 300);
}

TEST(Placement, WindowPastTheRightEdgeIsPulledIn) {
    Live<Window> window;
    ASSERT_TRUE(CreateTestWindow(window));
    RECT screen{};
    GetVirtualScreenRect(screen);
    window.MoveNormalTopLeft(screen.right - 20, 50);
    ASSERT_EQ(NormalRect(window.hwnd).left, screen.right - 20);
    window.KeepInVirtualScreen();
    EXPECT_EQ(NormalRect(window.hwnd).right, screen.right);
}

TEST(Placement, MaximisedOrMinimisedWindowIsNotMoved) {
    for (UINT show : {SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE}) {
        Live<Window> window;
        ASSERT_TRUE(CreateTestWindow(window));
        WINDOWPLACEMENT record{};
        window.GetPlacement(record);
        RECT screen{};
        GetVirtualScreenRect(screen);
        record.rcNormalPosition = {screen.left - 100, 10, screen.left + 200, 210};
        record.showCmd = show;
        ASSERT_TRUE(window.SetPlacement(record));
        ASSERT_TRUE(IsZoomed(window.hwnd) || IsIconic(window.hwnd)) << show;
        ASSERT_EQ(NormalRect(window.hwnd).left, screen.left - 100);
        window.KeepInVirtualScreen();
        EXPECT_EQ(NormalRect(window.hwnd).left, screen.left - 100) << show;
    }
}

TEST(Placement, CentringUsesTheWorkAreaOrTheReferenceWindow) {
    Live<Window> window;
    ASSERT_TRUE(CreateTestWindow(window));
    window.Resize(200, 100);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    window.CenterWindow(nullptr);
    RECT r{};
    window.GetWindowRect(r);
    EXPECT_EQ(r.left, work.left + (work.right - work.left - 200) / 2);
    EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 100) / 2);

    Live<Window> reference;
    ASSERT_TRUE(CreateTestWindow(reference));
    reference.Move(40, 30); // 300 x 200 at (40, 30)
    window.CenterWindow(reference.hwnd);
    window.GetWindowRect(r);
    EXPECT_EQ(r.left, 90);
    EXPECT_EQ(r.top, 80);
}

} // namespace
