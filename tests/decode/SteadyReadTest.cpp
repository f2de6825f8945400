// Documents are read while the paint program may save over them: the save
// must never be refused, and a read that meets it must not hand on a torn
// picture.

#include "base/ByteFile.h"
#include "decode/SteadyRead.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using docwriter::Bytes;

namespace {

Bytes Filled(size_t count, uint8_t value) {
    return Bytes(count, value);
}

// The ways a program saves a document that it does not rename into place:
// rewriting it, or deleting the old one first. (A rename over a file that is
// open is refused by Windows' file systems whatever the sharing.)
struct SaveRoad {
    const char* name;
    std::function<bool(const std::string& path)> save;
};

const SaveRoad kSaveRoads[] = {
    {"InPlace", [](const std::string& path) { return docwriter::WriteFile(path, Filled(300, 2)); }},
    {"DeleteFirst",
     [](const std::string& path) {
         std::error_code error;
         return std::filesystem::remove(path, error) && docwriter::WriteFile(path, Filled(300, 4));
     }},
};

TEST(SaveDuringRead, AnotherProgramCanSaveOverADocumentBeingRead) {
    for (const SaveRoad& road : kSaveRoads) {
        TempDir dir;
        const std::string path = dir.File("doc.qvm");
        ASSERT_TRUE(docwriter::WriteFile(path, Filled(200, 1)));
        ByteFile file;
        ASSERT_TRUE(file.OpenRead(path.c_str()));
        uint8_t head[4] = {};
        ASSERT_TRUE(file.ReadExact(head, sizeof head));
        EXPECT_TRUE(road.save(path)) << road.name;
        EXPECT_EQ(docwriter::ReadFile(path).size(), 300u) << road.name;
    }
}

struct ChangeCase {
    const char* name;
    int changesDuringReads; // how many of the reads meet a save
    bool readSucceeds;
    SteadyResult expected;
    int expectedReads;
};

const ChangeCase kChangeCases[] = {
    {"Unchanged", 0, true, SteadyResult::Read, 1},
    {"UnchangedButUnreadable", 0, false, SteadyResult::Failed, 1},
    {"ChangedOnceIsReadAgain", 1, true, SteadyResult::Read, 2},
    {"ChangedOnceFailingReadIsReadAgain", 1, false, SteadyResult::Failed, 2},
    {"ChangedEachTimeIsReported", 2, true, SteadyResult::Changed, 2},
};

TEST(SaveDuringRead, AReadThatMetASaveIsRepeatedOnceThenReported) {
    for (const ChangeCase& c : kChangeCases) {
        TempDir dir;
        const std::string path = dir.File("doc.qvm");
        ASSERT_TRUE(docwriter::WriteFile(path, Filled(100, 0)));
        int reads = 0;
        Bytes lastSeen;
        const SteadyResult result = ReadSteadily(path.c_str(), [&](ByteFile& file) {
            ++reads;
            lastSeen.assign(16, 0);
            file.ReadExact(lastSeen.data(), 16);
            // The save lands in the middle of the read, with a new length.
            if (reads <= c.changesDuringReads)
                docwriter::WriteFile(path, Filled(100 + 10 * size_t(reads), uint8_t(reads)));
            return c.readSucceeds;
        });
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_EQ(reads, c.expectedReads) << c.name;
        // A repeated read starts over on the new bytes.
        EXPECT_EQ(lastSeen[0], uint8_t(c.expectedReads - 1)) << c.name;
    }
}

} // namespace
