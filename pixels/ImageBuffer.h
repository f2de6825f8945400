#pragma once
// ImageBuffer: the program's one pixel type. width x height pixels of four
// bytes (blue, green, red, alpha), rows without gaps, stored bottom-up: the
// first row in memory is the bottom row of the picture, so picture row y (0 at
// the top) is memory row height - 1 - y. It is memory and a size, nothing
// more: where the memory comes from is the program's choice at link time
// (pixels/PictureMemory.h); drawing it and putting it on the clipboard are
// the framework's (framework/PictureDib.h), saving it export's
// (export/PngWriter.h, export/BmpWriter.h).

#include <cstddef>
#include <cstdint>
#include <utility>

class ImageBuffer {
public:
    // The most pixel memory a picture may take: the platform's bitmap calls
    // address at most 2^31 - 1 bytes. Larger documents fail to load.
    static constexpr uint64_t kMaxPixelBytes = 0x7FFFFFFFu;

    ImageBuffer() = default;
    ~ImageBuffer() { Free(); }
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;

    // Frees any picture first; on failure the buffer stays empty. The new
    // pixel memory is zeroed by the platform but not filled.
    bool Create(int32_t newWidth, int32_t newHeight);
    // False (and nothing done) when the buffer is already empty.
    bool Free();
    void Fill(uint32_t value);
    // Exchanges the pictures of two buffers; no pixel is copied.
    void Swap(ImageBuffer& other) {
        std::swap(owner, other.owner);
        std::swap(width, other.width);
        std::swap(height, other.height);
        std::swap(bits, other.bits);
    }

    bool IsEmpty() const { return bits == nullptr; }
    size_t PixelCount() const { return size_t(width) * size_t(height); }
    size_t ByteCount() const { return PixelCount() * 4; }
    // First byte of picture row y, counted from the top.
    uint8_t* TopRow(int32_t y) { return bits + size_t(height - 1 - y) * size_t(width) * 4; }
    const uint8_t* TopRow(int32_t y) const { return bits + size_t(height - 1 - y) * size_t(width) * 4; }

    // True when a picture of that size may be created at all.
    static bool SizeFits(int64_t w, int64_t h);

    // What owns the pixel memory, as the linked picture memory handed it
    // out (a bitmap section's handle with the framework's); null when empty.
    // Only that memory's own code has a use for it.
    const void* MemoryOwner() const { return owner; }

    int32_t width = 0;
    int32_t height = 0;
    uint8_t* bits = nullptr;

private:
    void* owner = nullptr;
};
