// The work a thumbnail takes, counted rather than timed: rows walked through
// the bands, bytes read from the document, streams refused before they are
// expanded, and reads stopped by a deadline that has passed or a cancel flag.
#include "pixels/AreaAverage.h"
#include "pixels/ImageBuffer.h"
#include "base/MemorySource.h"
#include "decode/QvmBands.h"
#include "decode/QvrBands.h"
#include "decode/ScaleInBands.h"
#include "decode/ThumbnailPicture.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

using docwriter::Bytes;

namespace {

// Counts the rows a banded read walks one by one and those it hands over as
// runs of one row.
class CountingSink : public BandSink {
public:
    bool Begin(bool) override { return true; }
    void Row(const uint8_t*) override { ++walked; }
    void RepeatRow(const uint8_t* row, int32_t count) override {
        repeated += count;
        shade = row[0];
        plain = plain && row[1] == shade && row[2] == shade;
    }
    int64_t walked = 0;
    int64_t repeated = 0;
    uint8_t shade = 0; // of the last run
    bool plain = true; // every run grey, all three channels alike
};

// Counts the bytes read from the document.
class CountingSource : public MemorySource {
public:
    explicit CountingSource(const Bytes& bytes) : MemorySource(bytes.data(), bytes.size()) {}
    uint64_t read = 0;

protected:
    uint32_t ReadFromSource(void* buffer, uint32_t count) override {
        const uint32_t got = MemorySource::ReadFromSource(buffer, count);
        read += got;
        return got;
    }
};

bool IsQvm(const Bytes& bytes) {
    return bytes.size() > 3 && bytes[3] == 'D'; // "QVMDATA" against "QVRFDAT"
}

BandedRead ReadCounting(const Bytes& bytes, uint64_t memory, CountingSink& sink) {
    MemorySource source(bytes.data(), bytes.size());
    return IsQvm(bytes) ? ReadQvmInBands(source, memory, nullptr, sink) : ReadQvrInBands(source, memory, nullptr, sink);
}

std::vector<uint8_t> WholeThumbnail(const Bytes& bytes, ThumbnailSize size) {
    MemorySource source(bytes.data(), bytes.size());
    ImageBuffer picture;
    std::vector<uint8_t> pixels(size_t(size.width) * size.height * 4);
    EXPECT_EQ(DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes), ThumbnailPictureStatus::Decoded);
    EXPECT_TRUE(ScaleToThumbnail(picture, size, pixels.data(), size.width * 4));
    return pixels;
}

docwriter::QvrTile SmallTile(uint16_t column, uint16_t row, uint8_t coverage) {
    docwriter::QvrTile tile;
    tile.column = column;
    tile.row = row;
    tile.coverage.assign(4096, coverage);
    return tile;
}

struct Made {
    std::string what;
    Bytes bytes;
    uint8_t shade = 0xFF; // of the picture, where it is plain
};

// Documents of the largest size with nothing visible to paint, or nothing
// more to expand after their first rows.
std::vector<Made> BlankLargest() {
    std::vector<Made> docs;
    docwriter::QvmDocument qvm;
    qvm.width = qvm.height = 65535;
    docs.push_back({"qvm header", docwriter::WriteQvm(qvm)});
    for (int index = 0; index < 3; ++index) {
        docwriter::QvmLayer hidden = docwriter::MakeQvmLayer("hidden", {});
        hidden.flags = 0;
        hidden.stream = Bytes(100, 0x55); // never examined
        qvm.layers.push_back(hidden);
    }
    docs.push_back({"qvm of hidden layers", docwriter::WriteQvm(qvm)});
    docwriter::QvmDocument ending;
    ending.width = ending.height = 65535;
    docwriter::QvmLayer empty = docwriter::MakeQvmLayer("empty", {});
    empty.stream = docwriter::Compress({});
    ending.layers.push_back(empty);
    docs.push_back({"qvm of a stream that ends at once", docwriter::WriteQvm(ending)});

    docwriter::QvrV1Document tiles;
    tiles.width = tiles.height = 65535;
    docs.push_back({"qvr 1 header", docwriter::WriteQvrV1(tiles)});
    docwriter::QvrTileLayer hiddenTiles;
    hiddenTiles.flags = 0;
    for (uint16_t t = 0; t < 500; ++t)
        hiddenTiles.tiles.push_back(SmallTile(t, t, 200));
    docwriter::QvrTileLayer outside;
    outside.x = -1000;
    outside.tiles.push_back(SmallTile(0, 0, 255));
    tiles.layers = {hiddenTiles, outside};
    docs.push_back({"qvr 1 of hidden tiles and one outside", docwriter::WriteQvrV1(tiles)});

    docwriter::QvrV0Document masks;
    masks.width = masks.height = 65535;
    docs.push_back({"qvr 0 header", docwriter::WriteQvrV0(masks)});
    docwriter::QvrMaskLayer hiddenMask;
    hiddenMask.flags = 0;
    hiddenMask.stream = docwriter::Compress(Bytes(1000, 9));
    masks.layers.push_back(hiddenMask);
    docs.push_back({"qvr 0 of a hidden mask", docwriter::WriteQvrV0(masks)});
    docwriter::QvrV0Document stored;
    stored.width = stored.height = 65535;
    stored.flattened = Bytes(4 * 3, 0xFF); // a few white pixels, then black
    docs.push_back({"qvr 0 of a stored picture cut short", docwriter::WriteQvrV0(stored), 0});
    return docs;
}

TEST(ThumbnailWork, DocumentsWithNothingToExpandAreOneRunOfRowsNotARowWalk) {
    EXPECT_EQ(BlankLargest()[0].bytes.size(), size_t(34));
    EXPECT_EQ(BlankLargest()[3].bytes.size(), size_t(30));
    for (const Made& doc : BlankLargest()) {
        CountingSink sink;
        ASSERT_EQ(ReadCounting(doc.bytes, kThumbnailBytes, sink), BandedRead::Done) << doc.what;
        // A stream that ends at once still takes its first band.
        EXPECT_LT(sink.walked, 64) << doc.what;
        EXPECT_EQ(sink.walked + sink.repeated, 65535) << doc.what;
        EXPECT_TRUE(sink.plain) << doc.what;
        EXPECT_EQ(sink.shade, doc.shade) << doc.what;

        MemorySource source(doc.bytes.data(), doc.bytes.size());
        const ThumbnailSize size = FitThumbnail(65535, 65535, 256);
        std::vector<uint8_t> pixels(size_t(size.width) * size.height * 4, 0);
        ASSERT_EQ(DrawThumbnail(source, size, pixels.data(), size.width * 4, nullptr), ThumbnailPictureStatus::Decoded)
            << doc.what;
        std::vector<uint8_t> plain(pixels.size(), doc.shade);
        for (size_t alpha = 3; alpha < plain.size(); alpha += 4)
            plain[alpha] = 255;
        EXPECT_EQ(pixels, plain) << doc.what;
    }
}

// Rows handed over as a run give the pixels the same rows given one by one
// do, wherever the run starts and ends among the output rows.
TEST(ThumbnailWork, ARunOfRowsScalesAsTheRowsOneByOne) {
    const int32_t width = 37, height = 101;
    const Bytes pixels = paintings::LayerPixels(width, height, 5, paintings::Cover::Partial);
    struct Run {
        int32_t from, count;
    };
    const Run runs[] = {{0, 101}, {0, 1}, {3, 40}, {50, 51}, {99, 2}, {10, 0}};
    for (const Run& run : runs) {
        for (int32_t outHeight : {1, 7, 33, 101}) {
            std::vector<uint8_t> byRow(size_t(9) * outHeight * 4), byRun(byRow.size());
            AreaAverage rows, withRun;
            ASSERT_TRUE(rows.Start(width, height, 9, outHeight, false, byRow.data(), 9 * 4));
            ASSERT_TRUE(withRun.Start(width, height, 9, outHeight, false, byRun.data(), 9 * 4));
            const uint8_t* repeated = pixels.data() + size_t(run.from) * width * 4;
            for (int32_t y = 0; y < height; ++y) {
                const bool inRun = y >= run.from && y < run.from + run.count;
                rows.AddRow(inRun ? repeated : pixels.data() + size_t(y) * width * 4);
                if (!inRun)
                    withRun.AddRow(pixels.data() + size_t(y) * width * 4);
                else if (y == run.from)
                    withRun.AddRepeatedRow(repeated, run.count);
            }
            rows.Finish();
            withRun.Finish();
            EXPECT_EQ(byRun, byRow) << run.from << "+" << run.count << " to " << outHeight;
        }
    }
}

// A tall tiled document of many small tiles, a hidden layer of thousands
// among them, read in bands: its records are walked once, not once a band,
// and tiles that cross bands give the whole road's pixels.
TEST(ThumbnailWork, TiledDocumentsAreReadOnceWhateverTheirBands) {
    docwriter::QvrV1Document doc;
    doc.width = 200;
    doc.height = 3000;
    docwriter::QvrTileLayer hidden;
    hidden.flags = 0;
    const Bytes packed = docwriter::Compress(Bytes(4096, 77));
    for (uint16_t t = 0; t < 60000; ++t) {
        docwriter::QvrTile tile;
        tile.column = t % 4;
        tile.row = t % 47;
        tile.data = packed;
        hidden.tiles.push_back(tile);
    }
    docwriter::QvrTileLayer shifted = paintings::SparseTileQvr(200, 3000, 1).layers[0];
    shifted.y = -37;
    docwriter::QvrTileLayer over;
    over.y = 21;
    over.x = -5;
    over.color = 0x2080F0;
    over.opacity = 90;
    for (uint16_t row = 0; row < 47; ++row)
        for (uint16_t column = 0; column < 4; ++column)
            over.tiles.push_back(SmallTile(column, row, uint8_t(40 + row * 4)));
    doc.layers = {hidden, shifted, over};
    const Bytes bytes = docwriter::WriteQvrV1(doc);
    const ThumbnailSize size = FitThumbnail(200, 3000, 64);
    const std::vector<uint8_t> whole = WholeThumbnail(bytes, size);
    // Bands of about 150, 400 and 1200 rows.
    for (uint64_t memory : {uint64_t(200) << 10, uint64_t(400) << 10, uint64_t(1) << 20}) {
        CountingSource source(bytes);
        std::vector<uint8_t> out(whole.size(), 0);
        ASSERT_EQ(ScaleDocumentInBands(source, size.width, size.height, out.data(), size.width * 4, memory, nullptr),
                  BandedRead::Done)
            << memory;
        EXPECT_EQ(out, whole) << memory;
        EXPECT_LT(source.read, bytes.size() * 2) << memory;
    }
}

// A document whose streams could expand to more than the read may plan is
// refused before a byte of them is expanded; with room in the plan it is
// drawn.
TEST(ThumbnailWork, StreamsThatCouldExpandBeyondThePlanAreRefused) {
    const Bytes zeros = docwriter::Compress(Bytes(size_t(1024) * 1024 * 4, 0), 9);
    docwriter::QvmDocument qvm;
    qvm.width = qvm.height = 1024;
    for (int index = 0; index < 2; ++index) {
        docwriter::QvmLayer layer = docwriter::MakeQvmLayer("clear", {});
        layer.stream = zeros;
        qvm.layers.push_back(layer);
    }
    // A stream past the end of the file for the stated lengths: the records
    // are found by passing the streams through, which is planned too.
    docwriter::QvmDocument passed = qvm;
    passed.layers[0].trailing = Bytes(70000, 0);
    passed.layers[0].compressedSize = 40000000;
    docwriter::QvrV0Document masks;
    masks.width = masks.height = 2048;
    docwriter::QvrMaskLayer mask;
    mask.stream = docwriter::Compress(Bytes(size_t(2048) * 2048, 0), 9);
    masks.layers = {mask, mask, mask};
    masks.layers[2].flags = 0; // expanded all the same
    const Made docs[] = {{"qvm", docwriter::WriteQvm(qvm)},
                         {"qvm found by passing", docwriter::WriteQvm(passed)},
                         {"qvr 0", docwriter::WriteQvrV0(masks)}};
    for (const Made& doc : docs) {
        MemorySource header(doc.bytes.data(), doc.bytes.size());
        int32_t width = 0, height = 0;
        ASSERT_TRUE(PeekPictureSize(header, width, height));
        const ThumbnailSize size = FitThumbnail(width, height, 32);
        BandShape tight;
        tight.mostPlanned = 6u << 20; // a stream alone fits, not two
        BandShape roomy;
        roomy.mostPlanned = 64u << 20;
        std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
        MemorySource source(doc.bytes.data(), doc.bytes.size());
        EXPECT_EQ(ScaleDocumentInBands(source, size.width, size.height, out.data(), size.width * 4, kThumbnailBytes,
                                       nullptr, tight),
                  BandedRead::Refused)
            << doc.what;
        EXPECT_EQ(ScaleDocumentInBands(source, size.width, size.height, out.data(), size.width * 4, kThumbnailBytes,
                                       nullptr, roomy),
                  BandedRead::Done)
            << doc.what;
        EXPECT_EQ(out, WholeThumbnail(doc.bytes, size)) << doc.what;
    }
}

// Every road gives up once its deadline has passed or its owner cancels,
// and the handler's drawing says the document is too much for it.
TEST(ThumbnailWork, ADeadlineThatHasPassedOrACancelEndsEveryRoad) {
    docwriter::QvrV0Document flattened;
    flattened.width = 31;
    flattened.height = 23;
    flattened.flattened = paintings::EveryModeQvm(31, 23).layers[0].pixels;
    docwriter::QvmDocument passed = paintings::ThreeLayerQvm(40, 30);
    passed.layers[1].trailing = Bytes(70000, 0);
    const Made docs[] = {{"qvm", docwriter::WriteQvm(paintings::EveryModeQvm(97, 61))},
                         {"qvm found by passing", docwriter::WriteQvm(passed)},
                         {"qvr 0 masks", docwriter::WriteQvrV0(paintings::MaskQvr(45, 70, 3))},
                         {"qvr 0 flattened", docwriter::WriteQvrV0(flattened)},
                         {"qvr 1 tiles", docwriter::WriteQvrV1(paintings::SparseTileQvr(150, 90, 3))}};
    const std::atomic<bool> cancelled(true);
    const Deadline ended[] = {Deadline::In(std::chrono::seconds(-1)), Deadline().OrWhen(cancelled)};
    for (const Made& doc : docs) {
        MemorySource header(doc.bytes.data(), doc.bytes.size());
        int32_t width = 0, height = 0;
        ASSERT_TRUE(PeekPictureSize(header, width, height));
        const ThumbnailSize size = FitThumbnail(width, height, 16);
        std::vector<uint8_t> out(size_t(size.width) * size.height * 4);
        for (const Deadline& deadline : ended) {
            MemorySource source(doc.bytes.data(), doc.bytes.size());
            EXPECT_EQ(DrawThumbnail(source, size, out.data(), size.width * 4, nullptr, kThumbnailBytes, deadline),
                      ThumbnailPictureStatus::TooLarge)
                << doc.what;
        }
        MemorySource source(doc.bytes.data(), doc.bytes.size());
        EXPECT_EQ(DrawThumbnail(source, size, out.data(), size.width * 4, nullptr, kThumbnailBytes,
                                Deadline::In(std::chrono::hours(1))),
                  ThumbnailPictureStatus::Decoded)
            << doc.what;
    }
}

} // namespace
