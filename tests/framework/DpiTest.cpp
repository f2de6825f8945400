// The DPI a window is drawn at, on every road the system offers.

#include "framework/Dpi.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Dpi, TheMonitorsDpiFromShcoreIsTheOneTheWindowIsDrawnAt) {
    // What Windows 8.1 and 10 before 1607 answer, held against
    // GetDpiForWindow where both exist.
    HWND window = CreateWindowExW(0, L"STATIC", L"dpi", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    ASSERT_NE(dpiForWindow, nullptr);
    const uint32_t expected = dpiForWindow(window);
    EXPECT_EQ(MonitorDpi(window), expected);
    EXPECT_EQ(WindowDpi(window), expected);
    EXPECT_EQ(MonitorDpi(nullptr), 0u);
    DestroyWindow(window);
}

TEST(Dpi, PixelSizesScaleAndRoundAsMulDiv) {
    const struct {
        int32_t pixels;
        uint32_t dpi;
        int32_t scaled;
    } cases[] = {{32, 96, 32}, {32, 144, 48}, {16, 120, 20}, {3, 144, 5}, {-3, 144, -5}, {10, 0, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
}

} // namespace
