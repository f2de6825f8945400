// The read-ahead of every byte source: any mix of small reads, large reads
// and skips in both directions gives the bytes and positions of the plain
// file or memory beneath it.
#include "base/ByteFile.h"
#include "base/MemorySource.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Step {
    enum Kind { Read, Skip, SeekStart, SeekEnd } kind;
    int64_t amount;
};

TEST(ReadAhead, ReadsAndSkipsMatchThePlainBytes) {
    constexpr int64_t kSize = 50000; // about three read-ahead blocks
    docwriter::Bytes bytes(kSize);
    for (int64_t i = 0; i < kSize; ++i)
        bytes[size_t(i)] = uint8_t(i * 7 % 251);
    TempDir dir;
    const std::string path = dir.File("data.bin");
    ASSERT_TRUE(docwriter::WriteFile(path, bytes));

    const std::vector<std::vector<Step>> scripts = {
        // Field reads, skips inside the block read ahead, one back into it.
        {{Step::Read, 7}, {Step::Read, 1}, {Step::Skip, 32}, {Step::Read, 4}, {Step::Skip, -10}, {Step::Read, 2}},
        // Reads across a block's end, then a read larger than a block.
        {{Step::Read, 16380}, {Step::Read, 10}, {Step::Read, 20000}, {Step::Read, 3}},
        // A skip past the bytes read ahead, and one back before them.
        {{Step::Read, 2}, {Step::Skip, 30000}, {Step::Read, 5}, {Step::Skip, -30000}, {Step::Read, 5}},
        // Absolute seeks drop what was read ahead.
        {{Step::Read, 100}, {Step::SeekStart, 40}, {Step::Read, 8}, {Step::SeekEnd, -4}, {Step::Read, 10}},
        // Reading at and past the end.
        {{Step::Skip, kSize - 3}, {Step::Read, 8}, {Step::Read, 1}, {Step::Skip, 100}, {Step::Read, 4}},
        // Back from past the end, then a block read that meets the end.
        {{Step::SeekEnd, 20}, {Step::Read, 2}, {Step::Skip, -40}, {Step::Read, 16384}},
    };
    for (size_t run = 0; run < 2 * scripts.size(); ++run) {
        const size_t s = run / 2;
        ByteFile opened;
        MemorySource memory(bytes.data(), bytes.size());
        ASSERT_TRUE(opened.OpenRead(path.c_str()));
        ByteSource& file = run % 2 == 0 ? static_cast<ByteSource&>(opened) : memory;
        SCOPED_TRACE(run % 2 == 0 ? "file" : "memory");
        int64_t position = 0;
        for (const Step& step : scripts[s]) {
            switch (step.kind) {
            case Step::Read: {
                std::vector<uint8_t> got(size_t(step.amount));
                const int64_t expected = std::max<int64_t>(0, std::min(step.amount, kSize - position));
                ASSERT_EQ(file.Read(got.data(), uint32_t(step.amount)), uint32_t(expected)) << "script " << s;
                for (int64_t i = 0; i < expected; ++i)
                    ASSERT_EQ(got[size_t(i)], bytes[size_t(position + i)]) << "script " << s << " byte " << i;
                position += expected;
                break;
            }
            case Step::Skip:
                position += step.amount;
                ASSERT_EQ(file.Seek(step.amount, ByteSource::FromCurrent), position) << "script " << s;
                break;
            case Step::SeekStart:
                position = step.amount;
                ASSERT_EQ(file.Seek(step.amount, ByteSource::FromStart), position) << "script " << s;
                break;
            case Step::SeekEnd:
                position = kSize + step.amount;
                ASSERT_EQ(file.Seek(step.amount, ByteSource::FromEnd), position) << "script " << s;
                break;
            }
            ASSERT_EQ(file.Tell(), position) << "script " << s;
        }
    }
}

TEST(ReadAhead, MovesBeforeTheStartAreRefused) {
    const docwriter::Bytes bytes(100, 0x11);
    MemorySource memory(bytes.data(), bytes.size());
    uint8_t byte = 0;
    ASSERT_TRUE(memory.ReadU8(byte));
    EXPECT_EQ(memory.Seek(-2, ByteSource::FromCurrent), -1);
    EXPECT_EQ(memory.Seek(-101, ByteSource::FromEnd), -1);
    EXPECT_EQ(memory.Seek(-1, ByteSource::FromStart), -1);
    EXPECT_EQ(memory.Seek(INT64_MAX, ByteSource::FromCurrent), -1);
    EXPECT_EQ(memory.Tell(), 1) << "a refused move leaves the position";
}

TEST(ReadAhead, ReopenedFileStartsWithNothingReadAhead) {
    TempDir dir;
    const std::string first = dir.File("a.bin"), second = dir.File("b.bin");
    ASSERT_TRUE(docwriter::WriteFile(first, docwriter::Bytes(100, 0xAA)));
    ASSERT_TRUE(docwriter::WriteFile(second, docwriter::Bytes(100, 0xBB)));
    ByteFile file;
    uint8_t byte = 0;
    ASSERT_TRUE(file.OpenRead(first.c_str()));
    ASSERT_TRUE(file.ReadU8(byte));
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(file.OpenRead(second.c_str()));
    ASSERT_TRUE(file.ReadU8(byte));
    EXPECT_EQ(byte, 0xBB);
    EXPECT_EQ(file.Tell(), 1);
}

} // namespace
