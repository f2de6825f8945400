#include "base/FileSystem.h"
#include "export/BmpWriter.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace testpictures;
using docwriter::Bytes;

namespace {

// The file as the format table lays it out, built here byte by byte.
Bytes ExpectedBmp(const ImageBuffer& image) {
    const uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
    Bytes out = {'B', 'M'};
    docwriter::PutU32(out, 54 + stride * uint32_t(image.height));
    docwriter::PutU32(out, 0);  // two reserved fields
    docwriter::PutU32(out, 54); // pixel data offset
    docwriter::PutU32(out, 40);
    docwriter::PutU32(out, uint32_t(image.width));
    docwriter::PutU32(out, uint32_t(image.height));
    docwriter::PutU16(out, 1);
    docwriter::PutU16(out, 24);
    docwriter::PutU32(out, 0);
    docwriter::PutU32(out, 0);
    docwriter::PutU32(out, 96);
    docwriter::PutU32(out, 96);
    docwriter::PutU32(out, 0);
    docwriter::PutU32(out, 0);
    for (int32_t y = image.height - 1; y >= 0; --y) { // bottom row first
        const uint8_t* p = image.TopRow(y);
        for (int32_t x = 0; x < image.width; ++x, p += 4)
            out.insert(out.end(), {p[0], p[1], p[2]});
        for (uint32_t pad = uint32_t(image.width) * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

TEST(BmpOutput, BytesFollowTheHeaderTableAndRowPadding) {
    TempDir dir;
    struct Case {
        int32_t width, height;
        size_t fileSize;
    };
    const Case cases[] = {
        {1, 1, 58},          // 54 header bytes, blue, green, red, one padding byte
        {4, 2, 54 + 12 * 2}, // stride 12: no padding
        {5, 3, 54 + 16 * 3}, // stride 16: 15 rounded up
        {7, 5, 54 + 24 * 5}, {999, 4, 54 + 3000 * 4}, {3000, 50, 54 + 9000 * 50}, // several rows per write
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        ImageBuffer image;
        ASSERT_TRUE(image.Create(c.width, c.height));
        Paint(image, PatternAt);
        const std::string file = dir.File("p.bmp");
        ASSERT_TRUE(SaveBmp(image, file.c_str()));
        const Bytes written = docwriter::ReadFile(file);
        EXPECT_EQ(written.size(), c.fileSize);
        EXPECT_TRUE(written == ExpectedBmp(image));
    }
}

TEST(BmpOutput, TopOfThePictureEndsTheFileAndAlphaNeverReachesIt) {
    TempDir dir;
    ImageBuffer image;
    ASSERT_TRUE(image.Create(4, 3));
    image.Fill(0xFFFFFFFF);
    for (int32_t x = 0; x < 4; ++x) { // red top row
        image.TopRow(0)[x * 4 + 0] = 0;
        image.TopRow(0)[x * 4 + 1] = 0;
    }
    const std::string first = dir.File("a.bmp");
    ASSERT_TRUE(SaveBmp(image, first.c_str()));
    const Bytes bytes = docwriter::ReadFile(first);
    ASSERT_EQ(bytes.size(), 54u + 12 * 3);
    const Bytes redRow = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF};
    EXPECT_TRUE(std::equal(redRow.begin(), redRow.end(), bytes.end() - 12));

    for (size_t i = 3; i < image.ByteCount(); i += 4)
        image.bits[i] = uint8_t(i);
    const std::string second = dir.File("b.bmp");
    ASSERT_TRUE(SaveBmp(image, second.c_str()));
    EXPECT_TRUE(docwriter::ReadFile(second) == bytes);
}

TEST(BmpOutput, ExistingFileIsReplaced) {
    TempDir dir;
    const std::string file = dir.File("x.bmp");
    ASSERT_TRUE(docwriter::WriteFile(file, Bytes(5000, 0xAB)));
    ImageBuffer image;
    ASSERT_TRUE(image.Create(2, 2));
    Paint(image, PatternAt);
    ASSERT_TRUE(SaveBmp(image, file.c_str()));
    EXPECT_TRUE(docwriter::ReadFile(file) == ExpectedBmp(image));
}

TEST(BmpOutputFailure, EmptyPictureOrMissingFolderWritesNothing) {
    TempDir dir;
    ImageBuffer image;
    EXPECT_FALSE(SaveBmp(image, dir.File("e.bmp").c_str()));
    EXPECT_FALSE(filesystem::Exists(dir.File("e.bmp").c_str()));
    ASSERT_TRUE(image.Create(2, 2));
    const std::string missing = dir.File("none") + Sep() + "x.bmp";
    EXPECT_FALSE(SaveBmp(image, missing.c_str()));
}

} // namespace
