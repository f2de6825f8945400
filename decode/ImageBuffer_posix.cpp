#include "decode/ImageBuffer.h"

#include <cstdlib>

// Heap pixel memory. calloc matches what a bitmap section gives on Windows
// (zeroed pages), so both builds start every picture from the same bytes.
void* ImageBuffer::CreateBitmap(int32_t w, int32_t h, uint8_t** pixels) {
    void* memory = std::calloc(size_t(w) * size_t(h), 4);
    *pixels = static_cast<uint8_t*>(memory);
    return memory;
}

bool ImageBuffer::DeleteBitmap(void* handle) {
    std::free(handle);
    return true;
}
