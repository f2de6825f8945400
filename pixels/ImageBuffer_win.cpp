#include "pixels/ImageBuffer.h"

#include <windows.h>

#include <cstring>

namespace {

// Bitmap-information header followed by the three colour masks of a
// BI_BITFIELDS section: 40 + 12 bytes.
struct BitfieldsHeader {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};
static_assert(sizeof(BitfieldsHeader) == 52, "header and three masks");

} // namespace

void* ImageBuffer::CreateBitmap(int32_t w, int32_t h, uint8_t** pixels) {
    BitfieldsHeader* info = static_cast<BitfieldsHeader*>(std::calloc(1, sizeof(BitfieldsHeader)));
    if (info == nullptr)
        return nullptr;
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = w;
    info->header.biHeight = h; // positive: bottom-up
    info->header.biPlanes = 1;
    info->header.biBitCount = 32;
    info->header.biCompression = BI_BITFIELDS;
    info->masks[0] = 0x00FF0000; // red
    info->masks[1] = 0x0000FF00; // green
    info->masks[2] = 0x000000FF; // blue
    void* memory = nullptr;
    HBITMAP section =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS, &memory, nullptr, 0);
    std::free(info);
    *pixels = static_cast<uint8_t*>(memory);
    return section;
}

bool ImageBuffer::DeleteBitmap(void* handle) {
    return DeleteObject(static_cast<HBITMAP>(handle)) != FALSE;
}

void ImageBuffer::Draw(HDC__* dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) const {
    if (bits == nullptr)
        return;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    // StretchDIBits counts the source origin from the bottom of a bottom-up
    // bitmap.
    const int sourceYFromBottom = height - sy - sh;
    StretchDIBits(dc, dx, dy, dw, dh, sx, sourceYFromBottom, sw, sh, bits, reinterpret_cast<BITMAPINFO*>(&header),
                  DIB_RGB_COLORS, SRCCOPY);
}

bool ImageBuffer::CopyToClipboard() const {
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
        const uint8_t* source = bits + size_t(y) * size_t(width) * 4;
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
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_DIB, block) != nullptr;
    if (!placed)
        GlobalFree(block);
    CloseClipboard();
    return placed;
}
