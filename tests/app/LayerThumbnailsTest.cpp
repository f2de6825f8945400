#include "app/LayerThumbnails.h"

#include "pixels/ImageBuffer.h"
#include "decode/LayerWalk.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A layer of width x height whose pixel (x, y from the top) paint sets
// (blue, green, red, alpha); its bounds found as the walk finds them.
struct Layer {
    Layer(int32_t width, int32_t height, void (*paint)(int32_t x, int32_t y, uint8_t* pixel)) {
        EXPECT_TRUE(pixels.Create(width, height));
        pixels.Fill(0);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                paint(x, y, pixels.TopRow(y) + size_t(x) * 4);
        FindAlphaBounds(pixels, walked);
    }
    ImageBuffer pixels;
    WalkedLayer walked;
};

// Blue, green, red of the thumbnail's pixel (x, y).
uint32_t At(const Thumbnail& thumbnail, int32_t side, int32_t x, int32_t y) {
    const uint8_t* p = &thumbnail[(size_t(y) * side + size_t(x)) * 4];
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

constexpr uint32_t kRed = 0xFF0000, kLight = 0xFFFFFF, kDark = 0xCCCCCC, kAround = 0xFFFFFF;

TEST(LayerThumbnail, ClearPartsShowTheCheckerboardAndOpaqueOnesTheirColour) {
    // Red over the left half of an 8 x 8 canvas, shrunk to 4 x 4: squares of
    // two pixels behind the clear right half.
    Layer layer(8, 8, [](int32_t x, int32_t, uint8_t* p) {
        if (x < 4) {
            p[2] = 255;
            p[3] = 255;
        }
    });
    Thumbnail out;
    ASSERT_TRUE(LayerThumbnail(layer.pixels, layer.walked, 4, out));
    ASSERT_EQ(out.size(), 4u * 4 * 4);
    const uint32_t expected[4][4] = {{kRed, kRed, kDark, kDark},
                                     {kRed, kRed, kDark, kDark},
                                     {kRed, kRed, kLight, kLight},
                                     {kRed, kRed, kLight, kLight}};
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(At(out, 4, x, y), expected[y][x]) << x << "," << y;
    for (size_t i = 3; i < out.size(); i += 4)
        ASSERT_EQ(out[i], 255);
}

TEST(LayerThumbnail, HalfAlphaMixesWithTheSquaresBehindAndAveragesAcrossAreas) {
    // White at alpha 128 everywhere: 128 of white plus 127/255 of each grey.
    Layer half(8, 8, [](int32_t, int32_t, uint8_t* p) { std::memset(p, 128, 4); });
    for (uint8_t* p = half.pixels.bits; p < half.pixels.bits + half.pixels.ByteCount(); p += 4)
        p[0] = p[1] = p[2] = 255;
    Thumbnail out;
    ASSERT_TRUE(LayerThumbnail(half.pixels, half.walked, 8, out));
    EXPECT_EQ(At(out, 8, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(out, 8, 2, 0), 0xE6E6E6u); // 128 + 102
    // A one-pixel red line on clear, 4 pixels to one: a quarter of its
    // colour over a quarter less of the squares; it never vanishes.
    Layer line(8, 8, [](int32_t x, int32_t, uint8_t* p) {
        if (x == 0) {
            p[2] = 255;
            p[3] = 255;
        }
    });
    ASSERT_TRUE(LayerThumbnail(line.pixels, line.walked, 2, out));
    const uint32_t mixed = At(out, 2, 0, 0);
    EXPECT_EQ(mixed & 0xFF, (0xFFu * 3 + 2) / 4) << std::hex << mixed; // blue: the white squares, 3/4 of them
    EXPECT_EQ(mixed >> 16, 0xFFu);
}

TEST(LayerThumbnail, TheCanvasIsFittedAndCentredNeverEnlarged) {
    const struct {
        int32_t width, height, side;
        int32_t left, top, right, bottom; // where the canvas lands in the square
    } cases[] = {
        {16, 8, 8, 0, 2, 8, 6},    // wide: rows above and below
        {8, 16, 8, 2, 0, 6, 8},    // tall: columns beside
        {2, 2, 6, 2, 2, 4, 4},     // small: as it is, centred
        {100, 1, 10, 0, 4, 10, 5}, // a line stays a row
    };
    for (const auto& c : cases) {
        ImageBuffer pixels;
        ASSERT_TRUE(pixels.Create(c.width, c.height));
        // Opaque black everywhere: the canvas shows black, the rest white.
        for (uint8_t* p = pixels.bits; p < pixels.bits + pixels.ByteCount(); p += 4)
            p[0] = p[1] = p[2] = 0, p[3] = 255;
        WalkedLayer walked;
        FindAlphaBounds(pixels, walked);
        Thumbnail out;
        ASSERT_TRUE(LayerThumbnail(pixels, walked, c.side, out)) << c.width << "x" << c.height;
        for (int32_t y = 0; y < c.side; ++y)
            for (int32_t x = 0; x < c.side; ++x) {
                const bool canvas = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                ASSERT_EQ(At(out, c.side, x, y), canvas ? 0u : kAround)
                    << c.width << "x" << c.height << " at " << x << "," << y;
            }
    }
}

TEST(LayerThumbnail, TrimmedRowsGiveTheSamePictureAsReadRows) {
    Layer layer(30, 20, [](int32_t x, int32_t y, uint8_t* p) {
        if (y >= 7 && y < 12 && x > 3) {
            p[0] = uint8_t(x * 8);
            p[1] = uint8_t(y * 12);
            p[3] = uint8_t(100 + x);
        }
    });
    ASSERT_EQ(layer.walked.top, 7);
    WalkedLayer whole = layer.walked;
    whole.top = 0;
    whole.bottom = 20;
    Thumbnail trimmed, read;
    ASSERT_TRUE(LayerThumbnail(layer.pixels, layer.walked, 9, trimmed));
    ASSERT_TRUE(LayerThumbnail(layer.pixels, whole, 9, read));
    EXPECT_EQ(trimmed, read);
    // An empty layer is the checkerboard alone.
    Layer empty(30, 20, [](int32_t, int32_t, uint8_t*) {});
    ASSERT_TRUE(empty.walked.Empty());
    ASSERT_TRUE(LayerThumbnail(empty.pixels, empty.walked, 9, trimmed));
    EXPECT_EQ(At(trimmed, 9, 0, 2), kLight);
    EXPECT_EQ(At(trimmed, 9, 2, 2), kDark);
    ImageBuffer none;
    EXPECT_FALSE(LayerThumbnail(none, empty.walked, 9, trimmed));
    EXPECT_FALSE(LayerThumbnail(empty.pixels, empty.walked, 0, trimmed));
}

TEST(DocumentLayerThumbnails, EachLayerOfADocumentAloneBottomFirst) {
    TempDir dir;
    docwriter::QvmDocument doc;
    doc.width = 6;
    doc.height = 6;
    doc.layers.push_back(docwriter::MakeQvmLayer("paper", docwriter::SolidPixels(6, 6, 0, 0, 255, 255)));
    doc.layers.push_back(docwriter::MakeQvmLayer("ink", docwriter::SolidPixels(6, 6, 255, 0, 0, 255)));
    doc.layers[0].flags = 0; // hidden layers have their picture too
    const std::string path = dir.File("two.qvm");
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
    std::atomic<bool> cancel{false};
    std::vector<Thumbnail> out;
    ASSERT_TRUE(DocumentLayerThumbnails(path.c_str(), 6, cancel, out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(At(out[0], 6, 3, 3), kRed);
    EXPECT_EQ(At(out[1], 6, 3, 3), 0x0000FFu);

    cancel.store(true);
    ASSERT_TRUE(DocumentLayerThumbnails(path.c_str(), 6, cancel, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(DocumentLayerThumbnails(dir.File("missing.qvm").c_str(), 6, cancel, out));
}

} // namespace
