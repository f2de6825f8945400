// The readers on a work pool. Every document the reader tests load is also
// read on a pool and compared (DocTest.h); these cases reach the places
// where reading in bands or batches differs from reading one stream after the
// other.
#include "tests/decode/DocTest.h"

#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "tests/support/Paintings.h"

#include <vector>

using docwriter::QvmDocument;
using docwriter::QvrMaskLayer;
using docwriter::QvrTile;
using docwriter::QvrTileLayer;
using docwriter::QvrV0Document;
using docwriter::QvrV1Document;
using namespace doctest;

namespace {

const Bgr kRed = {0, 0, 255};
const Bgr kBlue = {255, 0, 0};

class ReaderThreadsTest : public DocFileTest {};

TEST_F(ReaderThreadsTest, StreamEndingEarlyInItsBlockMakesTheRecordsReadAheadBeReadAgain) {
    // The first stream ends in the first 32 KB of a 40 KB block: the next
    // record is read from the zeros after that chunk (an invisible empty
    // layer), not from the blue layer the threads had read ahead.
    const int w = 256, h = 256;
    QvmDocument qvm;
    qvm.width = w;
    qvm.height = h;
    docwriter::QvmLayer red = QvmSolid(w, h, kRed, 255);
    red.trailing = Bytes(40000, 0);
    qvm.layers = {red, QvmSolid(w, h, kBlue, 255)};
    ImageBuffer image;
    ASSERT_TRUE(LoadQvm(qvm, image));
    ExpectAll(image, kRed);

    // A mask stream alike: the record read from the zeros has an empty
    // stream, which ends the document after the red layer.
    QvrV0Document v0;
    v0.width = w;
    v0.height = h;
    QvrMaskLayer mask;
    mask.color = Pack(kRed);
    Bytes stream = docwriter::Compress(Bytes(size_t(w) * h, 255));
    stream.resize(stream.size() + 40000, 0);
    mask.stream = stream;
    QvrMaskLayer blue = mask;
    blue.color = Pack(kBlue);
    blue.stream.reset();
    blue.mask = Bytes(size_t(w) * h, 255);
    v0.layers = {mask, blue};
    EXPECT_FALSE(LoadQvr(v0, image));
    ExpectAll(image, kRed);
}

TEST_F(ReaderThreadsTest, TileStreamFailingInALaterBatchKeepsTheTilesBeforeIt) {
    // 625 tiles are three batches; the one at 400 is broken.
    const int side = 25 * 64;
    QvrV1Document doc;
    doc.width = side;
    doc.height = side;
    QvrTileLayer layer;
    layer.color = Pack(kRed);
    for (uint16_t i = 0; i < 625; ++i) {
        QvrTile tile;
        tile.column = uint16_t(i % 25);
        tile.row = uint16_t(i / 25);
        tile.coverage = Bytes(4096, 255);
        if (i == 400)
            tile.data = Bytes{0x78, 0x9C, 0xFF, 0xFF, 0xFF};
        layer.tiles.push_back(tile);
    }
    doc.layers.push_back(layer);
    ImageBuffer image;
    EXPECT_FALSE(LoadQvr(doc, image));
    EXPECT_EQ(At(image, 399 % 25 * 64, 399 / 25 * 64), kRed);
    EXPECT_EQ(At(image, 400 % 25 * 64, 400 / 25 * 64), kWhite);
    EXPECT_EQ(At(image, 401 % 25 * 64, 401 / 25 * 64), kWhite);
}

// From a million pixels the readers take the pool: a cancelled pool then ends
// the document, and a working one gives the picture read alone. One row
// fewer is read alone, whatever the pool's state.
TEST_F(ReaderThreadsTest, PicturesFromAMillionPixelsTakeThePoolAndGiveTheSamePicture) {
    auto write = [&](const char* name, int w, int h) {
        QvmDocument doc;
        doc.width = uint16_t(w);
        doc.height = uint16_t(h);
        doc.layers = {QvmSolid(w, h, kRed, 255), QvmSolid(w, h, kBlue, 100, 1), QvmSolid(w, h, kRed, 30, 20)};
        const std::string path = dir.File(name);
        EXPECT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
        return path;
    };
    const std::string large = write("large.qvm", 1024, 1024);
    const std::string below = write("below.qvm", 1024, 1023);
    ImageBuffer alone, pooled, image;
    ASSERT_TRUE(LoadDocument(alone, large.c_str()));
    ASSERT_TRUE(LoadDocument(pooled, large.c_str(), &pool));
    ASSERT_EQ(pooled.ByteCount(), alone.ByteCount());
    EXPECT_EQ(std::memcmp(pooled.bits, alone.bits, alone.ByteCount()), 0);
    WorkPool stopped(2);
    ASSERT_GT(stopped.Size(), 1u);
    stopped.Cancel();
    EXPECT_EQ(LoadDocument(image, large.c_str(), &stopped).code, LoadCode::Cancelled) << "the pool was not taken";
    EXPECT_TRUE(LoadDocument(image, below.c_str(), &stopped)) << "a smaller picture is read alone";
}

// Masks read in bands into the whole picture (on the pool) against one mask
// after the other (alone): pictures of several bands, masks cut short, a
// stream ending early in its block, a file cut inside its last mask, and
// more layers than may stay open between bands, so that the rest start over
// for every band.
TEST_F(ReaderThreadsTest, MasksInBandsOfTheWholePictureGiveThePictureOfOneMaskAfterTheOther) {
    auto masks = [](int w, int h, int layers) {
        QvrV0Document doc = paintings::MaskQvr(w, h, layers);
        return docwriter::WriteQvrV0(doc);
    };
    const size_t stride = 1024;
    QvrV0Document shortMask = paintings::MaskQvr(1024, 1023, 3);
    shortMask.layers[2].stream = docwriter::Compress(Bytes(stride * 1023 / 2 + 17, 200));
    QvrV0Document endsEarly = paintings::MaskQvr(1024, 1023, 3);
    endsEarly.layers[0].stream->resize(endsEarly.layers[0].stream->size() + 40000, 0);
    Bytes cut = masks(1024, 1023, 3);
    cut.resize(cut.size() - 1000);
    // One stream made once, every layer its own colour: 110 layers are more
    // than the 102 streams a mask of a megabyte may keep open.
    QvrV0Document many;
    many.width = 1024;
    many.height = 1023;
    const Bytes stream = docwriter::Compress(paintings::CoverageMask(1024, 1023, 5), 1);
    for (int l = 0; l < 110; ++l) {
        QvrMaskLayer layer;
        layer.opacity = uint8_t(20 + l % 100);
        layer.flags = l % 7 == 3 ? 0 : 1;
        layer.color = 0x010203u * uint32_t(l + 1);
        layer.stream = stream;
        many.layers.push_back(layer);
    }
    struct Case {
        const char* name;
        Bytes bytes;
        bool whole;
    };
    const Case cases[] = {
        {"four tall bands", masks(64, 8000, 4), true},
        {"eight bands", masks(1024, 1023, 4), true},
        {"a mask cut short", docwriter::WriteQvrV0(shortMask), true},
        {"a stream ending early in its block", docwriter::WriteQvrV0(endsEarly), false},
        {"a file cut in its last mask", cut, false},
        {"more layers than stay open", docwriter::WriteQvrV0(many), true},
    };
    for (const Case& c : cases) {
        ImageBuffer image;
        EXPECT_EQ(Load(c.bytes, image, "doc.qvr"), c.whole) << c.name;
    }
}

TEST_F(ReaderThreadsTest, CancelledPoolEndsTheDocumentAtItsFirstStream) {
    QvmDocument doc;
    doc.width = 4;
    doc.height = 4;
    doc.layers = {QvmSolid(4, 4, kRed, 255)};
    const Bytes bytes = docwriter::WriteQvm(doc);
    MemorySource source(bytes.data(), bytes.size());
    WorkPool stopped(2);
    stopped.Cancel();
    ImageBuffer image;
    EXPECT_EQ(ReadQvmOnPool(image, source, stopped).reason, "cancelled");
    ExpectAll(image, kWhite);

    // Tiles too: the document is given up, never named broken.
    docwriter::QvrV1Document tiles;
    tiles.width = 64;
    tiles.height = 64;
    docwriter::QvrTileLayer layer;
    docwriter::QvrTile tile;
    tile.coverage = Bytes(4096, 255);
    layer.tiles = {tile, tile};
    tiles.layers = {layer};
    const Bytes tileBytes = docwriter::WriteQvrV1(tiles);
    MemorySource tileSource(tileBytes.data(), tileBytes.size());
    EXPECT_EQ(ReadQvrOnPool(image, tileSource, stopped).code, LoadCode::Cancelled);
}

} // namespace
