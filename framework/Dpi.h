#pragma once
// The dots per inch a window is shown at, and the program's pixel sizes
// scaled to it. Every constant the program draws or lays out in pixels is
// written for 96 DPI (100%) and scaled at the point of use, so that a window
// on a 150% or 200% monitor looks the same size as on a 100% one.

#include <windows.h>

#include <cstdint>

constexpr uint32_t kBaseDpi = 96;

// The DPI window is drawn at: GetDpiForWindow from Windows 10 1607 on; before
// it (Windows 8.1, 10 before 1607) the DPI of the window's monitor from
// shcore's GetDpiForMonitor; on Windows 7 the system DPI, the screen's
// LOGPIXELSY, which every window is drawn at there.
uint32_t WindowDpi(HWND window);

// The system DPI, the screen's LOGPIXELSY: what system metrics and fonts
// are given at by calls that take no DPI.
uint32_t ScreenDpi();

// The effective DPI of the monitor window is on, through shcore loaded at run
// time; 0 where shcore or the monitor cannot say (Windows 7).
uint32_t MonitorDpi(HWND window);

// pixels (at 96 DPI) at dpi, rounded to the nearest pixel; an unknown dpi
// (0) counts as 96.
int32_t ScaleForDpi(int32_t pixels, uint32_t dpi);
