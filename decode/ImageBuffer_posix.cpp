#include "decode/ImageBuffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

// Pixel memory that starts zeroed, as a bitmap section does on Windows, so
// both builds begin every picture from the same bytes.
//
// A large picture is written whole right after it is created (the white
// background), and every first touch of a fresh 4 KB page is a fault into
// the kernel: 16 384 of them for a 4096 x 4096 picture, which on a virtual
// machine cost more than decoding the document. Such pictures get their own
// anonymous mapping, aligned to 2 MB and offered to the kernel for huge
// pages, which take one fault per 2 MB and spare the processor's address
// cache when tiles are mixed a row apart. Small pictures stay on the heap.
namespace {

constexpr size_t kHugePage = size_t(2) << 20;

struct PixelMemory {
    void* base = nullptr; // what to give back
    size_t mappedLength = 0; // 0 when base came from calloc
    uint8_t* pixels = nullptr;
};

bool MapPixels(PixelMemory& memory, size_t bytes) {
    // Whole huge pages, plus one for the alignment: the last part of the
    // picture would otherwise fall back to small pages.
    if (bytes > SIZE_MAX - 2 * kHugePage)
        return false;
    const size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    const size_t length = rounded + kHugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return false;
    const uintptr_t aligned = (reinterpret_cast<uintptr_t>(base) + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    memory.base = base;
    memory.mappedLength = length;
    memory.pixels = reinterpret_cast<uint8_t*>(aligned);
    // Only advice: a kernel without huge pages maps small ones as before.
    madvise(memory.pixels, rounded, MADV_HUGEPAGE);
    return true;
}

} // namespace

void* ImageBuffer::CreateBitmap(int32_t w, int32_t h, uint8_t** pixels) {
    PixelMemory* memory = new (std::nothrow) PixelMemory;
    if (memory == nullptr)
        return nullptr;
    const size_t bytes = size_t(w) * size_t(h) * 4;
    if (bytes < kHugePage || !MapPixels(*memory, bytes)) {
        memory->base = std::calloc(bytes, 1);
        memory->pixels = static_cast<uint8_t*>(memory->base);
    }
    if (memory->pixels == nullptr) {
        delete memory;
        return nullptr;
    }
    *pixels = memory->pixels;
    return memory;
}

bool ImageBuffer::DeleteBitmap(void* handle) {
    PixelMemory* memory = static_cast<PixelMemory*>(handle);
    bool released = true;
    if (memory->mappedLength != 0)
        released = munmap(memory->base, memory->mappedLength) == 0;
    else
        std::free(memory->base);
    delete memory;
    return released;
}
