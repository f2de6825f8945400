#include "pixels/ImageBuffer.h"

#include "pixels/PictureMemory.h"

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
    void* memory = AllocatePictureMemory(newWidth, newHeight, &pixels);
    if (memory == nullptr || pixels == nullptr) {
        if (memory != nullptr)
            FreePictureMemory(memory);
        return false;
    }
    owner = memory;
    bits = pixels;
    width = newWidth;
    height = newHeight;
    return true;
}

bool ImageBuffer::Free() {
    if (owner == nullptr)
        return false;
    const bool deleted = FreePictureMemory(owner);
    owner = nullptr;
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
