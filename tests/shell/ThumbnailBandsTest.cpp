// The banded thumbnail against the whole-picture one, pixel for pixel: every
// kind of document, band boundaries anywhere (bands of one row and up), with
// and without a pool, layers whose streams end early or late, and every
// corpus document.
#include "decode/AreaAverage.h"
#include "decode/ImageBuffer.h"
#include "decode/MemorySource.h"
#include "decode/QvmBands.h"
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
    made.status = DecodeThumbnailPicture(source, picture);
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

// The banded road's memory for bands of `rows` rows.
uint64_t BytesForRows(int width, int height, int visibleLayers, int rows, int thumbnailWidth) {
    return AreaAverage::MemoryFor(width, height, thumbnailWidth) + uint64_t(visibleLayers) * kBandedLayerOverhead +
           uint64_t(visibleLayers + 1) * uint64_t(width) * 4 * uint64_t(rows);
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
    bool banded = true; // the banded road takes it (a QVM document of sound layout)
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
    // block, the banded one gives the document to it.
    docwriter::QvmDocument farTrailing = paintings::ThreeLayerQvm(40, 30);
    farTrailing.layers[1].trailing = Bytes(70000, 0);
    docs.push_back({"stream ending pieces before its block", farTrailing, {}, false});

    // A layer larger than the picture, a stream cut short, one that is not
    // zlib, a block past the end of the file: the document is broken.
    docwriter::QvmDocument tooLong = paintings::ThreeLayerQvm(20, 10);
    tooLong.layers[2].pixels.resize(20 * 10 * 4 + 4, 9);
    docs.push_back({"layer larger than the picture", tooLong, {}, false});
    docwriter::QvmDocument cut = paintings::ThreeLayerQvm(20, 10);
    cut.layers[1].stream = docwriter::Compress(cut.layers[1].pixels);
    cut.layers[1].stream->resize(cut.layers[1].stream->size() / 2);
    docs.push_back({"stream cut short", cut, {}, false});
    docwriter::QvmDocument notZlib = paintings::ThreeLayerQvm(20, 10);
    notZlib.layers[2].stream = Bytes(50, 0x55);
    docs.push_back({"stream not zlib", notZlib, {}, false});
    docwriter::QvmDocument pastEnd = paintings::ThreeLayerQvm(20, 10);
    pastEnd.layers[2].compressedSize = 1000000;
    docs.push_back({"block past the end", pastEnd, {}, false});

    docwriter::QvmDocument empty;
    empty.width = 9;
    empty.height = 5;
    docs.push_back({"no layers", empty, {}});

    // QVR documents are decoded whole.
    docs.push_back({"qvr 0 masks", {}, docwriter::WriteQvrV0(paintings::MaskQvr(45, 70, 3)), false});
    docs.push_back({"qvr 1 tiles", {}, docwriter::WriteQvrV1(paintings::SparseTileQvr(150, 90, 3)), false});
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
        for (int32_t side : {256, 40, 7, 1}) {
            const ThumbnailSize size = FitThumbnail(width, height, side);
            const Thumbnail whole = Whole(doc.bytes, size);
            const int visible = VisibleLayers(doc.qvm);
            for (int rows : {1, 3, 1000}) {
                const uint64_t bytes = BytesForRows(width, height, visible, rows, size.width);
                for (WorkPool* withPool : {static_cast<WorkPool*>(nullptr), &pool}) {
                    const std::string what = doc.what + " at " + std::to_string(side) + ", bands of " +
                                             std::to_string(rows) + (withPool ? " rows on a pool" : " rows");
                    const Thumbnail drawn = Drawn(doc.bytes, size, withPool, bytes);
                    EXPECT_EQ(drawn.status, whole.status) << what;
                    EXPECT_EQ(drawn.pixels, whole.pixels) << what;
                    // The banded road really took it.
                    std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
                    MemorySource source(doc.bytes.data(), doc.bytes.size());
                    const BandedRead read =
                        ScaleQvmInBands(source, size.width, size.height, out.data(), size.width * 4, bytes, withPool);
                    EXPECT_EQ(read == BandedRead::Done, doc.banded) << what;
                    if (read == BandedRead::Done) {
                        EXPECT_EQ(out, whole.pixels) << what;
                    }
                }
            }
        }
    }
}

TEST(ThumbnailBands, TooLittleMemoryForOneRowOfEveryLayerLeavesTheDocumentToTheWholeRoad) {
    const docwriter::QvmDocument doc = paintings::TableModeQvm(64, 30);
    const Bytes bytes = docwriter::WriteQvm(doc);
    const ThumbnailSize size = FitThumbnail(64, 30, 16);
    const uint64_t oneRow = BytesForRows(64, 30, VisibleLayers(doc), 1, size.width);
    std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
    for (const auto& c : {std::make_pair(oneRow, BandedRead::Done), std::make_pair(oneRow - 1, BandedRead::NotBanded),
                          std::make_pair(uint64_t(1000), BandedRead::NotBanded)}) {
        MemorySource source(bytes.data(), bytes.size());
        EXPECT_EQ(ScaleQvmInBands(source, size.width, size.height, out.data(), size.width * 4, c.first, nullptr),
                  c.second)
            << c.first;
    }
    // The whole road still draws it.
    EXPECT_EQ(Drawn(bytes, size, nullptr, 1000).pixels, Whole(bytes, size).pixels);
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
                const Thumbnail drawn = Drawn(bytes, size, withPool, kBandedThumbnailBytes);
                EXPECT_EQ(drawn.status, whole.status) << entry.path() << " at " << side;
                EXPECT_EQ(drawn.pixels, whole.pixels) << entry.path() << " at " << side;
            }
        }
    }
    EXPECT_GT(documents, 0);
}

} // namespace
