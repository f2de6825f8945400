#pragma once
// Pixels of a window as they are on the screen. This needs Wine's X11 driver
// (tests registered with SCREEN run under Xvfb with it): the screen DC then
// reads back the X server's picture. The null driver has no screen; captures
// come back empty there. A window DC of another process cannot be read
// (GetPixel answers CLR_INVALID), so the screen is read at the window's place:
// the window must not be covered (windows of one test only, no window manager
// under Xvfb).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first

    bool Empty() const { return pixels.empty(); }
    // Pixel (x, y) as a Windows colour 0x00BBGGRR (what GetPixel returns).
    COLORREF ColourAt(int x, int y) const;
    bool operator==(const Picture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// The screen rectangle as it is now.
Picture CaptureScreen(const RECT& rect);
// hwnd's client area (CaptureClient) or whole window with frame and menu
// (CaptureWindow), after having it repainted and waited until the picture on
// the screen stays the same for two reads in a row (Wine copies a window's
// painting to the X server a moment after the paint). Something that never
// stays the same, a blinking caret, makes the capture wait two seconds and
// take the last read.
Picture CaptureClient(HWND hwnd);
Picture CaptureWindow(HWND hwnd);

// 8-bit RGB PNG; false if the file could not be written.
bool SavePng(const Picture& picture, const std::string& path);

} // namespace e2e
