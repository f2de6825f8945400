#pragma once
// ImageBuffer: the program's one pixel type. width x height pixels of four
// bytes (blue, green, red, alpha), rows without gaps, stored bottom-up: the
// first row in memory is the bottom row of the picture, so picture row y (0 at
// the top) is memory row height - 1 - y. In the viewer the pixel memory
// belongs to a device-independent bitmap section (ImageBuffer_win.cpp); the
// native build and the converter keep it on the heap (ImageBuffer_heap.cpp).

#include <cstddef>
#include <cstdint>
#include <utility>

struct HDC__;
class WorkPool;

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
        std::swap(bitmap, other.bitmap);
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

    // Bitmap-section pictures only (ImageBuffer_win.cpp).
    // Stretches the source rectangle (picture coordinates, y from the top) onto
    // the destination rectangle of dc. Draws nothing for an empty buffer.
    void Draw(HDC__* dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) const;
    // The picture as a 24-bit packed DIB (CF_DIB) on the clipboard.
    bool CopyToClipboard() const;

    // Export operations (export/PngWriter.cpp, export/BmpWriter.cpp). A
    // large picture's PNG is deflated on pool's threads when one is given.
    bool SavePng(const char* path, bool withAlpha, WorkPool* pool = nullptr) const;
    bool SaveBmp(const char* path) const;

    void* bitmap = nullptr; // the platform's bitmap handle; null when empty
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* bits = nullptr;

private:
    // Platform half: allocates width x height x 4 bytes of pixel memory.
    static void* CreateBitmap(int32_t w, int32_t h, uint8_t** pixels);
    static bool DeleteBitmap(void* handle);
};
