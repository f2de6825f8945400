// What a thumbnail is made from: the size a header states, the memory bound
// checked before decoding, and broken documents refused.
#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "decode/MemorySource.h"
#include "shell/ThumbnailPicture.h"
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

TEST(ThumbnailPicture, PicturesAboveTheBoundAreRefusedBeforeDecoding) {
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
        EXPECT_EQ(DecodeThumbnailPicture(source, picture), c.expected) << c.width << "x" << c.height;
        EXPECT_EQ(picture.IsEmpty(), c.expected != ThumbnailPictureStatus::Decoded);
    }
}

TEST(ThumbnailPicture, DocumentCutShortIsBrokenNotAPartialPicture) {
    const Bytes whole = docwriter::WriteQvm(paintings::EveryModeQvm(40, 30));
    for (size_t length : {size_t(0), size_t(6), size_t(30), whole.size() / 2, whole.size() - 1}) {
        const Bytes cut(whole.begin(), whole.begin() + length);
        MemorySource source(cut.data(), cut.size());
        ImageBuffer picture;
        EXPECT_EQ(DecodeThumbnailPicture(source, picture), ThumbnailPictureStatus::Broken) << "cut at " << length;
    }
    MemorySource source(whole.data(), whole.size());
    ImageBuffer picture, expected;
    ASSERT_EQ(DecodeThumbnailPicture(source, picture), ThumbnailPictureStatus::Decoded);
    MemorySource again(whole.data(), whole.size());
    ASSERT_TRUE(LoadDocument(expected, again));
    ASSERT_EQ(picture.ByteCount(), expected.ByteCount());
    EXPECT_EQ(std::memcmp(picture.bits, expected.bits, picture.ByteCount()), 0);
}

} // namespace
