#include "pixels/ImageBuffer.h"

bool ImageBuffer::SizeFits(int64_t w, int64_t h) {
    if (w <= 0 || h <= 0)
        return false;
    // Both come from 16-bit fields or from another picture, so the 64-bit
    // product cannot overflow.
    return uint64_t(w) * uint64_t(h) * 4 <= kMaxPixelBytes;
}

bool ImageBuffer::Create(int32_t newWidth, int32_t newHeight) {
    Free();
    if (!SizeFits(newWidth, newHeight))
        return false;
    uint8_t* pixels = nullptr;
    void* handle = CreateBitmap(newWidth, newHeight, &pixels);
    if (handle == nullptr || pixels == nullptr) {
        if (handle != nullptr)
            DeleteBitmap(handle);
        return false;
    }
    bitmap = handle;
    bits = pixels;
    width = newWidth;
    height = newHeight;
    return true;
}

bool ImageBuffer::Free() {
    if (bitmap == nullptr)
        return false;
    const bool deleted = DeleteBitmap(bitmap);
    bitmap = nullptr;
    bits = nullptr;
    width = 0;
    height = 0;
    return deleted;
}

void ImageBuffer::Fill(uint32_t value) {
    if (bits == nullptr)
        return;
    const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    uint8_t* p = bits;
    const size_t count = PixelCount();
    for (size_t i = 0; i < count; ++i, p += 4) {
        p[0] = b[0];
        p[1] = b[1];
        p[2] = b[2];
        p[3] = b[3];
    }
}
