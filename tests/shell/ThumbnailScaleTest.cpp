// The thumbnail's size and its box filter, against a filter computed the
// plain way: each thumbnail pixel the mean of the source area it covers.
#include "pixels/ImageBuffer.h"
#include "decode/ThumbnailScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(ThumbnailSize, LongestSideIsTheSmallerOfAskedAndPicture) {
    struct Case {
        int32_t width, height, asked, expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {100, 50, 32, 32, 16},   {50, 100, 256, 50, 100}, {4096, 4096, 256, 256, 256},
        {1, 1000, 32, 1, 32},    {1000, 1, 96, 96, 1},    {3, 2, 2, 2, 1},
        {999, 1000, 96, 96, 96}, {1000, 333, 96, 96, 32}, {65535, 65535, 32, 32, 32},
        {0, 5, 32, 0, 0},        {5, 5, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const ThumbnailSize size = FitThumbnail(c.width, c.height, c.asked);
        EXPECT_EQ(size.width, c.expectedWidth) << c.width << "x" << c.height << " at " << c.asked;
        EXPECT_EQ(size.height, c.expectedHeight) << c.width << "x" << c.height << " at " << c.asked;
    }
}

// The mean of the source area under thumbnail pixel (tx, ty), channel c.
double AreaMean(const ImageBuffer& picture, ThumbnailSize size, int tx, int ty, int c) {
    const double sx = double(picture.width) / size.width, sy = double(picture.height) / size.height;
    const double left = tx * sx, right = (tx + 1) * sx, top = ty * sy, bottom = (ty + 1) * sy;
    double sum = 0;
    for (int y = int(top); y < int(std::ceil(bottom)) && y < picture.height; ++y) {
        const double h = std::min<double>(y + 1, bottom) - std::max<double>(y, top);
        for (int x = int(left); x < int(std::ceil(right)) && x < picture.width; ++x) {
            const double w = std::min<double>(x + 1, right) - std::max<double>(x, left);
            sum += w * h * picture.TopRow(y)[4 * x + c];
        }
    }
    return sum / (sx * sy);
}

TEST(ThumbnailScale, EveryPixelIsTheMeanOfTheAreaItCovers) {
    struct Case {
        int32_t width, height, asked;
    };
    const Case cases[] = {{7, 5, 3}, {100, 37, 32}, {64, 64, 64}, {1, 9, 3}, {9, 1, 4}, {255, 256, 96}, {33, 2, 32}};
    for (const Case& c : cases) {
        ImageBuffer picture;
        ASSERT_TRUE(picture.Create(c.width, c.height));
        for (size_t i = 0; i < picture.ByteCount(); ++i)
            picture.bits[i] = uint8_t((i * 7919u) >> 3);
        const ThumbnailSize size = FitThumbnail(c.width, c.height, c.asked);
        std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
        ASSERT_TRUE(ScaleToThumbnail(picture, size, out.data(), size.width * 4));
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const uint8_t* p = &out[(size_t(y) * size.width + x) * 4];
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_NEAR(p[ch], AreaMean(picture, size, x, y, ch), 0.5001)
                        << c.width << "x" << c.height << " at " << x << "," << y << " channel " << ch;
                ASSERT_EQ(p[3], 255);
            }
    }
}

TEST(ThumbnailScale, OnePixelLineStaysVisible) {
    // A black line one pixel wide on white, eight source pixels to one
    // thumbnail pixel: sampling would lose it, the area keeps an eighth.
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(256, 256));
    picture.Fill(0xFFFFFFFF);
    for (int y = 0; y < 256; ++y)
        std::fill(picture.TopRow(y) + 4 * 101, picture.TopRow(y) + 4 * 101 + 3, 0);
    const ThumbnailSize size = FitThumbnail(256, 256, 32);
    std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
    ASSERT_TRUE(ScaleToThumbnail(picture, size, out.data(), size.width * 4));
    for (int y = 0; y < size.height; ++y) {
        EXPECT_EQ(out[(size_t(y) * 32 + 12) * 4], 255 - 32) << "row " << y; // 255 x 7/8, rounded
        EXPECT_EQ(out[(size_t(y) * 32 + 11) * 4], 255) << "row " << y;
    }
}

TEST(ThumbnailScale, RowsGoTopFirstAtTheStrideAndNothingBetween) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(4, 2));
    picture.Fill(0xFF000000);
    std::fill(picture.TopRow(0), picture.TopRow(0) + 16, 200); // top row
    const ThumbnailSize size = {2, 2};
    std::vector<uint8_t> out(2 * 12, 0xAB);
    ASSERT_TRUE(ScaleToThumbnail(picture, size, out.data(), 12));
    EXPECT_EQ(out[0], 200);
    EXPECT_EQ(out[12], 0);
    for (size_t i : {8, 9, 10, 11, 20, 21, 22, 23})
        EXPECT_EQ(out[i], 0xAB) << "padding byte " << i;
}

TEST(ThumbnailScale, SizesItCannotMakeAreRefusedWithoutWriting) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(4, 3));
    picture.Fill(0);
    ImageBuffer empty;
    std::vector<uint8_t> out(64, 0xAB);
    EXPECT_FALSE(ScaleToThumbnail(picture, {5, 3}, out.data(), 20)); // wider than the picture
    EXPECT_FALSE(ScaleToThumbnail(picture, {4, 4}, out.data(), 16));
    EXPECT_FALSE(ScaleToThumbnail(picture, {0, 3}, out.data(), 16));
    EXPECT_FALSE(ScaleToThumbnail(empty, {1, 1}, out.data(), 4));
    for (uint8_t byte : out)
        ASSERT_EQ(byte, 0xAB);
}

} // namespace
