#include "Canvas.h"

#include <cstring>

Canvas::Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    previous = SelectObject(dc, bitmap);
    if (bits != nullptr)
        std::memset(bits, kUntouched, size_t(w) * size_t(h) * 4);
}

Canvas::~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

COLORREF Canvas::At(int x, int y) const {
    GdiFlush();
    const uint8_t* p = bits + (size_t(y) * size_t(width) + size_t(x)) * 4;
    return RGB(p[2], p[1], p[0]);
}

std::set<COLORREF> Canvas::ColoursIn(int from, int to) const {
    std::set<COLORREF> colours;
    for (int y = 0; y < height; ++y)
        for (int x = from; x < to; ++x)
            colours.insert(At(x, y));
    return colours;
}

bool Canvas::Untouched() const {
    GdiFlush();
    for (size_t i = 0; i < size_t(width) * size_t(height) * 4; ++i)
        if (bits[i] != kUntouched)
            return false;
    return true;
}
