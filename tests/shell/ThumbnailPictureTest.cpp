// What a thumbnail is made from: the size a header states, the memory bound
// checked before decoding, and broken documents refused.
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "base/MemorySource.h"
#include "decode/ThumbnailPicture.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <gtest/gtest.h>

#include <cstring>

using docwriter::Bytes;

namespace {

Bytes QvrWithBlock(uint16_t width, uint16_t height, size_t blockBytes) {
    docwriter::QvrV1Document doc;
    doc.width = width;
    doc.height = height;
    doc.block = Bytes(blockBytes, 7);
    doc.headerExtra = Bytes(5, 1);
    return docwriter::WriteQvrV1(doc);
}

TEST(ThumbnailPicture, HeaderSizeOfEachFormatAndVersion) {
    docwriter::QvmDocument qvm;
    qvm.width = 300;
    qvm.height = 20;
    qvm.block = Bytes(40000, 3); // past the read-ahead block
    qvm.headerExtra = Bytes(9, 2);
    docwriter::QvrV0Document v0;
    v0.width = 65535;
    v0.height = 1;
    struct Case {
        const char* what;
        Bytes bytes;
        int32_t width, height;
    };
    const Case cases[] = {
        {"qvm", docwriter::WriteQvm(qvm), 300, 20},
        {"qvr 0", docwriter::WriteQvrV0(v0), 65535, 1},
        {"qvr 1", QvrWithBlock(17, 4000, 20000), 17, 4000},
    };
    for (const Case& c : cases) {
        MemorySource source(c.bytes.data(), c.bytes.size());
        int32_t width = 0, height = 0;
        ASSERT_TRUE(PeekPictureSize(source, width, height)) << c.what;
        EXPECT_EQ(width, c.width) << c.what;
        EXPECT_EQ(height, c.height) << c.what;
        EXPECT_EQ(source.Tell(), 0) << c.what << ": the decode starts at the start again";
    }
}

TEST(ThumbnailPicture, PicturesAboveTheWholeRoadsBoundAreRefusedBeforeDecoding) {
    struct Case {
        uint16_t width, height;
        ThumbnailPictureStatus expected;
    };
    // 8192 x 8192 x 4 bytes is the bound itself; one row more is over it.
    // The documents have no layers, so a picture within the bound decodes.
    const Case cases[] = {{8192, 8192, ThumbnailPictureStatus::Decoded},
                          {8192, 8193, ThumbnailPictureStatus::TooLarge},
                          {65535, 65535, ThumbnailPictureStatus::TooLarge}};
    for (const Case& c : cases) {
        docwriter::QvrV1Document doc;
        doc.width = c.width;
        doc.height = c.height;
        const Bytes bytes = docwriter::WriteQvrV1(doc);
        MemorySource source(bytes.data(), bytes.size());
        ImageBuffer picture;
        EXPECT_EQ(DecodeThumbnailPicture(source, picture, uint64_t(8192) * 8192 * 4), c.expected)
            << c.width << "x" << c.height;
        EXPECT_EQ(picture.IsEmpty(), c.expected != ThumbnailPictureStatus::Decoded);
    }
}

TEST(ThumbnailPicture, PicturesTheWholeRoadCannotHoldAreDrawnInBands) {
    // Above what the whole road took, and above what a picture may be at
    // all: drawn in bands, a white picture with dark tiles along the left
    // half of its top.
    for (const auto& side : {std::make_pair(8192, 8193), std::make_pair(65535, 70)}) {
        docwriter::QvrV1Document doc;
        doc.width = uint16_t(side.first);
        doc.height = uint16_t(side.second);
        docwriter::QvrTileLayer layer;
        for (uint16_t column = 0; column < doc.width / 128; ++column) {
            docwriter::QvrTile tile;
            tile.column = column;
            tile.coverage = Bytes(64 * 64, 255);
            layer.tiles.push_back(tile);
        }
        doc.layers.push_back(layer);
        const Bytes bytes = docwriter::WriteQvrV1(doc);
        MemorySource source(bytes.data(), bytes.size());
        const ThumbnailSize size = FitThumbnail(side.first, side.second, 64);
        std::vector<uint8_t> pixels(size_t(size.width) * size.height * 4, 7);
        ASSERT_EQ(DrawThumbnail(source, size, pixels.data(), size.width * 4, nullptr), ThumbnailPictureStatus::Decoded)
            << side.first << "x" << side.second;
        // The top left is darkened by the tiles, the bottom right is white.
        EXPECT_LT(pixels[0], 255) << side.first << "x" << side.second;
        EXPECT_EQ(pixels[pixels.size() - 4], 255) << side.first << "x" << side.second;
    }
}

TEST(ThumbnailPicture, DocumentCutShortIsBrokenNotAPartialPicture) {
    const Bytes whole = docwriter::WriteQvm(paintings::EveryModeQvm(40, 30));
    for (size_t length : {size_t(0), size_t(6), size_t(30), whole.size() / 2, whole.size() - 1}) {
        const Bytes cut(whole.begin(), whole.begin() + length);
        MemorySource source(cut.data(), cut.size());
        ImageBuffer picture;
        EXPECT_EQ(DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes), ThumbnailPictureStatus::Broken)
            << "cut at " << length;
    }
    MemorySource source(whole.data(), whole.size());
    ImageBuffer picture, expected;
    ASSERT_EQ(DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes), ThumbnailPictureStatus::Decoded);
    MemorySource again(whole.data(), whole.size());
    ASSERT_TRUE(LoadDocument(expected, again));
    ASSERT_EQ(picture.ByteCount(), expected.ByteCount());
    EXPECT_EQ(std::memcmp(picture.bits, expected.bits, picture.ByteCount()), 0);
}

} // namespace
