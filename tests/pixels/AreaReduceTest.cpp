#include "pixels/AreaAverage.h"
#include "pixels/AreaReduce.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Case {
    int32_t width, height, outWidth, outHeight;
    bool itself;            // summed by the whole-picture loops, not fed to the row filter
    ptrdiff_t sourceStride; // 0: every row is the one stored row
    uint8_t low;            // the pixels' bytes are low to 255
};

// AreaAverage fed the picture's rows, top first or bottom first: the pixels
// the whole-picture loops must give.
std::vector<uint8_t> FedRows(const Case& c, const uint8_t* pixels, bool bottomUp) {
    std::vector<uint8_t> out(size_t(c.outWidth) * size_t(c.outHeight) * 4);
    AreaAverage filter;
    EXPECT_TRUE(filter.Start(c.width, c.height, c.outWidth, c.outHeight, bottomUp, out.data(), c.outWidth * 4));
    for (int32_t k = 0; k < c.height; ++k)
        filter.AddRow(pixels + ptrdiff_t(bottomUp ? c.height - 1 - k : k) * c.sourceStride);
    filter.Finish();
    return out;
}

TEST(ReduceByArea, GivesTheRowFiltersPixelsOnEveryRoad) {
    const Case cases[] = {
        {64, 48, 32, 24, true, 64 * 4, 0},       // halves
        {63, 33, 21, 11, true, 63 * 4, 0},       // thirds
        {64, 64, 16, 16, true, 64 * 4, 0},       // quarters
        {64, 48, 48, 36, true, 64 * 4, 0},       // 4 pixels to 3
        {97, 120, 13, 7, true, 97 * 4, 0},       // odd to odd, even to odd
        {95, 61, 48, 31, true, 96 * 4, 0},       // rows with a gap after them
        {33, 21, 33, 21, true, 33 * 4, 0},       // no scaling
        {50, 40, 1, 1, true, 50 * 4, 0},         // to one pixel
        {1, 50, 1, 17, true, 4, 0},              // one pixel wide
        {77, 1, 20, 1, true, 77 * 4, 0},         // one pixel high
        {300, 10, 7, 3, true, 300 * 4, 0},       // many pixels to each output pixel
        {64, 40, 8, 5, true, 64 * 4, 0},         // eighths: eight rows and eight pixels
        {60, 21, 12, 7, true, 60 * 4, 0},        // fifths across, thirds down
        {20, 35, 4, 7, true, 20 * 4, 0},         // fifths
        {20, 16, 15, 12, true, 20 * 4, 0},       // 4 pixels to 3, with periods left over
        {14, 10, 7, 5, true, 14 * 4, 0},         // halves, with pixels left over
        {36, 8, 9, 2, true, 36 * 4, 0},          // quarters, with pixels left over
        {66, 48, 33, 18, true, 66 * 4, 0},       // halves across, 8 rows to 3: three and four rows weighted
        {36, 24, 9, 12, true, 36 * 4, 0},        // quarters across, halves down
        {44, 16, 33, 2, true, 44 * 4, 0},        // 4 pixels to 3 across, eight rows to each output row
        {34, 5, 17, 5, true, 34 * 4, 0},         // halves across, one row to each output row
        {52, 8, 13, 2, true, 52 * 4, 0},         // quarters, one output pixel past the wide loops' groups
        {36, 12, 27, 9, true, 36 * 4, 0},        // 4 pixels to 3, three past the wide loops' groups
        {24, 6, 18, 6, true, 24 * 4, 0},         // 4 pixels to 3 across, one row to each output row
        {52, 16, 39, 6, true, 52 * 4, 0},        // 4 pixels to 3 across, 8 rows to 3: three and four rows weighted
        {44, 64, 33, 17, true, 44 * 4, 250},     // 4 to 3 across, 64 rows to 17: totals just below 2^16
        {351, 248, 113, 80, true, 351 * 4, 0},   // a page fitted: divided through 64-bit products
        {9, 257, 5, 256, true, 9 * 4, 250},      // the most rows 16-bit sums hold
        {9, 258, 5, 257, true, 9 * 4, 250},      // one row more: 32-bit sums
        {1, 32769, 1, 32768, true, 4, 0},        // weights down beyond 15 bits
        {4096, 4096, 1, 1, true, 0, 250},        // the largest area 32-bit sums hold
        {4097, 4095, 1, 1, true, 0, 250},        // an area whose multiplier needs 33 bits
        {4095, 40, 3071, 31, true, 4095 * 4, 0}, // 75% of a side that 4 does not divide
        {1001, 300, 239, 71, true, 1001 * 4, 0}, // no common divisor: 32-bit sums, odd widths
        {4096, 4096, 977, 977, true, 0, 250},    // fitted to a window: totals near 2^32
        {2, 32768, 1, 32767, true, 0, 250},      // the largest weights down that 32-bit sums take as words
        {8, 200, 3, 1, true, 8 * 4, 200},        // more rows of one weight than words add up
        {1100, 270, 2, 71, true, 1100 * 4, 0},   // hundreds of pixels to an output pixel in 32-bit sums
        {4097, 4096, 1, 1, false, 0, 250},       // beyond: the row filter's own sums
        {16449, 1025, 5, 3, false, 0, 240},      // the same, scaled to more than one pixel
    };
    std::mt19937 random(11);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " to " << c.outWidth << "x" << c.outHeight);
        const size_t rows = c.sourceStride == 0 ? 1 : size_t(c.height);
        std::vector<uint8_t> pixels(rows * size_t(c.sourceStride == 0 ? c.width * 4 : c.sourceStride));
        for (uint8_t& byte : pixels)
            byte = uint8_t(c.low + random() % (256 - c.low));
        EXPECT_EQ(ReducesByAreaItself(c.width, c.height, c.outWidth, c.outHeight), c.itself);

        const std::vector<uint8_t> fed = FedRows(c, pixels.data(), false);
        EXPECT_EQ(fed, FedRows(c, pixels.data(), true));
        // The widest loops the processor runs, and those every processor runs.
        for (ReduceLoops loops : {ReduceLoops::kWidest, ReduceLoops::kBaseline}) {
            SCOPED_TRACE(loops == ReduceLoops::kWidest ? "widest loops" : "baseline loops");
            // Written bottom row first, as the viewer's pictures are stored.
            std::vector<uint8_t> out(size_t(c.outWidth) * size_t(c.outHeight) * 4, 7);
            const ptrdiff_t outStride = c.outWidth * 4;
            ASSERT_TRUE(ReduceByArea(pixels.data(), c.sourceStride, c.width, c.height, c.outWidth, c.outHeight,
                                     out.data() + (c.outHeight - 1) * outStride, -outStride, std::atomic<bool>(false),
                                     loops));
            std::vector<uint8_t> topFirst(out.size());
            for (int32_t y = 0; y < c.outHeight; ++y)
                std::copy_n(out.data() + (c.outHeight - 1 - y) * outStride, outStride, topFirst.data() + y * outStride);
            EXPECT_EQ(topFirst, fed);
            // The same rows made in two parts, split at an output row that
            // starts no period of the rows, as threads split a picture.
            const int32_t split = c.outHeight / 2 + 1;
            if (!c.itself || split >= c.outHeight)
                continue;
            std::vector<uint8_t> parts(out.size(), 7);
            const auto part = [&](int32_t first, int32_t rows) {
                return ReduceRowsByArea(pixels.data(), c.sourceStride, c.width, c.height, c.outWidth, c.outHeight,
                                        first, rows, parts.data() + first * outStride, outStride,
                                        std::atomic<bool>(false), loops);
            };
            ASSERT_TRUE(part(split, c.outHeight - split));
            ASSERT_TRUE(part(0, split));
            EXPECT_EQ(parts, fed);
        }
    }
}

TEST(ReduceByArea, RefusesSizesOutsideThePictureAndStopsWhenCancelled) {
    std::vector<uint8_t> pixels(16 * 16 * 4, 9), out(16 * 16 * 4);
    const int32_t bad[][4] = {{16, 16, 17, 8}, {16, 16, 8, 17}, {16, 16, 0, 8}, {0, 16, 0, 8}, {16, 16, 8, -1}};
    for (const auto& s : bad)
        EXPECT_FALSE(ReduceByArea(pixels.data(), 64, s[0], s[1], s[2], s[3], out.data(), 64, std::atomic<bool>(false)));
    // Output rows outside the output, and a picture the row filter takes whole.
    const int32_t rows[][2] = {{-1, 2}, {0, 0}, {7, 2}, {8, 1}};
    for (const auto& r : rows)
        EXPECT_FALSE(
            ReduceRowsByArea(pixels.data(), 64, 16, 16, 8, 8, r[0], r[1], out.data(), 32, std::atomic<bool>(false)));
    std::vector<uint8_t> wide(4097 * 4, 9);
    EXPECT_FALSE(ReduceRowsByArea(wide.data(), 0, 4097, 4096, 1, 1, 0, 1, out.data(), 4, std::atomic<bool>(false)));
    EXPECT_FALSE(ReduceByArea(pixels.data(), 64, 16, 16, 8, 8, out.data(), 32, std::atomic<bool>(true)));
    EXPECT_TRUE(ReduceByArea(pixels.data(), 64, 16, 16, 8, 8, out.data(), 32, std::atomic<bool>(false)));
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[3], 255);
}

} // namespace
