// The banded thumbnail against the whole-picture one, pixel for pixel: every
// kind of document of both formats, band and group boundaries anywhere
// (bands of one row and up), streams kept open or starting over, with and
// without a pool, layers whose streams end early or late, documents of
// thousands of layers, broken documents, and every corpus document.
#include "pixels/ImageBuffer.h"
#include "base/MemorySource.h"
#include "decode/QvmBands.h"
#include "decode/StreamBands.h"
#include "decode/ScaleInBands.h"
#include "base/WorkPool.h"
#include "decode/ThumbnailPicture.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/SourceTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using docwriter::Bytes;

namespace {

struct Thumbnail {
    ThumbnailPictureStatus status = ThumbnailPictureStatus::Broken;
    std::vector<uint8_t> pixels;
};

// Today's road: the whole picture decoded, then scaled.
Thumbnail Whole(const Bytes& bytes, ThumbnailSize size) {
    MemorySource source(bytes.data(), bytes.size());
    ImageBuffer picture;
    Thumbnail made;
    made.status = DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes);
    if (made.status == ThumbnailPictureStatus::Decoded) {
        made.pixels.assign(size_t(size.width) * size.height * 4, 0);
        EXPECT_TRUE(ScaleToThumbnail(picture, size, made.pixels.data(), size.width * 4));
    }
    return made;
}

Thumbnail Drawn(const Bytes& bytes, ThumbnailSize size, WorkPool* pool, uint64_t bandedBytes) {
    MemorySource source(bytes.data(), bytes.size());
    Thumbnail made;
    made.pixels.assign(size_t(size.width) * size.height * 4, 0);
    made.status = DrawThumbnail(source, size, made.pixels.data(), size.width * 4, pool, bandedBytes);
    if (made.status != ThumbnailPictureStatus::Decoded)
        made.pixels.clear();
    return made;
}

struct Generated {
    std::string what;
    docwriter::QvmDocument qvm; // when bytes is empty
    Bytes bytes;
};

std::vector<Generated> Documents() {
    std::vector<Generated> docs;
    docs.push_back({"every mode", paintings::EveryModeQvm(97, 61), {}});
    docs.push_back({"table modes", paintings::TableModeQvm(64, 130), {}});
    docs.push_back({"three layers, one hidden", paintings::ThreeLayerQvm(33, 47), {}});

    // A stream that ends before the layer is full leaves the rest clear,
    // a pixel cut in the middle too.
    docwriter::QvmDocument shortLayer = paintings::ThreeLayerQvm(40, 30);
    shortLayer.layers[1].pixels.resize(40 * 11 * 4 + 6);
    shortLayer.layers[2].pixels.resize(40 * 29 * 4);
    docs.push_back({"short layers", shortLayer, {}});

    // Bytes after the stream inside the piece the reader reads it in: the
    // next record is where both readers look for it.
    docwriter::QvmDocument trailing = paintings::ThreeLayerQvm(40, 30);
    trailing.layers[1].trailing = Bytes(100, 0xEE);
    docs.push_back({"bytes after a stream", trailing, {}});

    // Past that piece: the whole reader reads the next record inside the
    // block, and the banded one finds it there too. The stated block may
    // even run past the end of the file.
    docwriter::QvmDocument farTrailing = paintings::ThreeLayerQvm(40, 30);
    farTrailing.layers[1].trailing = Bytes(70000, 0);
    docs.push_back({"stream ending pieces before its block", farTrailing, {}});
    docwriter::QvmDocument blockPastEnd = paintings::ThreeLayerQvm(40, 30);
    blockPastEnd.layers[1].trailing = Bytes(70000, 0);
    blockPastEnd.layers[1].compressedSize = 4000000;
    docs.push_back({"stream ending pieces before a block past the end", blockPastEnd, {}});

    // A layer larger than the picture, a stream cut short, one that is not
    // zlib, a block past the end of the file: the document is broken.
    docwriter::QvmDocument tooLong = paintings::ThreeLayerQvm(20, 10);
    tooLong.layers[2].pixels.resize(20 * 10 * 4 + 4, 9);
    docs.push_back({"layer larger than the picture", tooLong, {}});
    docwriter::QvmDocument cut = paintings::ThreeLayerQvm(20, 10);
    cut.layers[1].stream = docwriter::Compress(cut.layers[1].pixels);
    cut.layers[1].stream->resize(cut.layers[1].stream->size() / 2);
    docs.push_back({"stream cut short", cut, {}});
    docwriter::QvmDocument notZlib = paintings::ThreeLayerQvm(20, 10);
    notZlib.layers[2].stream = Bytes(50, 0x55);
    docs.push_back({"stream not zlib", notZlib, {}});
    docwriter::QvmDocument pastEnd = paintings::ThreeLayerQvm(20, 10);
    pastEnd.layers[2].compressedSize = 1000000;
    docs.push_back({"block past the end", pastEnd, {}});

    docwriter::QvmDocument empty;
    empty.width = 9;
    empty.height = 5;
    docs.push_back({"no layers", empty, {}});

    // QVR version 0: masks, every one expanded (hidden ones too), rows
    // padded to 4 bytes.
    const docwriter::QvrV0Document masks = paintings::MaskQvr(45, 70, 3);
    docs.push_back({"qvr 0 masks", {}, docwriter::WriteQvrV0(masks)});
    docwriter::QvrV0Document shortMask = paintings::MaskQvr(45, 70, 3);
    shortMask.layers[0].mask.resize(48 * 20 + 7);
    shortMask.layers[1].flags = 0;
    docs.push_back({"qvr 0 short mask, one hidden", {}, docwriter::WriteQvrV0(shortMask)});
    docwriter::QvrV0Document maskEndsEarly = paintings::MaskQvr(45, 70, 3);
    maskEndsEarly.layers[0].stream = docwriter::Compress(maskEndsEarly.layers[0].mask);
    maskEndsEarly.layers[0].stream->resize(maskEndsEarly.layers[0].stream->size() + 70000, 0);
    docs.push_back({"qvr 0 mask ending pieces before its block", {}, docwriter::WriteQvrV0(maskEndsEarly)});
    docwriter::QvrV0Document hiddenBroken = paintings::MaskQvr(45, 70, 3);
    hiddenBroken.layers[2].flags = 0;
    hiddenBroken.layers[2].stream = Bytes(40, 0x55);
    docs.push_back({"qvr 0 hidden mask not zlib", {}, docwriter::WriteQvrV0(hiddenBroken)});
    docwriter::QvrV0Document flattened;
    flattened.width = 31;
    flattened.height = 23;
    flattened.flattened = paintings::EveryModeQvm(31, 23).layers[0].pixels;
    docs.push_back({"qvr 0 flattened", {}, docwriter::WriteQvrV0(flattened)});
    flattened.flattened.resize(31 * 9 * 4 + 5);
    docs.push_back({"qvr 0 flattened, short", {}, docwriter::WriteQvrV0(flattened)});

    // QVR version 1: tiles anywhere, also across the picture's edges, over
    // band boundaries and wholly outside it.
    docs.push_back({"qvr 1 tiles", {}, docwriter::WriteQvrV1(paintings::SparseTileQvr(150, 90, 3))});
    docwriter::QvrV1Document outside = paintings::SparseTileQvr(150, 90, 2);
    outside.layers[0].y = -100;
    outside.layers[1].x = 30;
    outside.layers[1].y = 17;
    docs.push_back({"qvr 1 tiles moved", {}, docwriter::WriteQvrV1(outside)});
    docwriter::QvrV1Document brokenOutside = paintings::SparseTileQvr(150, 90, 2);
    brokenOutside.layers[1].tiles[0].row = 200;
    brokenOutside.layers[1].tiles[0].data = Bytes(30, 0x55);
    docs.push_back({"qvr 1 broken tile outside the picture", {}, docwriter::WriteQvrV1(brokenOutside)});
    docwriter::QvrV1Document cutTile = paintings::SparseTileQvr(150, 90, 2);
    Bytes cutBytes = docwriter::WriteQvrV1(cutTile);
    cutBytes.resize(cutBytes.size() - 1);
    docs.push_back({"qvr 1 last tile cut short", {}, cutBytes});
    for (Generated& doc : docs)
        if (doc.bytes.empty())
            doc.bytes = docwriter::WriteQvm(doc.qvm);
    return docs;
}

// Band and group boundaries anywhere, and streams kept open or starting over
// for every band.
struct ShapeCase {
    const char* what;
    BandShape shape;
};
const ShapeCase kShapes[] = {
    {"as memory gives", {}},
    {"bands of 1 row, groups of 1", {1, 1, SIZE_MAX}},
    {"bands of 3 rows, groups of 2, one stream kept open", {3, 2, 1}},
    {"bands of 3 rows, groups of 5, none kept open", {3, 5, 0}},
    {"bands of 7 rows, groups of 3, two kept open", {7, 3, 2}},
    {"bands of 1000 rows", {1000, 0, SIZE_MAX}},
};

BandedRead Banded(const Bytes& bytes, ThumbnailSize size, WorkPool* pool, uint64_t memory, const BandShape& shape,
                  std::vector<uint8_t>& out) {
    out.assign(size_t(size.width) * size.height * 4, 0);
    MemorySource source(bytes.data(), bytes.size());
    return ScaleDocumentInBands(source, size.width, size.height, out.data(), size.width * 4, memory, pool, shape);
}

// The banded road takes the document in every shape, and judges and draws
// it as the whole road does.
void ExpectBandedAsWhole(const Bytes& bytes, const std::string& what, WorkPool& pool,
                         std::initializer_list<int32_t> sides) {
    MemorySource header(bytes.data(), bytes.size());
    int32_t width = 0, height = 0;
    ASSERT_TRUE(PeekPictureSize(header, width, height)) << what;
    for (int32_t side : sides) {
        const ThumbnailSize size = FitThumbnail(width, height, side);
        const Thumbnail whole = Whole(bytes, size);
        for (WorkPool* withPool : {static_cast<WorkPool*>(nullptr), &pool}) {
            const std::string at = what + " at " + std::to_string(side) + (withPool ? " on a pool" : "");
            const Thumbnail drawn = Drawn(bytes, size, withPool, kThumbnailBytes);
            EXPECT_EQ(drawn.status, whole.status) << at;
            EXPECT_EQ(drawn.pixels, whole.pixels) << at;
            for (const ShapeCase& shape : kShapes) {
                std::vector<uint8_t> out;
                const BandedRead read = Banded(bytes, size, withPool, kThumbnailBytes, shape.shape, out);
                EXPECT_EQ(read, whole.status == ThumbnailPictureStatus::Decoded ? BandedRead::Done : BandedRead::Broken)
                    << at << ", " << shape.what;
                if (read == BandedRead::Done) {
                    EXPECT_EQ(out, whole.pixels) << at << ", " << shape.what;
                }
            }
        }
    }
}

TEST(ThumbnailBands, EveryKindOfDocumentGivesTheWholePicturesThumbnail) {
    WorkPool pool(3);
    for (const Generated& doc : Documents())
        ExpectBandedAsWhole(doc.bytes, doc.what, pool, {256, 40, 7, 1});
}

// Many layers of every mode and opacity, some hidden, some ending early.
docwriter::QvmDocument ManyLayerQvm(int width, int height, int count) {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    for (int index = 0; index < count; ++index) {
        docwriter::QvmLayer layer = docwriter::MakeQvmLayer(
            "layer", paintings::LayerPixels(width, height, uint32_t(index + 1), paintings::Cover::Partial),
            uint8_t(index % 21), uint8_t(index % 7 == 0 ? 40 : 128));
        layer.flags = index % 5 == 4 ? 0 : 1;
        if (index % 11 == 3)
            layer.pixels.resize(layer.pixels.size() / 3 + 2);
        doc.layers.push_back(std::move(layer));
    }
    return doc;
}

TEST(ThumbnailBands, DocumentsWithManyLayersGiveTheWholePicturesThumbnail) {
    WorkPool pool(3);
    ExpectBandedAsWhole(docwriter::WriteQvm(ManyLayerQvm(23, 17, 2000)), "2000 small layers", pool, {16});
    ExpectBandedAsWhole(docwriter::WriteQvm(ManyLayerQvm(3000, 4, 300)), "300 wide layers", pool, {256});
    docwriter::QvrV0Document masks = paintings::MaskQvr(19, 13, 600);
    ExpectBandedAsWhole(docwriter::WriteQvrV0(masks), "600 masks", pool, {16});
}

// More visible layers than may stay open in the memory given: the rest
// start over for every band, and the pixels are the whole road's.
TEST(ThumbnailBands, LayersThatCannotStayOpenStartOverForEveryBand) {
    const uint64_t memory = 400 << 10;
    BandPlan plan;
    ASSERT_TRUE(
        PlanBands(memory - (64 << 10) - (30 << 10), 160, 200, 64 << 10, 100 * 4, 100 * 4, 300, 10, 1, {}, plan));
    EXPECT_LT(plan.keptOpen, size_t(160));
    EXPECT_LT(plan.rows, 300);
    const Bytes bytes = docwriter::WriteQvm(ManyLayerQvm(100, 300, 200));
    const ThumbnailSize size = FitThumbnail(100, 300, 32);
    const Thumbnail whole = Whole(bytes, size);
    WorkPool pool(3);
    for (WorkPool* withPool : {static_cast<WorkPool*>(nullptr), &pool}) {
        std::vector<uint8_t> out;
        EXPECT_EQ(Banded(bytes, size, withPool, memory, {}, out), BandedRead::Done);
        EXPECT_EQ(out, whole.pixels);
    }
}

// Streams that would start over for thousands of bands of a large picture
// would take hours: such a plan is refused at once, while the streams kept
// open read the same document.
TEST(ThumbnailBands, StreamsThatWouldStartOverForHoursAreRefused) {
    docwriter::QvmDocument doc;
    doc.width = doc.height = 4000;
    for (uint8_t mode : {uint8_t(0), uint8_t(1)}) {
        docwriter::QvmLayer layer = docwriter::MakeQvmLayer("layer", {}, mode, 128);
        layer.stream = docwriter::Compress(Bytes(size_t(4000) * 4000 * 4, uint8_t(40 + mode)), 1);
        doc.layers.push_back(std::move(layer));
    }
    const Bytes bytes = docwriter::WriteQvm(doc);
    const ThumbnailSize size = FitThumbnail(4000, 4000, 32);
    std::vector<uint8_t> out;
    EXPECT_EQ(Banded(bytes, size, nullptr, kThumbnailBytes, {1, 1, 0}, out), BandedRead::NotBanded);
    EXPECT_EQ(Banded(bytes, size, nullptr, kThumbnailBytes, {}, out), BandedRead::Done);
    EXPECT_EQ(out, Whole(bytes, size).pixels);
}

// The least memory the banded road takes a document in, found by halving:
// more never refuses it.
uint64_t LeastBandedMemory(const Bytes& bytes, ThumbnailSize size) {
    uint64_t refused = 0, taken = kThumbnailBytes;
    while (taken - refused > 1) {
        const uint64_t middle = refused + (taken - refused) / 2;
        std::vector<uint8_t> out;
        (Banded(bytes, size, nullptr, middle, {}, out) == BandedRead::Done ? taken : refused) = middle;
    }
    return taken;
}

TEST(ThumbnailBands, TooLittleMemoryForOneRowLeavesTheDocumentToTheWholeRoadWhereItFits) {
    const docwriter::QvmDocument doc = paintings::TableModeQvm(64, 30);
    const Bytes bytes = docwriter::WriteQvm(doc);
    const ThumbnailSize size = FitThumbnail(64, 30, 16);
    const uint64_t least = LeastBandedMemory(bytes, size);
    const uint64_t wholeRoad = 64 * 30 * 4 * 2; // the picture and one layer
    ASSERT_GT(least, wholeRoad);
    struct Case {
        uint64_t bytes;
        BandedRead banded;
        ThumbnailPictureStatus drawn;
    };
    const Case cases[] = {{least, BandedRead::Done, ThumbnailPictureStatus::Decoded},
                          {least - 1, BandedRead::NotBanded, ThumbnailPictureStatus::Decoded},
                          {wholeRoad, BandedRead::NotBanded, ThumbnailPictureStatus::Decoded},
                          {wholeRoad - 1, BandedRead::NotBanded, ThumbnailPictureStatus::TooLarge}};
    const Thumbnail whole = Whole(bytes, size);
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        EXPECT_EQ(Banded(bytes, size, nullptr, c.bytes, {}, out), c.banded) << c.bytes;
        const Thumbnail drawn = Drawn(bytes, size, nullptr, c.bytes);
        EXPECT_EQ(drawn.status, c.drawn) << c.bytes;
        if (c.drawn == ThumbnailPictureStatus::Decoded) {
            EXPECT_EQ(drawn.pixels, whole.pixels) << c.bytes;
        }
    }
}

TEST(ThumbnailBands, ACancelledPoolLeavesTheLayersToTheReader) {
    const Bytes bytes = docwriter::WriteQvm(paintings::EveryModeQvm(97, 61));
    const ThumbnailSize size = FitThumbnail(97, 61, 40);
    WorkPool pool(3);
    pool.Cancel(); // it refuses every job
    const Thumbnail drawn = Drawn(bytes, size, &pool, kThumbnailBytes);
    EXPECT_EQ(drawn.status, ThumbnailPictureStatus::Decoded);
    EXPECT_EQ(drawn.pixels, Whole(bytes, size).pixels);
}

TEST(ThumbnailBands, EveryCorpusDocumentGivesTheWholePicturesThumbnail) {
    int documents = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourcePath("tests/corpus"))) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".qvm" && extension != ".qvr")
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        MemorySource header(bytes.data(), bytes.size());
        int32_t width = 0, height = 0;
        if (!PeekPictureSize(header, width, height) || width == 0 || height == 0)
            continue; // no size to scale to: the handler refuses it before either road
        ++documents;
        WorkPool pool(2);
        for (int32_t side : {256, 5}) {
            const ThumbnailSize size = FitThumbnail(width, height, side);
            const Thumbnail whole = Whole(bytes, size);
            for (WorkPool* withPool : {static_cast<WorkPool*>(nullptr), &pool}) {
                const Thumbnail drawn = Drawn(bytes, size, withPool, kThumbnailBytes);
                EXPECT_EQ(drawn.status, whole.status) << entry.path() << " at " << side;
                EXPECT_EQ(drawn.pixels, whole.pixels) << entry.path() << " at " << side;
            }
        }
    }
    EXPECT_GT(documents, 0);
}

} // namespace
