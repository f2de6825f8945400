// The most heap memory a thumbnail holds above what was held before it, for
// documents of many layers: it stays within the memory the handler gives,
// and the pixels are still the whole road's. Counted through the address
// sanitizer's allocation hooks (the native build); elsewhere skipped.
#include "decode/ImageBuffer.h"
#include "decode/MemorySource.h"
#include "base/WorkPool.h"
#include "shell/ThumbnailPicture.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TESSAVEL_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSAVEL_COUNTS_ALLOCATIONS 1
#endif
#endif

#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
// The sanitizer runtime's own interface (its header comes with clang only).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* block);
#endif

using docwriter::Bytes;

namespace {

#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
std::atomic<int64_t> held{0};
std::atomic<int64_t> peak{0};

void Took(const volatile void*, size_t size) {
    const int64_t now = held.fetch_add(int64_t(size)) + int64_t(size);
    int64_t high = peak.load();
    while (now > high && !peak.compare_exchange_weak(high, now)) {
    }
}

void Giving(const volatile void* block) {
    held.fetch_sub(int64_t(__sanitizer_get_allocated_size(block)));
}

bool CountAllocations() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(Took, Giving) != 0;
    return installed;
}
#else
bool CountAllocations() {
    return false;
}
#endif

// The thumbnail of bytes at side, drawn as the handler draws it, with the
// most it held above the start.
struct Measured {
    ThumbnailPictureStatus status = ThumbnailPictureStatus::Broken;
    std::vector<uint8_t> pixels;
    int64_t peakBytes = 0;
};

Measured Measure(const Bytes& bytes, int32_t side, WorkPool* pool, uint64_t memoryLimit) {
    MemorySource source(bytes.data(), bytes.size());
    int32_t width = 0, height = 0;
    EXPECT_TRUE(PeekPictureSize(source, width, height));
    const ThumbnailSize size = FitThumbnail(width, height, side);
    Measured made;
    made.pixels.assign(size_t(size.width) * size.height * 4, 0);
#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
    const int64_t start = held.load();
    peak = start;
#endif
    made.status = DrawThumbnail(source, size, made.pixels.data(), size.width * 4, pool, memoryLimit);
#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
    made.peakBytes = peak.load() - start;
#endif
    return made;
}

std::vector<uint8_t> WholeThumbnail(const Bytes& bytes, int32_t side) {
    MemorySource source(bytes.data(), bytes.size());
    ImageBuffer picture;
    if (DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes) != ThumbnailPictureStatus::Decoded)
        return {};
    const ThumbnailSize size = FitThumbnail(picture.width, picture.height, side);
    std::vector<uint8_t> pixels(size_t(size.width) * size.height * 4);
    EXPECT_TRUE(ScaleToThumbnail(picture, size, pixels.data(), size.width * 4));
    return pixels;
}

// count visible layers of width x height sharing one partly clear painting
// (one stream, so that large documents are made quickly), blended by
// modes and opacities that change from layer to layer.
Bytes SameLayers(int width, int height, int count) {
    const Bytes stream = docwriter::Compress(paintings::LayerPixels(width, height, 7, paintings::Cover::Partial), 1);
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    for (int index = 0; index < count; ++index) {
        docwriter::QvmLayer layer = docwriter::MakeQvmLayer("layer", {}, uint8_t(index % 21), uint8_t(index % 129));
        layer.stream = stream;
        doc.layers.push_back(std::move(layer));
    }
    return docwriter::WriteQvm(doc);
}

TEST(ThumbnailMemory, DocumentsOfManyLayersStayWithinTheHandlersMemory) {
    if (!CountAllocations())
        GTEST_SKIP() << "allocations are counted under the address sanitizer only";
    struct Case {
        std::string what;
        Bytes bytes;
        uint64_t memoryLimit;
    };
    // The last: more layers than may stay open, in bands, so that most start
    // over for every band.
    const Case cases[] = {
        {"2000 small layers", SameLayers(64, 48, 2000), kThumbnailBytes},
        {"300 wide layers", SameLayers(8192, 64, 300), kThumbnailBytes},
        {"65535 layers", SameLayers(3, 2, 65535), kThumbnailBytes},
        {"200 layers in 400 KB", SameLayers(100, 300, 200), 400 << 10},
    };
    WorkPool pool(3);
    for (const Case& c : cases) {
        const std::vector<uint8_t> whole = WholeThumbnail(c.bytes, 256);
        ASSERT_FALSE(whole.empty()) << c.what;
        for (WorkPool* withPool : {static_cast<WorkPool*>(nullptr), &pool}) {
            const std::string what = c.what + (withPool ? " on a pool" : "");
            const Measured drawn = Measure(c.bytes, 256, withPool, c.memoryLimit);
            EXPECT_EQ(drawn.status, ThumbnailPictureStatus::Decoded) << what;
            EXPECT_LE(drawn.peakBytes, int64_t(c.memoryLimit)) << what;
            EXPECT_GT(drawn.peakBytes, 0) << what;
            EXPECT_EQ(drawn.pixels, whole) << what;
        }
    }
}

} // namespace
