#include "base/WorkPool.h"
#include "export/PngWriter.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/PngReadBack.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testpictures;
using pngread::Bytes;

namespace {

// A picture deflate shrinks a lot but not to nothing: the pattern with a
// little noise in its low bits.
Pixel GrainAt(int32_t x, int32_t y) {
    const Pixel p = PatternAt(x / 3, y / 2);
    const Pixel n = NoiseAt(x, y);
    return {uint8_t(p.b ^ (n.b & 3)), uint8_t(p.g ^ (n.g & 1)), p.r, uint8_t(p.a ^ (n.a & 7))};
}

struct LargeShape {
    int32_t width;
    int32_t height;
    Pixel (*pixel)(int32_t, int32_t);
};

// Rows much shorter than deflate's 32 KB look-back, rows longer than it (the
// dictionary is part of one row), and rows longer than a whole band.
const LargeShape kLargeShapes[] = {
    {1200, 1200, NoiseAt}, {1200, 1200, GrainAt}, {40000, 40, GrainAt}, {350000, 4, PatternAt}};

TEST(PngBands, LargePictureIsOneStreamWithTheSamePixelsWhateverTheThreads) {
    TempDir dir;
    for (const LargeShape& shape : kLargeShapes) {
        ImageBuffer image;
        ASSERT_TRUE(image.Create(shape.width, shape.height));
        Paint(image, shape.pixel);
        for (bool alpha : {false, true}) {
            SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height) + (alpha ? " rgba" : " rgb"));
            const Bytes rows = PngRowsOf(image, alpha);
            const Bytes single = pngread::ReferenceEncode(uint32_t(shape.width), uint32_t(shape.height), alpha, rows);
            pngread::Png reference;
            ASSERT_TRUE(pngread::Parse(single, reference));

            Bytes first;
            for (unsigned threads : {0u, 3u}) {
                std::unique_ptr<WorkPool> pool(threads == 0 ? nullptr : new WorkPool(threads));
                const std::string file = dir.File("big.png");
                ASSERT_TRUE(SavePng(image, file.c_str(), alpha, pool.get()));
                const Bytes written = docwriter::ReadFile(file);
                if (threads == 0) {
                    first = written;
                    // Large pictures are the ones split into bands.
                    EXPECT_FALSE(written == single);
                } else {
                    EXPECT_TRUE(written == first) << threads << " threads";
                    continue;
                }
                pngread::Png png;
                ASSERT_TRUE(pngread::Parse(written, png));
                ASSERT_EQ(png.chunks.size(), 3u);
                ASSERT_EQ(png.chunks[1].type, "IDAT");
                for (const auto& chunk : png.chunks)
                    EXPECT_TRUE(chunk.crcOk) << chunk.type;
                // zlib's inflate checks the joined Adler-32 and that the
                // stream ends exactly at the end of the chunk.
                ASSERT_TRUE(pngread::Expand(png));
                EXPECT_TRUE(png.raw == rows);
                // Same header as a level-6 stream of one piece.
                EXPECT_EQ(png.chunks[1].data[0], reference.chunks[1].data[0]);
                EXPECT_EQ(png.chunks[1].data[1], reference.chunks[1].data[1]);
                const double size = double(png.chunks[1].data.size());
                const double referenceSize = double(reference.chunks[1].data.size());
                EXPECT_LE(size, referenceSize * 1.01) << "single stream " << referenceSize << " bytes";
            }
        }
    }
}

} // namespace
