#include "framework/PictureDib.h"

#include "framework/Clipboard.h"
#include "pixels/ImageBuffer.h"

#include <cstring>

void DrawPicture(HDC dc, const ImageBuffer& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
    if (picture.bits == nullptr)
        return;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    // StretchDIBits counts the source origin from the bottom of a bottom-up
    // bitmap.
    const int sourceYFromBottom = picture.height - sy - sh;
    StretchDIBits(dc, dx, dy, dw, dh, sx, sourceYFromBottom, sw, sh, picture.bits,
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, SRCCOPY);
}

bool CopyPictureToClipboard(const ImageBuffer& picture) {
    const int32_t width = picture.width;
    const int32_t height = picture.height;
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    const size_t total = sizeof(BITMAPINFOHEADER) + stride * size_t(height);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, total);
    if (block == nullptr)
        return false;
    uint8_t* target = static_cast<uint8_t*>(GlobalLock(block));
    if (target == nullptr) {
        GlobalFree(block);
        return false;
    }
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::memcpy(target, &header, sizeof header);
    uint8_t* row = target + sizeof header;
    for (int32_t y = 0; y < height; ++y, row += stride) {
        const uint8_t* source = picture.bits + size_t(y) * size_t(width) * 4;
        uint8_t* out = row;
        for (int32_t x = 0; x < width; ++x, source += 4, out += 3) {
            out[0] = source[0];
            out[1] = source[1];
            out[2] = source[2];
        }
        // Zero the padding so the block never carries stale heap bytes.
        std::memset(out, 0, size_t(row + stride - out));
    }
    GlobalUnlock(block);
    return PlaceOnClipboard(nullptr, CF_DIB, block);
}
