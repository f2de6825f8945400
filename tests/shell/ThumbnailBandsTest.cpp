// The banded thumbnail against the whole-picture one, pixel for pixel: every
// kind of document of both formats, band boundaries anywhere (bands of one
// row and up), with and without a pool, layers whose streams end early or
// late, broken documents, and every corpus document.
#include "decode/AreaAverage.h"
#include "decode/ImageBuffer.h"
#include "decode/MemorySource.h"
#include "decode/QvmBands.h"
#include "decode/StreamBands.h"
#include "decode/ScaleInBands.h"
#include "base/WorkPool.h"
#include "shell/ThumbnailPicture.h"
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

// The banded road's memory for bands of `rows` rows: the filter's, a
// stream's state and band for each of `streams` (mask rows of maskRowBytes,
// none for tiles) and the picture's band.
uint64_t BytesForRows(int width, int height, int streams, uint64_t maskRowBytes, int rows, int thumbnailWidth) {
    return AreaAverage::MemoryFor(width, height, thumbnailWidth) + uint64_t(streams + 1) * kBandedLayerOverhead +
           uint64_t(rows) * (uint64_t(width) * 4 + uint64_t(streams) * maskRowBytes);
}

int VisibleLayers(const docwriter::QvmDocument& doc) {
    int visible = 0;
    for (const auto& layer : doc.layers)
        visible += layer.flags & 1;
    return visible;
}

struct Generated {
    std::string what;
    docwriter::QvmDocument qvm; // when bytes is empty
    Bytes bytes;
    int streams = -1;          // kept open side by side; -1: the QVM document's visible layers
    uint64_t maskRowBytes = 0; // of a QVR mask's stream; 0: a QVM layer's row, 4 x width
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
    docs.push_back({"qvr 0 masks", {}, docwriter::WriteQvrV0(masks), 3, 48});
    docwriter::QvrV0Document shortMask = paintings::MaskQvr(45, 70, 3);
    shortMask.layers[0].mask.resize(48 * 20 + 7);
    shortMask.layers[1].flags = 0;
    docs.push_back({"qvr 0 short mask, one hidden", {}, docwriter::WriteQvrV0(shortMask), 3, 48});
    docwriter::QvrV0Document maskEndsEarly = paintings::MaskQvr(45, 70, 3);
    maskEndsEarly.layers[0].stream = docwriter::Compress(maskEndsEarly.layers[0].mask);
    maskEndsEarly.layers[0].stream->resize(maskEndsEarly.layers[0].stream->size() + 70000, 0);
    docs.push_back({"qvr 0 mask ending pieces before its block", {}, docwriter::WriteQvrV0(maskEndsEarly), 3, 48});
    docwriter::QvrV0Document hiddenBroken = paintings::MaskQvr(45, 70, 3);
    hiddenBroken.layers[2].flags = 0;
    hiddenBroken.layers[2].stream = Bytes(40, 0x55);
    docs.push_back({"qvr 0 hidden mask not zlib", {}, docwriter::WriteQvrV0(hiddenBroken), 3, 48});
    docwriter::QvrV0Document flattened;
    flattened.width = 31;
    flattened.height = 23;
    flattened.flattened = paintings::EveryModeQvm(31, 23).layers[0].pixels;
    docs.push_back({"qvr 0 flattened", {}, docwriter::WriteQvrV0(flattened), 1, 31 * 4});
    flattened.flattened.resize(31 * 9 * 4 + 5);
    docs.push_back({"qvr 0 flattened, short", {}, docwriter::WriteQvrV0(flattened), 1, 31 * 4});

    // QVR version 1: tiles anywhere, also across the picture's edges, over
    // band boundaries and wholly outside it.
    docs.push_back({"qvr 1 tiles", {}, docwriter::WriteQvrV1(paintings::SparseTileQvr(150, 90, 3)), 0});
    docwriter::QvrV1Document outside = paintings::SparseTileQvr(150, 90, 2);
    outside.layers[0].y = -100;
    outside.layers[1].x = 30;
    outside.layers[1].y = 17;
    docs.push_back({"qvr 1 tiles moved", {}, docwriter::WriteQvrV1(outside), 0});
    docwriter::QvrV1Document brokenOutside = paintings::SparseTileQvr(150, 90, 2);
    brokenOutside.layers[1].tiles[0].row = 200;
    brokenOutside.layers[1].tiles[0].data = Bytes(30, 0x55);
    docs.push_back({"qvr 1 broken tile outside the picture", {}, docwriter::WriteQvrV1(brokenOutside), 0});
    docwriter::QvrV1Document cutTile = paintings::SparseTileQvr(150, 90, 2);
    Bytes cutBytes = docwriter::WriteQvrV1(cutTile);
    cutBytes.resize(cutBytes.size() - 1);
    docs.push_back({"qvr 1 last tile cut short", {}, cutBytes, 0});
    for (Generated& doc : docs)
        if (doc.bytes.empty())
            doc.bytes = docwriter::WriteQvm(doc.qvm);
    return docs;
}

TEST(ThumbnailBands, EveryKindOfDocumentGivesTheWholePicturesThumbnail) {
    WorkPool pool(3);
    for (const Generated& doc : Documents()) {
        MemorySource header(doc.bytes.data(), doc.bytes.size());
        int32_t width = 0, height = 0;
        ASSERT_TRUE(PeekPictureSize(header, width, height)) << doc.what;
        const int streams = doc.streams >= 0 ? doc.streams : VisibleLayers(doc.qvm);
        const uint64_t maskRowBytes = doc.streams >= 0 ? doc.maskRowBytes : uint64_t(width) * 4;
        for (int32_t side : {256, 40, 7, 1}) {
            const ThumbnailSize size = FitThumbnail(width, height, side);
            const Thumbnail whole = Whole(doc.bytes, size);
            for (int rows : {1, 3, 1000}) {
                const uint64_t bytes = BytesForRows(width, height, streams, maskRowBytes, rows, size.width);
                for (WorkPool* withPool : {static_cast<WorkPool*>(nullptr), &pool}) {
                    const std::string what = doc.what + " at " + std::to_string(side) + ", bands of " +
                                             std::to_string(rows) + (withPool ? " rows on a pool" : " rows");
                    const Thumbnail drawn = Drawn(doc.bytes, size, withPool, bytes);
                    EXPECT_EQ(drawn.status, whole.status) << what;
                    EXPECT_EQ(drawn.pixels, whole.pixels) << what;
                    // The banded road really took it, and judged it as the
                    // whole road does.
                    std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
                    MemorySource source(doc.bytes.data(), doc.bytes.size());
                    const BandedRead read = ScaleDocumentInBands(source, size.width, size.height, out.data(),
                                                                 size.width * 4, bytes, withPool);
                    EXPECT_EQ(read,
                              whole.status == ThumbnailPictureStatus::Decoded ? BandedRead::Done : BandedRead::Broken)
                        << what;
                    if (read == BandedRead::Done) {
                        EXPECT_EQ(out, whole.pixels) << what;
                    }
                }
            }
        }
    }
}

TEST(ThumbnailBands, TooLittleMemoryForOneRowOfEveryLayerLeavesTheDocumentToTheWholeRoadWhereItFits) {
    const docwriter::QvmDocument doc = paintings::TableModeQvm(64, 30);
    const Bytes bytes = docwriter::WriteQvm(doc);
    const ThumbnailSize size = FitThumbnail(64, 30, 16);
    const uint64_t oneRow = BytesForRows(64, 30, VisibleLayers(doc), 64 * 4, 1, size.width);
    const uint64_t wholeRoad = 64 * 30 * 4 * 2; // the picture and one layer
    struct Case {
        uint64_t bytes;
        BandedRead banded;
        ThumbnailPictureStatus drawn;
    };
    const Case cases[] = {{oneRow, BandedRead::Done, ThumbnailPictureStatus::Decoded},
                          {oneRow - 1, BandedRead::NotBanded, ThumbnailPictureStatus::Decoded},
                          {wholeRoad, BandedRead::NotBanded, ThumbnailPictureStatus::Decoded},
                          {wholeRoad - 1, BandedRead::NotBanded, ThumbnailPictureStatus::TooLarge}};
    const Thumbnail whole = Whole(bytes, size);
    for (const Case& c : cases) {
        std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
        MemorySource source(bytes.data(), bytes.size());
        EXPECT_EQ(ScaleDocumentInBands(source, size.width, size.height, out.data(), size.width * 4, c.bytes, nullptr),
                  c.banded)
            << c.bytes;
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
