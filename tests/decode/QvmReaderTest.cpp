// Loading QVM documents: layout, layer order, visibility, record lengths and
// the failure outcomes.
#include "tests/decode/DocTest.h"

#include "pixels/BlendModes.h"

using docwriter::QvmDocument;
using docwriter::QvmLayer;
using docwriter::SolidPixels;
using namespace doctest;

namespace {

// Sets picture pixel (x, y) of a w x h layer, stored bottom row first.
void SetPixel(Bytes& pixels, int w, int h, int x, int y, Bgr c, int a) {
    uint8_t* p = &pixels[(size_t(h - 1 - y) * w + x) * 4];
    p[0] = uint8_t(c.b);
    p[1] = uint8_t(c.g);
    p[2] = uint8_t(c.r);
    p[3] = uint8_t(a);
}

QvmDocument Doc(int w, int h) {
    QvmDocument doc;
    doc.width = uint16_t(w);
    doc.height = uint16_t(h);
    return doc;
}

const Bgr kRed = {0, 0, 255};
const Bgr kBlue = {255, 0, 0};

class QvmReaderTest : public DocFileTest {};

TEST_F(QvmReaderTest, NoLayersGiveAWhitePictureOfTheStatedSize) {
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(Doc(7, 5), image));
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.height, 5);
    for (size_t i = 0; i < image.ByteCount(); ++i)
        ASSERT_EQ(image.bits[i], 255);
}

TEST_F(QvmReaderTest, FullyTransparentLayerLeavesWhite) {
    QvmDocument doc = Doc(4, 4);
    doc.layers.push_back(QvmSolid(4, 4, kRed, 0));
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    ExpectAll(image, kWhite);
}

TEST_F(QvmReaderTest, LayerPixelsAreStoredBottomRowFirst) {
    QvmDocument doc = Doc(3, 2);
    QvmLayer layer = QvmSolid(3, 2, {0, 0, 0}, 0);
    layer.pixels[0] = 200; // first pixel in the stream: bottom-left of the picture
    layer.pixels[3] = 255;
    doc.layers.push_back(layer);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    EXPECT_EQ(At(image, 0, 1), (Bgr{200, 0, 0}));
    EXPECT_EQ(At(image, 0, 0), kWhite);
    EXPECT_EQ(At(image, 2, 1), kWhite);
}

TEST_F(QvmReaderTest, LayersAreBlendedBottomUpWithTheirModeAndOpacity) {
    QvmDocument doc = Doc(2, 2);
    doc.layers.push_back(QvmSolid(2, 2, {40, 80, 120}, 255));
    QvmLayer top = QvmSolid(2, 2, {100, 100, 100}, 255, kBlendMultiply, 64); // weight 127
    SetPixel(top.pixels, 2, 2, 1, 0, {0, 0, 0}, 0);
    doc.layers.push_back(top);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    // Multiply: 40 * 100 / 255 = 15, 80 * 100 / 255 = 31, 120 * 100 / 255 = 47.
    EXPECT_EQ(At(image, 0, 0), (Bgr{ReferenceMix(40, 15, 127), ReferenceMix(80, 31, 127), ReferenceMix(120, 47, 127)}));
    EXPECT_EQ(At(image, 1, 0), (Bgr{40, 80, 120}));
    EXPECT_EQ(AlphaAt(image, 0, 0), 255);
}

TEST_F(QvmReaderTest, InvisibleLayerIsNeitherBlendedNorExamined) {
    QvmDocument doc = Doc(2, 2);
    QvmLayer hidden = QvmSolid(2, 2, kRed, 255);
    hidden.flags = 0xFE; // every bit but the visible one
    hidden.stream = Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9};
    doc.layers.push_back(hidden);
    doc.layers.push_back(QvmSolid(2, 2, kBlue, 255, kBlendNormal, 64));
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    ExpectAll(image, Mix(kWhite, kBlue, 127));
}

TEST_F(QvmReaderTest, LongerRecordsAndHeaderBlocksAreSkipped) {
    QvmDocument doc = Doc(2, 1);
    doc.headerExtra = Bytes(23, 0xCC);
    doc.block = Bytes(1000, 0xDD);
    QvmLayer layer = QvmSolid(2, 1, kRed, 255);
    layer.recordExtra = Bytes(5, 0xEE); // LS = 40
    doc.layers.push_back(layer);
    QvmLayer second = QvmSolid(2, 1, kBlue, 255, kBlendNormal, 64);
    second.recordExtra = Bytes(5, 0xEE);
    doc.layers.push_back(second);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    ExpectAll(image, Mix(kRed, kBlue, 127));
}

TEST_F(QvmReaderTest, TrailingBytesInsideTheLastChunkAreSteppedOver) {
    QvmDocument doc = Doc(2, 2);
    QvmLayer first = QvmSolid(2, 2, kRed, 255);
    first.trailing = Bytes(100, 0xAB);
    doc.layers.push_back(first);
    doc.layers.push_back(QvmSolid(2, 2, kBlue, 255));
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    ExpectAll(image, kBlue);
}

TEST_F(QvmReaderTest, TrailingBytesBeyondTheLastChunkAreReadAsTheNextRecord) {
    // The reader does not seek to the block's end: the second record is taken
    // from the zero bytes after the first chunk, an invisible empty layer, and
    // the real second layer is never reached.
    QvmDocument doc = Doc(2, 2);
    QvmLayer first = QvmSolid(2, 2, kRed, 255);
    first.trailing = Bytes(40000, 0);
    doc.layers.push_back(first);
    doc.layers.push_back(QvmSolid(2, 2, kBlue, 255));
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    ExpectAll(image, kRed);
}

TEST_F(QvmReaderTest, ChunkedLayerStreamsDecode) {
    // Noisy pixels compress poorly: the stream spans several 32 KB chunks.
    const int w = 128, h = 128;
    QvmDocument doc = Doc(w, h);
    QvmLayer layer;
    uint32_t state = 12345;
    for (int i = 0; i < w * h; ++i) {
        state = state * 1103515245u + 12345u;
        layer.pixels.push_back(uint8_t(state >> 24));
        layer.pixels.push_back(uint8_t(state >> 16));
        layer.pixels.push_back(uint8_t(state >> 8));
        layer.pixels.push_back(255);
    }
    doc.layers.push_back(layer);
    ASSERT_GT(docwriter::Compress(layer.pixels).size(), 40000u);
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(doc, image));
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(image.bits[4 * i + 1], layer.pixels[4 * i + 1]) << i;
}

TEST_F(QvmReaderTest, RefusedHeadersLeaveTheTargetUntouched) {
    struct Case {
        const char* what;
        void (*edit)(QvmDocument&);
    };
    const Case cases[] = {
        {"version 1", [](QvmDocument& d) { d.version = 1; }},
        {"lower-case magic", [](QvmDocument& d) { d.magic = "qvmdata"; }},
        {"QVR magic", [](QvmDocument& d) { d.magic = "QVRFDAT"; }},
    };
    for (const Case& c : cases) {
        QvmDocument doc = Doc(2, 2);
        doc.layers.push_back(QvmSolid(2, 2, kRed, 255));
        c.edit(doc);
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvm(doc, image)) << c.what;
        ExpectOldPicture(image);
    }
}

TEST_F(QvmReaderTest, PictureThatCannotBeCreatedLeavesTheTargetEmpty) {
    for (auto size : {std::pair<int, int>{0, 5}, {5, 0}}) {
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(LoadQvm(Doc(size.first, size.second), image)) << size.first << "x" << size.second;
        EXPECT_TRUE(image.IsEmpty());
    }
}

TEST_F(QvmReaderTest, BrokenVisibleLayerKeepsWhatWasBlendedBefore) {
    struct Case {
        const char* what;
        void (*edit)(QvmLayer&);
    };
    const Case cases[] = {
        {"corrupt stream", [](QvmLayer& l) { l.stream = Bytes{0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF}; }},
        {"too many pixels", [](QvmLayer& l) { l.pixels.resize(l.pixels.size() + 4, 255); }},
        {"block shorter than its stream", [](QvmLayer& l) { l.compressedSize = 5; }},
    };
    for (const Case& c : cases) {
        QvmDocument doc = Doc(2, 2);
        doc.layers.push_back(QvmSolid(2, 2, kRed, 255, kBlendNormal, 64));
        QvmLayer broken = QvmSolid(2, 2, kBlue, 255);
        c.edit(broken);
        doc.layers.push_back(broken);
        doc.layers.push_back(QvmSolid(2, 2, kBlue, 255));
        ImageBuffer image;
        EXPECT_FALSE(LoadQvm(doc, image)) << c.what;
        ExpectAll(image, Mix(kWhite, kRed, 127));
    }
}

} // namespace
