#include "base/FileFailure.h"
#include "export/BmpWriter.h"
#include "export/PngWriter.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/PngReadBack.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace testpictures;
using pngread::Bytes;

namespace {

TEST(PngOutput, OnePixelWithoutAlphaIsTruecolourWithFourByteRows) {
    TempDir dir;
    ImageBuffer image;
    ASSERT_TRUE(image.Create(1, 1));
    image.bits[0] = 0x30; // blue
    image.bits[1] = 0x20; // green
    image.bits[2] = 0x10; // red
    image.bits[3] = 0x77;
    for (bool alpha : {false, true}) {
        const std::string file = dir.File(alpha ? "a.png" : "o.png");
        ASSERT_TRUE(SavePng(image, file.c_str(), alpha));
        pngread::Png png;
        ASSERT_TRUE(pngread::Parse(docwriter::ReadFile(file), png));
        ASSERT_EQ(png.chunks.size(), 3u);
        const Bytes ihdr = {0, 0, 0, 1, 0, 0, 0, 1, 8, uint8_t(alpha ? 6 : 2), 0, 0, 0};
        EXPECT_EQ(png.chunks[0].data, ihdr);
        ASSERT_TRUE(pngread::Expand(png));
        const Bytes rgb = {0, 0x10, 0x20, 0x30};
        const Bytes rgba = {0, 0x10, 0x20, 0x30, 0x77};
        EXPECT_EQ(png.raw, alpha ? rgba : rgb);
        // IEND is the fixed twelve bytes.
        const Bytes bytes = docwriter::ReadFile(file);
        const Bytes iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
        EXPECT_TRUE(std::equal(iend.begin(), iend.end(), bytes.end() - 12));
    }
}

struct Shape {
    int32_t width;
    int32_t height;
    bool noise;
};

// Shapes that cover one band and several, a row longer than a band, a
// compressed stream far beyond the 32768-byte output buffer, and a picture
// that compresses to almost nothing.
const Shape kShapes[] = {
    {1, 1, false}, {5, 3, false}, {300, 1000, true}, {70000, 2, true}, {1, 70000, false}, {640, 480, false},
};

TEST(PngOutput, FileIsByteForByteTheSingleBlockEncoding) {
    TempDir dir;
    for (const Shape& shape : kShapes) {
        for (bool alpha : {false, true}) {
            SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height) + (alpha ? " rgba" : " rgb"));
            ImageBuffer image;
            ASSERT_TRUE(image.Create(shape.width, shape.height));
            if (shape.noise) {
                Paint(image, NoiseAt);
            } else {
                Paint(image, PatternAt);
            }
            const std::string file = dir.File("p.png");
            ASSERT_TRUE(SavePng(image, file.c_str(), alpha));
            const Bytes written = docwriter::ReadFile(file);
            EXPECT_TRUE(written == pngread::ReferenceEncode(uint32_t(shape.width), uint32_t(shape.height), alpha,
                                                            PngRowsOf(image, alpha)));

            pngread::Png png;
            ASSERT_TRUE(pngread::Parse(written, png));
            EXPECT_TRUE(png.signatureOk);
            ASSERT_EQ(png.chunks.size(), 3u);
            EXPECT_EQ(png.chunks[0].type, "IHDR");
            EXPECT_EQ(png.chunks[1].type, "IDAT");
            EXPECT_EQ(png.chunks[2].type, "IEND");
            for (const auto& chunk : png.chunks)
                EXPECT_TRUE(chunk.crcOk) << chunk.type;
            EXPECT_EQ(png.colourType, alpha ? 6 : 2);
            ASSERT_TRUE(pngread::Expand(png));
            EXPECT_TRUE(png.raw == PngRowsOf(image, alpha));
            if (shape.noise) {
                EXPECT_GT(png.chunks[1].data.size(), 32768u);
            }
        }
    }
}

TEST(PngOutput, TopOfThePictureIsTheFirstRow) {
    TempDir dir;
    ImageBuffer image;
    ASSERT_TRUE(image.Create(2, 2));
    image.Fill(0xFF0000FF); // blue everywhere
    image.TopRow(0)[0] = 0; // the top-left pixel red
    image.TopRow(0)[2] = 0xFF;
    const std::string file = dir.File("top.png");
    ASSERT_TRUE(SavePng(image, file.c_str(), false));
    pngread::Png png;
    ASSERT_TRUE(pngread::Parse(docwriter::ReadFile(file), png));
    ASSERT_TRUE(pngread::Expand(png));
    const Bytes expected = {0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF};
    EXPECT_EQ(png.raw, expected);
}

TEST(PngOutputFailure, NothingIsCreatedWhenTheFolderIsMissingOrThePictureEmpty) {
    TempDir dir;
    ImageBuffer image;
    const std::string empty = dir.File("empty.png");
    EXPECT_FALSE(SavePng(image, empty.c_str(), false));
    EXPECT_FALSE(std::filesystem::exists(empty));
    ASSERT_TRUE(image.Create(4, 4));
    const std::string missing = dir.File("no-such-folder") + Sep() + "x.png";
    EXPECT_FALSE(SavePng(image, missing.c_str(), true));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-folder")));
}

TEST(PngOutputFailure, RefusedWritesToADeviceAreReportedAndTheDeviceIsKept) {
    ImageBuffer image;
    ASSERT_TRUE(image.Create(64, 64));
    Paint(image, NoiseAt);
    EXPECT_FALSE(SavePng(image, FullDevice(), false));
    EXPECT_FALSE(SaveBmp(image, FullDevice()));
    if (!IsWindowsBuild()) {
        // The device node is neither deleted nor replaced by a file.
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
        EXPECT_TRUE(SavePng(image, "/dev/null", false)) << "a device is written in place";
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    }
}

// Run by the test runner with a file-size limit (see tests/export/CMakeLists.txt):
// a write that fails part-way through a plain file, as on a full disk.
TEST(FileSizeLimit, WriteFailingPartWayLeavesNoFile) {
    const uint64_t limit = FileSizeLimit();
    if (limit == 0)
        GTEST_SKIP() << "needs TESSAVEL_FILE_SIZE_LIMIT and a matching limit on the process";
    TempDir dir;
    ImageBuffer small;
    ASSERT_TRUE(small.Create(16, 16));
    Paint(small, NoiseAt);
    ASSERT_TRUE(SavePng(small, dir.File("small.png").c_str(), true)); // below the limit: written

    // Noise does not compress: each output is about twice the limit.
    ImageBuffer large;
    const int32_t width = 2048;
    const int32_t height = int32_t(limit * 2 / (width * 3)) + 1;
    ASSERT_TRUE(large.Create(width, height));
    Paint(large, NoiseAt);
    const std::string png = dir.File("large.png");
    const std::string bmp = dir.File("large.bmp");
    const std::string existing = dir.File("existing.bmp");
    ASSERT_TRUE(SaveBmp(small, existing.c_str()));
    const Bytes before = docwriter::ReadFile(existing);
    EXPECT_FALSE(SavePng(large, png.c_str(), true));
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_FALSE(SaveBmp(large, bmp.c_str()));
    EXPECT_FALSE(std::filesystem::exists(bmp));
    // A file that a failed write was to replace keeps what it held.
    EXPECT_FALSE(SaveBmp(large, existing.c_str()));
    EXPECT_FALSE(SavePng(large, existing.c_str(), false));
    EXPECT_EQ(docwriter::ReadFile(existing), before);
    EXPECT_NE(filesystem::LastFailure(), 0);
    // And no temporary is left beside them.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"existing.bmp", "small.png"}));
}

} // namespace
