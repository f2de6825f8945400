#include "tests/e2e/Screenshot.h"

#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/WaitUntil.h"

namespace e2e {

COLORREF Picture::ColourAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    const uint32_t pixel = pixels[size_t(y) * size_t(width) + size_t(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

Picture CaptureScreen(const RECT& rect) {
    Picture picture;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return picture;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        // The null driver's screen DC copies nothing: an all-zero picture
        // would pass for black, so a failed copy gives an empty picture.
        if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) &&
            GetDeviceCaps(screen, HORZRES) > 0 && GetPixel(screen, rect.left, rect.top) != CLR_INVALID) {
            GdiFlush();
            picture.width = width;
            picture.height = height;
            const auto* source = static_cast<const uint32_t*>(bits);
            picture.pixels.assign(source, source + size_t(width) * size_t(height));
            for (uint32_t& pixel : picture.pixels)
                pixel &= 0xFFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

namespace {

Picture CaptureSettled(HWND hwnd, bool clientOnly) {
    // Repaints synchronously in the program (RDW_UPDATENOW sends its WM_PAINT
    // across), frame included for a whole-window picture.
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | (clientOnly ? 0 : RDW_FRAME));
    Sync(hwnd);
    auto area = [&] {
        RECT rect;
        if (clientOnly)
            rect = ClientRectOnScreen(hwnd);
        else
            GetWindowRect(hwnd, &rect);
        return rect;
    };
    Picture previous = CaptureScreen(area());
    if (previous.Empty())
        return previous;
    // Two captures alike in a row: the painting has settled.
    waits::WaitUntil(
        [&] {
            Picture current = CaptureScreen(area());
            const bool settled = current == previous;
            previous = std::move(current);
            return settled;
        },
        2000);
    return previous;
}

} // namespace

Picture CaptureClient(HWND hwnd) {
    return CaptureSettled(hwnd, true);
}
Picture CaptureWindow(HWND hwnd) {
    return CaptureSettled(hwnd, false);
}

} // namespace e2e
