#pragma once
// The dots per inch a window is shown at, and the program's pixel sizes
// scaled to it. Every constant the program draws or lays out in pixels is
// written for 96 DPI (100%) and scaled at the point of use, so that a window
// on a 150% or 200% monitor looks the same size as on a 100% one.

#include <windows.h>

#include <cstdint>

constexpr uint32_t kBaseDpi = 96;

// The DPI of window's monitor (per-monitor aware), or the system DPI on
// systems without per-monitor DPI (before Windows 10 1607), where the
// screen's LOGPIXELSY is what every window is drawn at.
uint32_t WindowDpi(HWND window);

// pixels (at 96 DPI) at dpi, rounded to the nearest pixel; an unknown dpi
// (0) counts as 96.
int32_t ScaleForDpi(int32_t pixels, uint32_t dpi);
