// The most heap memory a thumbnail holds above what was held before it, for
// documents of many layers: it stays within the memory the handler gives,
// and the pixels are still the whole road's. Counted through the address
// sanitizer's allocation hooks (the native build); elsewhere skipped.
#include "pixels/ImageBuffer.h"
#include "base/MemorySource.h"
#include "base/WorkPool.h"
#include "decode/ThumbnailPicture.h"
#include "tests/support/DocWriter.h"
#include "tests/support/HeapCount.h"
#include "tests/support/Paintings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using docwriter::Bytes;

namespace {

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
    const int64_t start = heapcount::Held();
    heapcount::MarkPeak();
    made.status = DrawThumbnail(source, size, made.pixels.data(), size.width * 4, pool, memoryLimit);
    made.peakBytes = heapcount::PeakAbove(start);
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
    if (!heapcount::Start())
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
