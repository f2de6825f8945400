// What is decoded ahead of stepping and when such a picture may still be
// shown: the stamp rules, and PicturesAhead driven as the viewer drives it
// (Want, Show, NextJob, a decode, Accept) on real files.

#include "app/FileStamp.h"
#include "app/PicturesAhead.h"
#include "decode/DocumentHeader.h"
#include "decode/DocumentLoader.h"
#include "decode/LoadingMemory.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kSecond = 10000000;
constexpr uint64_t kLongAgo = 100000 * kSecond;

FileStamp Stamp(uint64_t size, uint64_t writeTime, uint64_t takenAt, uint64_t fileId = 7) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = size;
    stamp.writeTime = writeTime;
    stamp.volume = 1;
    stamp.fileId = fileId;
    stamp.takenAt = takenAt;
    return stamp;
}

TEST(FileStampRules, PictureIsFreshOnlyForTheSameUnchangedSettledFile) {
    const FileStamp recorded = Stamp(100, kLongAgo, kLongAgo + 10 * kSecond);
    FileStamp missing;
    const struct {
        const char* what;
        FileStamp recorded;
        FileStamp now;
        bool fresh;
    } cases[] = {
        {"unchanged", recorded, Stamp(100, kLongAgo, kLongAgo + 99 * kSecond), true},
        {"other size", recorded, Stamp(101, kLongAgo, kLongAgo + 99 * kSecond), false},
        {"written again", recorded, Stamp(100, kLongAgo + 1, kLongAgo + 99 * kSecond), false},
        {"replaced by another file", recorded, Stamp(100, kLongAgo, kLongAgo + 99 * kSecond, 8), false},
        {"deleted", recorded, missing, false},
        {"gone when decoded", missing, missing, false},
        // Written less than the settling time before it was stamped: a
        // rewrite within the file system's time resolution could not be seen.
        {"written just before", Stamp(100, kLongAgo, kLongAgo + 2 * kSecond - 1), Stamp(100, kLongAgo, 0), false},
        {"settled exactly", Stamp(100, kLongAgo, kLongAgo + 2 * kSecond), Stamp(100, kLongAgo, 0), true},
        {"written in the future", Stamp(100, kLongAgo, kLongAgo - kSecond), Stamp(100, kLongAgo, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StillFresh(c.recorded, c.now), c.fresh) << c.what;
}

void SetWriteTime(const std::string& path, std::chrono::seconds age) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

TEST(FileStampOfFiles, RewritingReplacingOrDeletingTheFileChangesItsStamp) {
    TempDir dir;
    const std::string file = dir.File("a.qvm");
    const std::string other = dir.File("b.qvm");
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::Bytes(40, 1)));
    SetWriteTime(file, std::chrono::hours(1));
    const FileStamp first = FileStamp::Of(file.c_str());
    ASSERT_TRUE(first.exists);
    EXPECT_EQ(first.size, 40u);
    EXPECT_TRUE(first.Settled());
    EXPECT_TRUE(first.SameFile(FileStamp::Of(file.c_str())));

    // Same size and write time, but another file moved into its place.
    ASSERT_TRUE(docwriter::WriteFile(other, docwriter::Bytes(40, 2)));
    fs::last_write_time(other, fs::last_write_time(file));
    fs::rename(other, file);
    const FileStamp replaced = FileStamp::Of(file.c_str());
    EXPECT_EQ(replaced.size, first.size);
    EXPECT_EQ(replaced.writeTime, first.writeTime);
    EXPECT_FALSE(first.SameFile(replaced));

    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::Bytes(40, 3)));
    const FileStamp rewritten = FileStamp::Of(file.c_str());
    EXPECT_FALSE(replaced.SameFile(rewritten));
    EXPECT_FALSE(rewritten.Settled()); // just written

    fs::remove(file);
    EXPECT_FALSE(FileStamp::Of(file.c_str()).exists);
    EXPECT_FALSE(FileStamp::Of(dir.Path().c_str()).exists); // a folder is no document
}

// A folder of one-layer documents whose pictures tell them apart.
class Documents {
public:
    std::string Write(const std::string& name, int width, uint8_t shade, bool settled = true) {
        const std::string path = dir.File(name);
        docwriter::QvmDocument doc;
        doc.width = uint16_t(width);
        doc.height = 3;
        doc.layers.push_back(
            docwriter::MakeQvmLayer("base", docwriter::SolidPixels(width, 3, shade, 0, 255 - shade, 255), 0, 255));
        EXPECT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
        if (settled)
            SetWriteTime(path, std::chrono::hours(1));
        return path;
    }
    std::string Broken(const std::string& name) {
        const std::string path = dir.File(name);
        const std::string bytes = "QVMDATA and then nothing";
        EXPECT_TRUE(docwriter::WriteFile(path, docwriter::Bytes(bytes.begin(), bytes.end())));
        SetWriteTime(path, std::chrono::hours(1));
        return path;
    }

private:
    TempDir dir;
};

// The blue byte of the top-left pixel: the shade the document was written with.
int ShadeOf(const ImageBuffer& image) {
    return image.IsEmpty() ? -1 : image.TopRow(0)[0];
}

// What the viewer's decode thread does with the job NextJob names.
const uint8_t* DecodeNextJob(PicturesAhead& ahead, const char* expected) {
    const char* job = ahead.NextJob();
    EXPECT_NE(job, nullptr);
    if (job == nullptr)
        return nullptr;
    EXPECT_STREQ(job, expected);
    ahead.Started(job);
    EXPECT_EQ(ahead.NextJob(), nullptr); // one decode at a time
    DecodedFile decoded;
    DecodeFile(job, decoded);
    const uint8_t* bits = decoded.picture.bits;
    ahead.Accept(decoded);
    EXPECT_TRUE(decoded.path.IsEmpty());
    return bits;
}

struct Stepping : ::testing::Test {
    // Shows file as the viewer does, with the files beside it.
    bool Step(const std::string& file, const std::string& next, const std::string& previous) {
        ahead.Want(file.c_str(), next.c_str(), previous.c_str());
        return ahead.Show(file.c_str(), image);
    }
    Documents docs;
    std::string a = docs.Write("a.qvm", 10, 10);
    std::string b = docs.Write("b.qvm", 20, 20);
    std::string c = docs.Write("c.qvm", 30, 30);
    PicturesAhead ahead;
    ImageBuffer image;
};

TEST_F(Stepping, StepForwardAndBackShowsThePicturesDecodedAhead) {
    ASSERT_TRUE(Step(a, b, ""));
    EXPECT_EQ(ShadeOf(image), 10);
    const uint8_t* decodedB = DecodeNextJob(ahead, b.c_str());
    EXPECT_EQ(ahead.NextJob(), nullptr); // nothing before a

    ASSERT_TRUE(Step(b, c, a));
    EXPECT_EQ(image.bits, decodedB); // the picture decoded ahead, not read again
    EXPECT_EQ(ShadeOf(image), 20);
    EXPECT_EQ(ahead.Held(), 1); // a, the picture replaced, kept as the file before
    const uint8_t* decodedC = DecodeNextJob(ahead, c.c_str());

    ASSERT_TRUE(Step(c, "", b));
    EXPECT_EQ(image.bits, decodedC);
    EXPECT_EQ(ahead.Held(), 1); // a dropped: no longer beside
    EXPECT_EQ(ahead.NextJob(), nullptr);

    ASSERT_TRUE(Step(b, c, a));
    EXPECT_EQ(image.bits, decodedB);
    DecodeNextJob(ahead, a.c_str());
    EXPECT_EQ(ahead.Held(), 2);
    // Showing the file on display again, unchanged, reads nothing.
    ASSERT_TRUE(Step(b, c, a));
    EXPECT_EQ(image.bits, decodedB);
}

TEST_F(Stepping, FileChangedSinceItsDecodeIsReadAgain) {
    const std::string d = docs.Write("d.qvm", 30, 40);
    const std::string e = docs.Write("e.qvm", 30, 50, false);
    ASSERT_TRUE(Step(a, b, ""));
    DecodeNextJob(ahead, b.c_str());
    docs.Write("b.qvm", 20, 99, false); // the same length: only its write time tells
    ASSERT_TRUE(Step(b, c, a));
    EXPECT_EQ(ShadeOf(image), 99);

    DecodeNextJob(ahead, c.c_str());
    fs::last_write_time(d, fs::last_write_time(c)); // another file of the same length and time
    fs::rename(d, c);
    ASSERT_TRUE(Step(c, e, b));
    EXPECT_EQ(ShadeOf(image), 40);

    // Written just before its decode: a rewrite within the file system's
    // time resolution would not show, so the decode is not trusted. Marking
    // the picture decoded ahead would show if it were.
    uint8_t* decodedE = const_cast<uint8_t*>(DecodeNextJob(ahead, e.c_str()));
    ASSERT_NE(decodedE, nullptr);
    std::memset(decodedE, 77, 30 * 3 * 4);
    ASSERT_TRUE(Step(e, "", c));
    EXPECT_EQ(ShadeOf(image), 50);
}

TEST_F(Stepping, FileGoneOrBrokenFailsAndLeavesThePictureShown) {
    const std::string broken = docs.Broken("b2.qvm");
    ASSERT_TRUE(Step(a, broken, c));
    DecodeNextJob(ahead, broken.c_str());
    DecodeNextJob(ahead, c.c_str());
    EXPECT_EQ(ahead.NextJob(), nullptr); // the broken file is not tried again
    fs::remove(c);
    const uint8_t* shown = image.bits;
    EXPECT_FALSE(Step(c, broken, a)); // deleted since its decode
    EXPECT_EQ(image.bits, shown);
    EXPECT_FALSE(Step(broken, "", a)); // failed ahead, fails again when shown
    EXPECT_EQ(image.bits, shown);
    EXPECT_EQ(ShadeOf(image), 10);
    // a is still the picture on display: nothing is left to decode.
    EXPECT_EQ(ahead.NextJob(), nullptr);
    ASSERT_TRUE(Step(a, broken, ""));
    EXPECT_EQ(image.bits, shown);
}

TEST_F(Stepping, PictureWithdrawnAfterAFailureIsKeptWhileItsFileIsBeside) {
    const std::string broken = docs.Broken("b2.qvm");
    ASSERT_TRUE(Step(a, broken, ""));
    const uint8_t* shownA = image.bits;
    ASSERT_FALSE(Step(broken, c, a));
    ahead.Withdraw(image);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(ahead.Held(), 1); // a, the file before the broken one
    ASSERT_TRUE(Step(a, broken, ""));
    EXPECT_EQ(image.bits, shownA); // not read again

    // A picture whose file is not beside the failed one goes.
    ASSERT_FALSE(Step(broken, "", ""));
    ahead.Withdraw(image);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(ahead.Held(), 0);
    // Nothing on display: the next file shown is read, and withdrawing
    // nothing leaves nothing.
    ahead.Withdraw(image);
    EXPECT_EQ(ahead.Held(), 0);
    ASSERT_TRUE(Step(b, "", ""));
    EXPECT_EQ(ShadeOf(image), 20);
}

TEST_F(Stepping, PicturesOfFilesNoLongerBesideAreDropped) {
    ASSERT_TRUE(Step(b, c, a));
    DecodeNextJob(ahead, c.c_str());
    ahead.Started(a.c_str());
    ahead.Clear(); // the list is replaced while a is being decoded
    EXPECT_EQ(ahead.Held(), 0);
    EXPECT_EQ(ahead.NextJob(), nullptr);
    DecodedFile late;
    DecodeFile(a.c_str(), late);
    ahead.Accept(late);
    EXPECT_FALSE(ahead.Busy());
    EXPECT_EQ(ahead.Held(), 0);

    ASSERT_TRUE(Step(a, b, ""));
    EXPECT_EQ(ahead.Held(), 1);   // b, the picture replaced
    ASSERT_TRUE(Step(c, "", "")); // a jump elsewhere
    EXPECT_EQ(ahead.Held(), 0);
    EXPECT_EQ(ShadeOf(image), 30);
}

} // namespace

// Pictures of w x 3 pixels: a 120 bytes, b 240, c 360, d 480.
struct BudgetedStepping : Stepping {
    std::string d = docs.Write("d.qvm", 40, 40);
    bool StepWithin(PicturesAhead& budgeted, const std::string& file, const std::string& nextFile,
                    const std::string& previousFile) {
        budgeted.Want(file.c_str(), nextFile.c_str(), previousFile.c_str());
        return budgeted.Show(file.c_str(), image);
    }
};

TEST_F(BudgetedStepping, NextFileTakesTheRoomOfThePreviousOne) {
    PicturesAhead budgeted(600);
    ASSERT_TRUE(StepWithin(budgeted, a, b, ""));
    DecodeNextJob(budgeted, b.c_str());
    ASSERT_TRUE(StepWithin(budgeted, b, c, a));
    EXPECT_EQ(budgeted.HeldBytes(), 120u); // a, the picture replaced: 240 + 120 fit
    // c fits beside b only without a: a goes before c is decoded.
    DecodeNextJob(budgeted, c.c_str());
    EXPECT_EQ(budgeted.HeldBytes(), 360u);
    EXPECT_EQ(budgeted.NextJob(), nullptr); // a no longer fits beside b and c
    ASSERT_TRUE(StepWithin(budgeted, c, "", b));
    EXPECT_EQ(ShadeOf(image), 30);
    EXPECT_EQ(budgeted.HeldBytes(), 240u); // b kept: 360 + 240 fit exactly
}

// A file read while the user waits holds its picture and, for a picture
// this small, a layer and the reader's pieces beside the one shown: the
// pictures held ahead make room for all of it first, the farthest first.
TEST_F(BudgetedStepping, LargerPictureShownDropsTheFarthestFirst) {
    DocumentHeader header;
    LoadingMemory reading;
    ASSERT_TRUE(PeekDocumentHeader(d.c_str(), header));
    ASSERT_TRUE(LoadingMemoryOf(header, WorkPool::ProcessorCount(), reading));
    ASSERT_GT(reading.beside, reading.picture);
    PicturesAhead budgeted(240 + 360 + reading.picture + reading.beside);
    ASSERT_TRUE(StepWithin(budgeted, b, c, a));
    DecodeNextJob(budgeted, c.c_str());
    DecodeNextJob(budgeted, a.c_str());
    EXPECT_EQ(budgeted.HeldBytes(), 480u); // 240 shown, 360 + 120 ahead
    ASSERT_TRUE(StepWithin(budgeted, d, c, a));
    EXPECT_EQ(ShadeOf(image), 40);
    EXPECT_EQ(budgeted.Held(), 1); // b, c and a with the read of d were over by a: the previous file went
    EXPECT_EQ(budgeted.HeldBytes(), 360u);
    EXPECT_STREQ(budgeted.NextJob(), a.c_str()); // the read's own room is free again
}

TEST_F(BudgetedStepping, ReadMakesNoRoomItDoesNotNeed) {
    DocumentHeader header;
    LoadingMemory reading;
    ASSERT_TRUE(PeekDocumentHeader(d.c_str(), header));
    ASSERT_TRUE(LoadingMemoryOf(header, WorkPool::ProcessorCount(), reading));
    PicturesAhead budgeted(240 + 360 + 120 + reading.picture + reading.beside);
    ASSERT_TRUE(StepWithin(budgeted, b, c, a));
    DecodeNextJob(budgeted, c.c_str());
    DecodeNextJob(budgeted, a.c_str());
    ASSERT_TRUE(StepWithin(budgeted, d, c, a));
    EXPECT_EQ(budgeted.Held(), 2); // everything fitted beside the read
    EXPECT_EQ(budgeted.HeldBytes(), 480u);
}

TEST_F(BudgetedStepping, PictureLargerThanTheRoomLeftIsReadOnlyWhenShown) {
    PicturesAhead budgeted(400);
    ASSERT_TRUE(StepWithin(budgeted, a, d, c));
    EXPECT_EQ(budgeted.NextJob(), nullptr); // 480 alone is over; 120 + 360 too
    EXPECT_EQ(budgeted.Held(), 0);
    ASSERT_TRUE(StepWithin(budgeted, d, "", a));
    EXPECT_EQ(ShadeOf(image), 40); // shown all the same, read then
    EXPECT_EQ(budgeted.Held(), 0); // a does not fit beside it
    // Without a bound both neighbours are held.
    PicturesAhead unbounded(0);
    ASSERT_TRUE(StepWithin(unbounded, b, d, c));
    DecodeNextJob(unbounded, d.c_str());
    DecodeNextJob(unbounded, c.c_str());
    EXPECT_EQ(unbounded.HeldBytes(), 840u);
}
