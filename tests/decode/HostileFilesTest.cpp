// Documents from anywhere: truncated files, absurd counts and lengths, codes
// and opacities outside the format, streams that stop early, and inputs meant
// to make a load spin.
#include "tests/decode/DocTest.h"

#include "pixels/BlendModes.h"

using docwriter::QvmDocument;
using docwriter::QvmLayer;
using docwriter::QvrMaskLayer;
using docwriter::QvrTile;
using docwriter::QvrTileLayer;
using docwriter::QvrV0Document;
using docwriter::QvrV1Document;
using docwriter::SolidPixels;
using namespace doctest;

namespace {

const Bgr kRed = {0, 0, 255};
const Bgr kGreen = {0, 255, 0};
const Bgr kBlue = {255, 0, 0};

QvrMaskLayer MaskLayer(int w, int h, Bgr colour, uint8_t coverage, uint8_t opacity = 128) {
    QvrMaskLayer layer;
    layer.color = Pack(colour);
    layer.opacity = opacity;
    layer.mask = Bytes(size_t((w + 3) & ~3) * h, coverage);
    return layer;
}

QvrTile FullTile(uint16_t column, uint16_t row, bool plain = false) {
    QvrTile tile;
    tile.column = column;
    tile.row = row;
    tile.coverage = Bytes(4096, 255);
    tile.plain = plain;
    return tile;
}

template <typename Doc> Doc Sized(int w, int h) {
    Doc doc;
    doc.width = uint16_t(w);
    doc.height = uint16_t(h);
    return doc;
}

class HostileFilesTest : public DocFileTest {
protected:
    // Proper prefixes of a complete document must fail to load: every cut
    // among the fields at the start and the end, and a sample inside long
    // data.
    void ExpectEveryTruncationFails(const Bytes& whole, const char* name) {
        ImageBuffer image;
        ASSERT_TRUE(Load(whole, image, name));
        for (size_t length = 0; length < whole.size(); ++length) {
            if (length >= 300 && length + 300 < whole.size() && length % 61 != 0)
                continue;
            const Bytes prefix(whole.begin(), whole.begin() + length);
            ASSERT_FALSE(Load(prefix, image, name)) << name << " cut at " << length << " of " << whole.size();
        }
    }
};

TEST_F(HostileFilesTest, FileEndingAnywhereFailsTheLoad) {
    QvmDocument qvm = Sized<QvmDocument>(3, 2);
    qvm.headerExtra = Bytes(3, 1);
    qvm.block = Bytes(5, 2);
    QvmLayer hidden = QvmSolid(3, 2, kRed, 255);
    hidden.flags = 0;
    hidden.recordExtra = Bytes(2, 3);
    qvm.layers.push_back(hidden);
    QvmLayer shown = QvmSolid(3, 2, kBlue, 255);
    shown.recordExtra = Bytes(2, 3);
    qvm.layers.push_back(shown);
    ExpectEveryTruncationFails(docwriter::WriteQvm(qvm), "cut.qvm");

    QvrV0Document v0 = Sized<QvrV0Document>(3, 2);
    v0.layers.push_back(MaskLayer(3, 2, kRed, 9));
    v0.layers.push_back(MaskLayer(3, 2, kGreen, 200));
    ExpectEveryTruncationFails(docwriter::WriteQvrV0(v0), "cut0.qvr");

    QvrV0Document flat = Sized<QvrV0Document>(3, 2);
    flat.flattened = Bytes(24, 77);
    ExpectEveryTruncationFails(docwriter::WriteQvrV0(flat), "cutflat.qvr");

    QvrV1Document v1 = Sized<QvrV1Document>(70, 70);
    v1.block = Bytes(4, 1);
    v1.headerExtra = Bytes(2, 2);
    QvrTileLayer hiddenTiles;
    hiddenTiles.flags = 0;
    hiddenTiles.recordExtra = Bytes(3, 4);
    hiddenTiles.tiles.push_back(FullTile(0, 0));
    v1.layers.push_back(hiddenTiles);
    QvrTileLayer tiles;
    tiles.color = Pack(kRed);
    tiles.recordExtra = Bytes(3, 4);
    tiles.tiles.push_back(FullTile(0, 0));
    tiles.tiles.push_back(FullTile(1, 1, true));
    v1.layers.push_back(tiles);
    ExpectEveryTruncationFails(docwriter::WriteQvrV1(v1), "cut1.qvr");
}

TEST_F(HostileFilesTest, HugeCountsInShortFilesFailAtTheFirstShortRead) {
    ImageBuffer image;
    QvmDocument qvm = Sized<QvmDocument>(2, 2);
    qvm.layerCount = 65535;
    qvm.layers.push_back(QvmSolid(2, 2, kRed, 255));
    EXPECT_FALSE(LoadQvm(qvm, image));
    ExpectAll(image, kRed);

    QvrV0Document v0 = Sized<QvrV0Document>(2, 2);
    v0.layerCount = 65535;
    v0.layers.push_back(MaskLayer(2, 2, kRed, 255));
    EXPECT_FALSE(LoadQvr(v0, image));
    ExpectAll(image, kRed);

    for (uint8_t flags : {uint8_t(0), uint8_t(1)}) {
        QvrV1Document v1 = Sized<QvrV1Document>(64, 64);
        QvrTileLayer layer;
        layer.flags = flags;
        layer.color = Pack(kRed);
        layer.tileCount = 0xFFFFFFFFu;
        layer.tiles.push_back(FullTile(0, 0));
        v1.layers.push_back(layer);
        EXPECT_FALSE(LoadQvr(v1, image)) << int(flags);
        ExpectAll(image, flags ? kRed : kWhite);
    }
}

TEST_F(HostileFilesTest, PicturesAboveTwoGigabytesAreRefusedBeforeAllocating) {
    const std::pair<int, int> sizes[] = {{65535, 65535}, {65535, 8193}, {32768, 16384}};
    for (auto size : sizes) {
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvm(Sized<QvmDocument>(size.first, size.second), image));
        EXPECT_TRUE(image.IsEmpty());
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvr(Sized<QvrV0Document>(size.first, size.second), image));
        EXPECT_TRUE(image.IsEmpty());
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvr(Sized<QvrV1Document>(size.first, size.second), image));
        EXPECT_TRUE(image.IsEmpty());
    }
}

TEST_F(HostileFilesTest, LengthsBelowTheirMinimumFailWithTheTargetUntouched) {
    for (uint32_t hs : {0u, 9u}) {
        QvmDocument doc = Sized<QvmDocument>(2, 2);
        doc.headerLength = hs;
        doc.headerExtra = Bytes(12, 0);
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvm(doc, image)) << "HS " << hs;
        ExpectOldPicture(image);
    }
    for (uint32_t ls : {0u, 34u}) {
        QvmDocument doc = Sized<QvmDocument>(2, 2);
        doc.layers.push_back(QvmSolid(2, 2, kRed, 255));
        doc.recordLength = ls;
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvm(doc, image)) << "LS " << ls;
        ExpectOldPicture(image);
    }
    for (uint16_t hs : {uint16_t(0), uint16_t(11)}) {
        QvrV1Document doc = Sized<QvrV1Document>(2, 2);
        doc.headerLength = hs;
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvr(doc, image)) << "v1 HS " << hs;
        ExpectOldPicture(image);
    }
    for (uint16_t ls : {uint16_t(0), uint16_t(78)}) {
        QvrV1Document doc = Sized<QvrV1Document>(2, 2);
        doc.recordLength = ls;
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvr(doc, image)) << "v1 LS " << ls;
        ExpectOldPicture(image);
    }
}

TEST_F(HostileFilesTest, UnknownBlendCodesCompositeAsNormal) {
    // A Multiply document first, so a table left over from it would show.
    QvmDocument multiply = Sized<QvmDocument>(200, 200);
    multiply.layers.push_back(QvmSolid(200, 200, {90, 90, 90}, 255, kBlendMultiply));
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(multiply, image));
    for (int code : {21, 100, 255}) {
        QvmDocument doc = Sized<QvmDocument>(200, 200);
        doc.layers.push_back(QvmSolid(200, 200, {200, 200, 200}, 255, kBlendMultiply));
        doc.layers.push_back(QvmSolid(200, 200, {30, 60, 90}, 255, uint8_t(code), 64));
        ASSERT_TRUE(LoadQvm(doc, image));
        EXPECT_EQ(At(image, 0, 0), Mix(Bgr{200, 200, 200}, Bgr{30, 60, 90}, 127)) << code;
        EXPECT_EQ(At(image, 199, 199), Mix(Bgr{200, 200, 200}, Bgr{30, 60, 90}, 127)) << code;
    }
}

TEST_F(HostileFilesTest, OpacityAbove128CountsAsFullyOpaque) {
    ImageBuffer image;
    QvmDocument qvm = Sized<QvmDocument>(2, 2);
    qvm.layers.push_back(QvmSolid(2, 2, {10, 20, 30}, 255, kBlendNormal, 255));
    ASSERT_TRUE(LoadQvm(qvm, image));
    ExpectAll(image, (Bgr{10, 20, 30}));

    QvrV0Document v0 = Sized<QvrV0Document>(2, 2);
    v0.layers.push_back(MaskLayer(2, 2, {10, 20, 30}, 255, 200));
    ASSERT_TRUE(LoadQvr(v0, image));
    ExpectAll(image, (Bgr{10, 20, 30}));

    QvrV1Document v1 = Sized<QvrV1Document>(64, 64);
    QvrTileLayer layer;
    layer.opacity = 255;
    layer.color = Pack({10, 20, 30});
    layer.tiles.push_back(FullTile(0, 0));
    v1.layers.push_back(layer);
    ASSERT_TRUE(LoadQvr(v1, image));
    ExpectAll(image, (Bgr{10, 20, 30}));
}

TEST_F(HostileFilesTest, ShortQvmLayerStreamLeavesTheRestTransparent) {
    // The first layer fills the layer buffer with opaque red; the second
    // stream holds one whole pixel and two bytes of the next. Neither the cut
    // pixel nor the red left in the buffer may be blended again.
    QvmDocument doc = Sized<QvmDocument>(4, 1);
    doc.layers.push_back(QvmSolid(4, 1, kRed, 255, kBlendNormal, 64));
    QvmLayer cut;
    cut.stream = docwriter::Compress({255, 0, 0, 255, 9, 9});
    doc.layers.push_back(cut);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    EXPECT_EQ(At(image, 0, 0), kBlue);
    for (int x = 1; x < 4; ++x)
        EXPECT_EQ(At(image, x, 0), Mix(kWhite, kRed, 127)) << x;

    QvmDocument first = Sized<QvmDocument>(4, 1);
    QvmLayer alone;
    alone.stream = docwriter::Compress({0, 0, 0, 255});
    first.layers.push_back(alone);
    ASSERT_TRUE(LoadQvm(first, image));
    EXPECT_EQ(At(image, 0, 0), (Bgr{0, 0, 0}));
    for (int x = 1; x < 4; ++x)
        EXPECT_EQ(At(image, x, 0), kWhite) << x;
}

TEST_F(HostileFilesTest, ShortMaskStreamCoversNothingBeyondItsEnd) {
    // Mask rows of 4 bytes. The second mask stops after one and a half rows;
    // the first mask's bytes behind it must not count.
    QvrV0Document doc = Sized<QvrV0Document>(4, 3);
    doc.layers.push_back(MaskLayer(4, 3, kGreen, 128));
    QvrMaskLayer cut = MaskLayer(4, 3, kRed, 255);
    cut.stream = docwriter::Compress(Bytes(6, 255));
    doc.layers.push_back(cut);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    const Bgr green = Mix(kWhite, kGreen, 128);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(At(image, x, y), (y == 0 || (y == 1 && x < 2)) ? kRed : green) << x << "," << y;
}

TEST_F(HostileFilesTest, ShortFlattenedPictureIsZeroBeyondItsEnd) {
    QvrV0Document doc = Sized<QvrV0Document>(2, 2);
    doc.flattenedStream = docwriter::Compress({1, 2, 3, 4, 5});
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    const uint8_t expected[16] = {1, 2, 3, 4, 5};
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(image.bits[i], expected[i]) << i;
}

TEST_F(HostileFilesTest, ShortTileStreamCoversOnlyWhatItHolds) {
    // The first tile fills the tile block with full coverage; the second
    // stream holds one row. Its other 63 rows cover nothing.
    QvrV1Document doc = Sized<QvrV1Document>(128, 64);
    QvrTileLayer layer;
    layer.color = Pack(kRed);
    layer.tiles.push_back(FullTile(0, 0));
    QvrTile cut;
    cut.column = 1;
    cut.data = docwriter::Compress(Bytes(64, 255));
    layer.tiles.push_back(cut);
    doc.layers.push_back(layer);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvr(doc, image));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(At(image, x, y), (x < 64 || y == 0) ? kRed : kWhite) << x << "," << y;
}

// The most layers a header can declare, each empty or of one pixel: the
// picture holds exactly what the streams do. What such loads cost is
// measured by the Hostile benchmarks.
TEST_F(HostileFilesTest, ManyEmptyLayersOfALargePictureLeaveItWhite) {
    const int w = 2048, h = 2048;
    const Bytes empty = docwriter::Compress({});
    QvmDocument qvm = Sized<QvmDocument>(w, h);
    QvrV0Document v0 = Sized<QvrV0Document>(w, h);
    for (int i = 0; i < 65535; ++i) {
        QvmLayer layer;
        layer.stream = empty;
        layer.blendMode = uint8_t(i % 21);
        qvm.layers.push_back(layer);
        QvrMaskLayer mask;
        mask.stream = empty;
        v0.layers.push_back(mask);
    }
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(qvm, image));
    EXPECT_EQ(At(image, w - 1, h - 1), kWhite);
    ASSERT_TRUE(LoadQvr(v0, image));
    EXPECT_EQ(At(image, 0, 0), kWhite);
}

TEST_F(HostileFilesTest, ManyOnePixelLayersInTableModesDarkenOnlyTheirPixel) {
    const int w = 512, h = 512;
    QvmDocument doc = Sized<QvmDocument>(w, h);
    const Bytes darkPixel = docwriter::Compress({0, 0, 0, 255});
    for (int i = 0; i < 65535; ++i) {
        QvmLayer layer;
        layer.stream = darkPixel;
        layer.blendMode = (i % 2) ? kBlendMultiply : kBlendDarken;
        doc.layers.push_back(layer);
    }
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    EXPECT_EQ(At(image, 0, h - 1), (Bgr{0, 0, 0})); // the first pixel: bottom-left
    EXPECT_EQ(At(image, 1, h - 1), kWhite);
}

} // namespace
