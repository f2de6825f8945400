#include "base/ByteFile.h"
#include "base/MemBlock.h"
#include "decode/Inflate.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using docwriter::Bytes;

namespace {

TEST(ImageBufferLifecycle, CreateFillFreeAndRefusedSizes) {
    ImageBuffer image;
    EXPECT_FALSE(image.Free()); // already empty
    ASSERT_TRUE(image.Create(3, 2));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    image.Fill(0xFFFFFFFF);
    for (size_t i = 0; i < image.ByteCount(); ++i)
        ASSERT_EQ(image.bits[i], 255);
    // A refused size leaves the buffer empty even though it held a picture.
    EXPECT_FALSE(image.Create(0, 5));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.width, 0);
    EXPECT_FALSE(image.Create(65535, 65535)); // 17 GB of pixels: refused before allocating
    EXPECT_FALSE(image.Create(-1, 10));
    ASSERT_TRUE(image.Create(1, 1));
    EXPECT_TRUE(image.Free());
    EXPECT_TRUE(image.IsEmpty());
}

TEST(ImageBufferLifecycle, SizeLimitIsTwoGigabytesOfPixelMemory) {
    EXPECT_TRUE(ImageBuffer::SizeFits(32767, 16384));  // 2^31 - 4 * 16384 bytes
    EXPECT_FALSE(ImageBuffer::SizeFits(32768, 16384)); // exactly 2^31 bytes
    EXPECT_FALSE(ImageBuffer::SizeFits(65535, 65535));
    EXPECT_FALSE(ImageBuffer::SizeFits(0, 1));
}

TEST(ImageBufferLayout, TopRowIsTheLastRowInMemory) {
    ImageBuffer image;
    ASSERT_TRUE(image.Create(2, 3));
    EXPECT_EQ(image.TopRow(0), image.bits + 2 * 2 * 4);
    EXPECT_EQ(image.TopRow(2), image.bits);
}

TEST(MemBlockAlloc, ReplacesTheOldBlockAndZeroFills) {
    MemBlock block;
    uint8_t* first = block.Alloc(16, false);
    ASSERT_NE(first, nullptr);
    uint8_t* second = block.Alloc(32768, true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(block.size, 32768u);
    for (uint32_t i = 0; i < block.size; ++i)
        ASSERT_EQ(second[i], 0);
    block.Release();
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.size, 0u);
}

class InflateTest : public ::testing::Test {
protected:
    // A block of `stream` followed by `trailing` bytes, then a marker.
    std::string WriteBlock(const Bytes& stream, const Bytes& trailing) {
        Bytes file = stream;
        docwriter::Append(file, trailing);
        file.push_back(0xEE);
        const std::string path = dir.File("block.bin");
        EXPECT_TRUE(docwriter::WriteFile(path, file));
        return path;
    }
    TempDir dir;
    MemBlock scratch;
};

TEST_F(InflateTest, StreamEndingAtItsLastByteLeavesTheFileAfterTheBlock) {
    const Bytes raw(5000, 7);
    const Bytes stream = docwriter::Compress(raw);
    const std::string path = WriteBlock(stream, {});
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    ASSERT_NE(scratch.Alloc(32768, true), nullptr);
    Bytes out(5000);
    uint32_t produced = 0;
    ASSERT_TRUE(InflateFromSource(file, out.data(), 5000, uint32_t(stream.size()), scratch.data, 32768, &produced));
    EXPECT_EQ(produced, 5000u);
    EXPECT_EQ(out, raw);
    EXPECT_EQ(file.Tell(), int64_t(stream.size()));
}

TEST_F(InflateTest, TrailingBytesInsideTheLastChunkAreSkipped) {
    const Bytes stream = docwriter::Compress(Bytes(100, 1));
    const std::string path = WriteBlock(stream, Bytes(10, 0));
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    ASSERT_NE(scratch.Alloc(32768, true), nullptr);
    Bytes out(100);
    const uint32_t blockSize = uint32_t(stream.size() + 10);
    ASSERT_TRUE(InflateFromSource(file, out.data(), 100, blockSize, scratch.data, 32768));
    EXPECT_EQ(file.Tell(), int64_t(blockSize));
}

TEST_F(InflateTest, TrailingBytesBeyondTheLastChunkAreNot) {
    const Bytes stream = docwriter::Compress(Bytes(100, 1));
    const std::string path = WriteBlock(stream, Bytes(100, 0));
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    ASSERT_NE(scratch.Alloc(64, true), nullptr);
    Bytes out(100);
    ASSERT_TRUE(InflateFromSource(file, out.data(), 100, uint32_t(stream.size() + 100), scratch.data, 16));
    const int64_t position = file.Tell();
    EXPECT_EQ(position % 16, 0);
    EXPECT_LT(position, int64_t(stream.size() + 100));
}

TEST_F(InflateTest, FailuresOfTheBlock) {
    const Bytes raw(1000, 3);
    const Bytes stream = docwriter::Compress(raw);
    const std::string path = WriteBlock(stream, {});
    ASSERT_NE(scratch.Alloc(32768, true), nullptr);
    Bytes out(2000);
    ByteFile file;
    // Compressed size 0: nothing read, no stream.
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_FALSE(InflateFromSource(file, out.data(), 1000, 0, scratch.data, 32768));
    file.Close();
    // More output than the capacity.
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_FALSE(InflateFromSource(file, out.data(), 999, uint32_t(stream.size()), scratch.data, 32768));
    file.Close();
    // The block ends before the stream does.
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_FALSE(InflateFromSource(file, out.data(), 1000, uint32_t(stream.size() - 3), scratch.data, 32768));
    file.Close();
}

TEST_F(InflateTest, FileEndingInsideTheBlockFails) {
    const Bytes stream = docwriter::Compress(Bytes(1000, 3));
    const Bytes half(stream.begin(), stream.begin() + stream.size() / 2);
    const std::string path = dir.File("cut.bin");
    ASSERT_TRUE(docwriter::WriteFile(path, half));
    ASSERT_NE(scratch.Alloc(32768, true), nullptr);
    Bytes out(1000);
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_FALSE(InflateFromSource(file, out.data(), 1000, 0xFFFFFFFFu, scratch.data, 32768));
}

TEST_F(InflateTest, ShortStreamReportsWhatItProduced) {
    const Bytes stream = docwriter::Compress(Bytes(10, 9));
    const std::string path = WriteBlock(stream, {});
    ASSERT_NE(scratch.Alloc(32768, true), nullptr);
    Bytes out(100, 0x55);
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    uint32_t produced = 0;
    EXPECT_TRUE(InflateFromSource(file, out.data(), 100, uint32_t(stream.size()), scratch.data, 32768, &produced));
    EXPECT_EQ(produced, 10u);
    EXPECT_EQ(out[10], 0x55); // the rest is the caller's to clear
}

} // namespace
