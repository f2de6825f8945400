#include "base/BigEndian.h"
#include "base/ByteFile.h"
#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "base/FileWriter.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

using docwriter::Bytes;

namespace {

class ByteFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(ByteFileTest, LittleEndianFieldsAndShortReads) {
    const std::string path = dir.File("fields.bin");
    ASSERT_TRUE(docwriter::WriteFile(path, {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xAB}));
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    int32_t i32 = 0;
    uint8_t u8 = 0;
    EXPECT_TRUE(file.ReadU16LE(u16));
    EXPECT_EQ(u16, 0x1234);
    EXPECT_TRUE(file.ReadU32LE(u32));
    EXPECT_EQ(u32, 0x12345678u);
    EXPECT_TRUE(file.ReadI32LE(i32));
    EXPECT_EQ(i32, -1);
    EXPECT_FALSE(file.ReadU16LE(u16)); // one byte left: the field is short
    EXPECT_FALSE(file.ReadU8(u8));
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(file.IsClosed());
}

TEST_F(ByteFileTest, ReadAndCompareNeedsEveryByte) {
    const std::string path = dir.File("magic.bin");
    ASSERT_TRUE(docwriter::WriteFile(path, {'Q', 'V', 'R', 'F', 'D'}));
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_FALSE(file.ReadAndCompare("QVRFDAT"));
    file.Close();
    ASSERT_TRUE(docwriter::WriteFile(path, {'Q', 'V', 'R', 0, 'D', 'A', 'T'}));
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_FALSE(file.ReadAndCompare("QVRFDAT"));
}

TEST_F(ByteFileTest, SeekPastEndSucceedsAndTheNextReadIsShort) {
    const std::string path = dir.File("seek.bin");
    ASSERT_TRUE(docwriter::WriteFile(path, {1, 2, 3, 4}));
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(path.c_str()));
    EXPECT_EQ(file.Seek(2, ByteFile::FromCurrent), 2);
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_TRUE(file.Skip(0x7FFFFFF0LL * 2)); // far past the end
    uint8_t byte;
    EXPECT_FALSE(file.ReadU8(byte));
}

// A file reopened on other bytes must not hand back what was read ahead of
// the first one.
TEST_F(ByteFileTest, AReopenedFileReadsItsOwnBytes) {
    const std::string first = dir.File("first.bin");
    const std::string second = dir.File("second.bin");
    ASSERT_TRUE(docwriter::WriteFile(first, {1, 2, 3, 4}));
    ASSERT_TRUE(docwriter::WriteFile(second, {9, 8, 7, 6}));
    ByteFile file;
    ASSERT_TRUE(file.OpenRead(first.c_str()));
    uint8_t byte = 0;
    ASSERT_TRUE(file.ReadU8(byte));
    EXPECT_EQ(byte, 1);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(file.Seek(0, ByteFile::FromStart), -1) << "a closed file has no position";
    ASSERT_TRUE(file.OpenRead(second.c_str()));
    ASSERT_TRUE(file.ReadU8(byte));
    EXPECT_EQ(byte, 9);
}

TEST(BigEndian, FieldsAreWrittenMostSignificantByteFirst) {
    EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);
    uint8_t out[4];
    PutU32BE(0x89504E47u, out);
    EXPECT_EQ(out[0], 0x89);
    EXPECT_EQ(out[1], 0x50);
    EXPECT_EQ(out[2], 0x4E);
    EXPECT_EQ(out[3], 0x47);
}

class FileWriterTest : public ::testing::Test {
protected:
    TempDir dir;
};

// What the PNG writer does with the length of its one IDAT chunk: write a
// placeholder, go on, come back to fill it in and return to the end.
TEST_F(FileWriterTest, AFieldWrittenEarlierIsPatchedThroughSeek) {
    const std::string path = dir.File("patched.bin");
    FileWriter file;
    ASSERT_TRUE(file.OpenWrite(path.c_str()));
    EXPECT_EQ(file.Tell(), 0);
    ASSERT_TRUE(file.WriteExact("ab..ef", 6));
    EXPECT_EQ(file.Tell(), 6);
    EXPECT_EQ(file.Seek(2), 2);
    ASSERT_TRUE(file.WriteExact("cd", 2));
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_EQ(file.Seek(6), 6);
    ASSERT_TRUE(file.WriteExact("g", 1));
    EXPECT_TRUE(file.Flush());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(docwriter::ReadFile(path), (Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g'}));
}

TEST_F(FileWriterTest, AClosedWriterRefusesEverything) {
    FileWriter file;
    EXPECT_TRUE(file.IsClosed());
    EXPECT_EQ(file.Write("x", 1), 0u);
    EXPECT_FALSE(file.WriteExact("x", 1));
    EXPECT_EQ(file.Tell(), -1);
    EXPECT_EQ(file.Seek(0), -1);
    EXPECT_FALSE(file.Flush());
    EXPECT_FALSE(file.Close());
    ASSERT_TRUE(file.OpenWrite(dir.File("once.bin").c_str()));
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close()) << "closed once only";
}

TEST_F(FileWriterTest, OpenNewRefusesAnExistingFileAndLeavesItAlone) {
    const std::string path = dir.File("taken.bin");
    ASSERT_TRUE(docwriter::WriteFile(path, {1, 2, 3}));
    filesystem::ClearFailure();
    FileWriter file;
    EXPECT_FALSE(file.OpenNew(path.c_str()));
    EXPECT_TRUE(file.IsClosed());
    EXPECT_NE(filesystem::LastFailure(), 0);
    EXPECT_EQ(docwriter::ReadFile(path), (Bytes{1, 2, 3}));
    // OpenWrite replaces what was there.
    ASSERT_TRUE(file.OpenWrite(path.c_str()));
    ASSERT_TRUE(file.WriteExact("z", 1));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(docwriter::ReadFile(path), (Bytes{'z'}));
}

// The converter's jobs write at once, and each reports its own failure;
// the clean-up after a failure (closing another file, deleting a
// temporary) must not lose the code that says why.
TEST(FileFailure, EachThreadKeepsItsOwnCodeThroughTheCleanUp) {
    TempDir dir;
    const std::string taken = dir.File("taken.bin");
    ASSERT_TRUE(docwriter::WriteFile(taken, {1}));
    filesystem::SetFailure(1234);
    int otherBefore = -1;
    int otherAfter = 0;
    std::thread other([&] {
        otherBefore = filesystem::LastFailure();
        FileWriter file;
        file.OpenNew(taken.c_str());
        otherAfter = filesystem::LastFailure();
    });
    other.join();
    EXPECT_EQ(otherBefore, 0) << "a new thread starts with no failure";
    EXPECT_NE(otherAfter, 0);
    EXPECT_NE(otherAfter, 1234);
    EXPECT_EQ(filesystem::LastFailure(), 1234) << "another thread's failure is its own";

    FileWriter failed;
    ASSERT_FALSE(failed.OpenNew(taken.c_str()));
    const int code = filesystem::LastFailure();
    FileWriter good;
    ASSERT_TRUE(good.OpenWrite(dir.File("good.bin").c_str()));
    ASSERT_TRUE(good.WriteExact("ok", 2));
    ASSERT_TRUE(good.Close());
    EXPECT_FALSE(filesystem::Delete(dir.File("never-made.bin").c_str()));
    EXPECT_EQ(filesystem::LastFailure(), code);
    filesystem::ClearFailure();
    EXPECT_EQ(filesystem::LastFailure(), 0);
}

TEST(FileFailure, DescriptionsFitTheRoomGivenWithoutALineBreak) {
    TempDir dir;
    const std::string taken = dir.File("taken.bin");
    ASSERT_TRUE(docwriter::WriteFile(taken, {1}));
    FileWriter file;
    ASSERT_FALSE(file.OpenNew(taken.c_str()));
    char words[256];
    filesystem::DescribeFailure(filesystem::LastFailure(), words, sizeof words);
    const std::string text = words;
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    char small[8];
    filesystem::DescribeFailure(filesystem::LastFailure(), small, sizeof small);
    EXPECT_LT(std::string(small).size(), sizeof small);
}

} // namespace
