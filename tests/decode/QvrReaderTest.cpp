// Loading QVR documents of both versions: masks and their padding, the stored
// flattened picture, tiles placed and clipped at every edge, plain tiles, and
// the failure outcomes.
#include "tests/decode/DocTest.h"

#include <functional>

using docwriter::QvrMaskLayer;
using docwriter::QvrTile;
using docwriter::QvrTileLayer;
using docwriter::QvrV0Document;
using docwriter::QvrV1Document;
using namespace doctest;

namespace {

const Bgr kRed = {0, 0, 255};
const Bgr kGreen = {0, 255, 0};

QvrV0Document V0(int w, int h) {
    QvrV0Document doc;
    doc.width = uint16_t(w);
    doc.height = uint16_t(h);
    return doc;
}

QvrV1Document V1(int w, int h) {
    QvrV1Document doc;
    doc.width = uint16_t(w);
    doc.height = uint16_t(h);
    return doc;
}

int Stride(int w) {
    return (w + 3) & ~3;
}

QvrMaskLayer MaskLayer(int w, int h, Bgr colour, uint8_t coverage, uint8_t opacity = 128) {
    QvrMaskLayer layer;
    layer.color = Pack(colour);
    layer.opacity = opacity;
    layer.mask = Bytes(size_t(Stride(w)) * h, coverage);
    return layer;
}

// Coverage of tile byte (column j, row i): distinct enough to see mapping errors.
uint8_t TileCoverage(int j, int i) {
    return uint8_t(3 * j + 2 * i + 1);
}

QvrTile PatternTile(uint16_t column, uint16_t row) {
    QvrTile tile;
    tile.column = column;
    tile.row = row;
    for (int i = 0; i < 64; ++i)
        for (int j = 0; j < 64; ++j)
            tile.coverage.push_back(TileCoverage(j, i));
    return tile;
}

QvrTileLayer TileLayer(int x, int y, Bgr colour, uint8_t opacity = 128) {
    QvrTileLayer layer;
    layer.x = x;
    layer.y = y;
    layer.color = Pack(colour);
    layer.opacity = opacity;
    return layer;
}

class QvrReaderTest : public DocFileTest {};

TEST_F(QvrReaderTest, StoredFlattenedPictureIsShownExactly) {
    QvrV0Document doc = V0(3, 2);
    for (int i = 0; i < 6 * 4; ++i)
        doc.flattened.push_back(uint8_t(10 * i));
    doc.layerCount = 5; // not used on this road
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    ASSERT_EQ(image.width, 3);
    for (int i = 0; i < 6 * 4; ++i)
        ASSERT_EQ(image.bits[i], uint8_t(10 * i)) << i; // fourth bytes included, no white
}

TEST_F(QvrReaderTest, NoLayersGiveWhite) {
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(V0(5, 3), image));
    ExpectAll(image, kWhite);
    ASSERT_TRUE(LoadQvr(V1(5, 3), image));
    ExpectAll(image, kWhite);
}

TEST_F(QvrReaderTest, MaskRowsArePaddedAndTopRowFirst) {
    const int w = 5, h = 3;
    QvrV0Document doc = V0(w, h);
    QvrMaskLayer layer = MaskLayer(w, h, kRed, 255); // the padding bytes are 255 too
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            layer.mask[size_t(y) * 8 + x] = uint8_t(x == y ? 255 : 0);
    doc.layers.push_back(layer);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(At(image, x, y), x == y ? kRed : kWhite) << x << "," << y;
}

TEST_F(QvrReaderTest, CoverageAndOpacityWeightTheColour) {
    struct Case {
        uint8_t coverage;
        uint8_t opacity;
        int weight;
    };
    const Case cases[] = {{255, 128, 255}, {1, 127, 0}, {200, 64, 100}, {128, 128, 128}};
    for (const Case& c : cases) {
        QvrV0Document doc = V0(2, 2);
        QvrMaskLayer layer = MaskLayer(2, 2, kGreen, c.coverage, c.opacity);
        layer.color |= 0xAB000000u; // the fourth byte never reaches the picture
        doc.layers.push_back(layer);
        ImageBuffer image;
        ASSERT_TRUE(LoadQvr(doc, image));
        EXPECT_EQ(At(image, 1, 1), Mix(kWhite, kGreen, c.weight)) << int(c.coverage) << " " << int(c.opacity);
        EXPECT_EQ(AlphaAt(image, 1, 1), 255);
    }
}

TEST_F(QvrReaderTest, MaskLayersMixBottomUp) {
    QvrV0Document doc = V0(4, 1);
    doc.layers.push_back(MaskLayer(4, 1, kRed, 255, 64));
    QvrMaskLayer hidden = MaskLayer(4, 1, kGreen, 255);
    hidden.flags = 0;
    doc.layers.push_back(hidden);
    doc.layers.push_back(MaskLayer(4, 1, kGreen, 100));
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    ExpectAll(image, Mix(Mix(kWhite, kRed, 127), kGreen, 100));
}

TEST_F(QvrReaderTest, InvisibleMaskIsStillExpanded) {
    QvrV0Document doc = V0(2, 2);
    QvrMaskLayer hidden = MaskLayer(2, 2, kRed, 255);
    hidden.flags = 0;
    hidden.stream = Bytes{0x78, 0x9C, 0xFF, 0xFF};
    doc.layers.push_back(hidden);
    ImageBuffer image;
    EXPECT_FALSE(LoadQvr(doc, image));
    ExpectAll(image, kWhite);
}

TEST_F(QvrReaderTest, RefusedStartsLeaveTheTargetUntouched) {
    struct Case {
        const char* what;
        std::function<Bytes()> make;
    };
    const Case cases[] = {
        {"version 2",
         [] {
             QvrV1Document d = V1(2, 2);
             d.version = 2;
             return docwriter::WriteQvrV1(d);
         }},
        {"check byte",
         [] {
             QvrV0Document d = V0(2, 2);
             d.checkByte = 1;
             return docwriter::WriteQvrV0(d);
         }},
        {"magic",
         [] {
             QvrV0Document d = V0(2, 2);
             d.magic = "QVRFDAX";
             return docwriter::WriteQvrV0(d);
         }},
        {"QVM data", [] { return docwriter::WriteQvm(docwriter::QvmDocument{}); }},
    };
    for (const Case& c : cases) {
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(Load(c.make(), image, "doc.qvr")) << c.what;
        ExpectOldPicture(image);
    }
}

TEST_F(QvrReaderTest, PictureThatCannotBeCreatedLeavesTheTargetEmpty) {
    ImageBuffer image;
    MakeOldPicture(image);
    EXPECT_FALSE(LoadQvr(V0(0, 4), image));
    EXPECT_TRUE(image.IsEmpty());
    MakeOldPicture(image);
    EXPECT_FALSE(LoadQvr(V1(7, 0), image));
    EXPECT_TRUE(image.IsEmpty());
}

// Tile placement: each case puts one pattern tile somewhere and every picture
// pixel is checked against the pattern byte that should lie on it.
struct Placement {
    const char* what;
    int x, y;
    uint16_t column, row;
};

TEST_F(QvrReaderTest, TilesArePlacedAndClippedAtEveryEdge) {
    const int w = 100, h = 90;
    const Placement cases[] = {
        {"inside", 5, 7, 0, 0},
        {"left edge", -10, 0, 0, 0}, // tile columns 10 to 63 at x 0 to 53
        {"top edge", 0, -20, 0, 0},
        {"right edge", 0, 0, 1, 0},  // columns 100 - 64 = 36 onwards are dropped
        {"bottom edge", 3, 0, 0, 1}, // rows 90 - 64 = 26 onwards are dropped
        {"all corners", -30, -40, 0, 0},
        {"offset column", -128, 10, 2, 0}, // back at x 0
        {"beyond right", 0, 0, 2, 0},
        {"beyond bottom", 0, 0, 0, 2},
        {"beyond left", -64, 0, 0, 0},
        {"beyond top", 0, -64, 0, 0},
        {"far right", 0x7FFFFFFF, 0x7FFFFFFF, 65535, 65535}, // X + 64 x column needs 64 bits
        {"far left", INT32_MIN, 0, 0, 0},
    };
    for (const Placement& p : cases) {
        QvrV1Document doc = V1(w, h);
        QvrTileLayer layer = TileLayer(p.x, p.y, kRed);
        layer.tiles.push_back(PatternTile(p.column, p.row));
        doc.layers.push_back(layer);
        ImageBuffer image;
        ASSERT_TRUE(LoadQvr(doc, image)) << p.what;
        const int64_t left = int64_t(p.x) + 64 * int64_t(p.column);
        const int64_t top = int64_t(p.y) + 64 * int64_t(p.row);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int64_t j = x - left, i = y - top;
                const bool covered = j >= 0 && j < 64 && i >= 0 && i < 64;
                const Bgr expected = covered ? Mix(kWhite, kRed, TileCoverage(int(j), int(i))) : kWhite;
                ASSERT_EQ(At(image, x, y), expected) << p.what << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(QvrReaderTest, TileOfSize4096IsPlainEvenWhenItLooksCompressed) {
    QvrV1Document doc = V1(64, 64);
    QvrTileLayer layer = TileLayer(0, 0, kRed);
    QvrTile tile;
    Bytes data = docwriter::Compress(Bytes(4096, 255));
    data.resize(4096, 7);
    tile.data = data;
    layer.tiles.push_back(tile);
    doc.layers.push_back(layer);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(At(image, i % 64, i / 64), Mix(kWhite, kRed, data[i])) << i;
}

TEST_F(QvrReaderTest, PlainAndCompressedTilesMixBottomUp) {
    QvrV1Document doc = V1(128, 64);
    doc.block = Bytes(17, 1);
    doc.headerExtra = Bytes(6, 2); // HS 18
    QvrTileLayer bottom = TileLayer(0, 0, kGreen);
    bottom.recordExtra = Bytes(9, 3); // LS 88
    QvrTile plain = PatternTile(0, 0);
    plain.plain = true;
    bottom.tiles.push_back(plain);
    bottom.tiles.push_back(PatternTile(1, 0));
    doc.layers.push_back(bottom);
    QvrTileLayer top = TileLayer(64, 0, kRed, 64);
    top.recordExtra = Bytes(9, 3);
    QvrTile full;
    full.coverage = Bytes(4096, 255);
    top.tiles.push_back(full);
    doc.layers.push_back(top);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            Bgr expected = Mix(kWhite, kGreen, TileCoverage(x % 64, y));
            if (x >= 64)
                expected = Mix(expected, kRed, 127);
            ASSERT_EQ(At(image, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(QvrReaderTest, TileSizeOutOfRangeFailsEvenWhenInvisible) {
    for (uint16_t size : {uint16_t(0), uint16_t(4097), uint16_t(65535)}) {
        for (uint8_t flags : {uint8_t(0), uint8_t(1)}) {
            QvrV1Document doc = V1(64, 64);
            QvrTileLayer first = TileLayer(0, 0, kGreen, 64);
            first.tiles.push_back(PatternTile(0, 0));
            doc.layers.push_back(first);
            QvrTileLayer layer = TileLayer(0, 0, kRed);
            layer.flags = flags;
            QvrTile tile;
            tile.data = Bytes(10, 0);
            tile.size = size;
            layer.tiles.push_back(tile);
            doc.layers.push_back(layer);
            ImageBuffer image;
            EXPECT_FALSE(LoadQvr(doc, image)) << size << " flags " << int(flags);
            // What was mixed before the bad tile stays.
            EXPECT_EQ(At(image, 5, 6), Mix(kWhite, kGreen, (TileCoverage(5, 6) * 64) >> 7));
        }
    }
}

TEST_F(QvrReaderTest, BrokenTileStreamFailsOnlyWhenVisible) {
    const Bytes brokenStreams[] = {
        {0x78, 0x9C, 0xFF, 0xFF, 0xFF},      // corrupt
        docwriter::Compress(Bytes(4097, 1)), // one byte too many
    };
    for (const Bytes& stream : brokenStreams) {
        for (uint8_t flags : {uint8_t(0), uint8_t(1)}) {
            QvrV1Document doc = V1(64, 64);
            QvrTileLayer layer = TileLayer(0, 0, kRed);
            layer.flags = flags;
            QvrTile tile;
            tile.data = stream;
            layer.tiles.push_back(tile);
            doc.layers.push_back(layer);
            ImageBuffer image;
            EXPECT_EQ(LoadQvr(doc, image), flags == 0);
            ExpectAll(image, kWhite);
        }
    }
}

} // namespace
