#include "base/FileFailure.h"
#include "base/FileWriter.h"
#include "export/BmpWriter.h"
#include "export/TempOutput.h"
#include "export/PngWriter.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

using namespace testpictures;

namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ImageBuffer& Picture() {
    static ImageBuffer image;
    if (image.IsEmpty()) {
        image.Create(40, 30);
        Paint(image, NoiseAt);
    }
    return image;
}

bool SaveAs(const std::string& path, int kind) {
    return kind == 0 ? SaveBmp(Picture(), path.c_str()) : SavePng(Picture(), path.c_str(), kind == 2);
}

TEST(AtomicOutput, AWriteReplacesTheFileWholeAndLeavesNothingBeside) {
    for (int kind : {0, 1, 2}) {
        TempDir dir;
        const std::string file = dir.File("out.img");
        docwriter::WriteFile(file, {1, 2, 3});
        ASSERT_TRUE(SaveAs(file, kind)) << kind;
        EXPECT_GT(std::filesystem::file_size(file), 100u);
        EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out.img"}));
    }
}

TEST(AtomicOutput, AFailedReplaceKeepsWhatWasThereAndRemovesTheTemporary) {
    for (int kind : {0, 1, 2}) {
        TempDir dir;
        // A folder under the final name: the temporary is written, but cannot
        // take its place.
        const std::string folder = dir.File("taken.png");
        std::filesystem::create_directory(folder);
        docwriter::WriteFile(folder + Sep() + "inside", {7});
        EXPECT_FALSE(SaveAs(folder, kind)) << kind;
        EXPECT_TRUE(std::filesystem::is_directory(folder));
        EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"taken.png"}));
        EXPECT_NE(filesystem::LastFailure(), 0);
    }
}

TEST(AtomicOutput, AMissingFolderIsReportedWithTheSystemsReason) {
    TempDir dir;
    const std::string path = dir.File("missing") + Sep() + "a.png";
    EXPECT_FALSE(SavePng(Picture(), path.c_str(), false));
    const int code = filesystem::LastFailure();
    ASSERT_NE(code, 0);
    char text[256] = {};
    filesystem::DescribeFailure(code, text, sizeof text);
    EXPECT_GT(std::strlen(text), 5u);
    EXPECT_NE(text[std::strlen(text) - 1], '\n');
    if (!IsWindowsBuild()) {
        EXPECT_STREQ(text, std::strerror(ENOENT));
    }
}

TEST(AtomicOutput, TemporariesAreUniqueHiddenAndFitLongNames) {
    const std::string longName(240, 'n');
    for (const std::string& name : {std::string("a.png"), longName + ".png"}) {
        TempDir dir;
        const std::string final = dir.File(name);
        TempOutput first;
        TempOutput second;
        FileWriter a;
        FileWriter b;
        ASSERT_TRUE(first.Open(a, final.c_str())) << name.size();
        ASSERT_TRUE(second.Open(b, final.c_str()));
        EXPECT_STRNE(first.TemporaryPath(), second.TemporaryPath());
        // Beside a final path past the system's limit the temporary still
        // fits in it, or it could not be created.
        EXPECT_LE(std::strlen(second.TemporaryPath()), tempoutput::PathRoom()) << final.size();
        const std::string temporary = std::filesystem::path(first.TemporaryPath()).filename().string();
        EXPECT_EQ(temporary[0], '.');
        EXPECT_EQ(std::filesystem::path(first.TemporaryPath()).parent_path(),
                  std::filesystem::path(final).parent_path());
        EXPECT_EQ(Names(dir.Path()).size(), 2u);
        EXPECT_TRUE(a.WriteExact("first", 5));
        EXPECT_TRUE(b.WriteExact("second", 6));
        EXPECT_TRUE(first.Finish(a, true));
        EXPECT_FALSE(second.Finish(b, false)); // an incomplete file is dropped
        EXPECT_EQ(docwriter::ReadFile(final), (docwriter::Bytes{'f', 'i', 'r', 's', 't'}));
        EXPECT_EQ(Names(dir.Path()).size(), 1u);
    }
}

// What the converter's signal and console handlers call, here while a file
// is still open for writing (on Windows the hardest case: the file must be
// removable while its handle is open).
TEST(AtomicOutput, AnInterruptRemovesTheTemporariesBeingWritten) {
    TempDir dir;
    const std::string final = dir.File("big.png");
    TempOutput output;
    FileWriter file;
    ASSERT_TRUE(output.Open(file, final.c_str()));
    EXPECT_TRUE(file.WriteExact("part", 4));
    {
        // The interrupted state is process-wide: whatever this block's
        // checks do, the tests after it must find writes working.
        struct Rearm {
            ~Rearm() { RearmPendingTemporaries(); }
        } rearm;
        RemovePendingTemporaries();
        TempOutput late;
        FileWriter other;
        EXPECT_FALSE(late.Open(other, dir.File("late.png").c_str())) << "no new temporary once interrupted";
        EXPECT_FALSE(output.Finish(file, true));
    }
    EXPECT_FALSE(std::filesystem::exists(final));
    EXPECT_TRUE(Names(dir.Path()).empty());
    EXPECT_TRUE(SavePng(Picture(), final.c_str(), false)) << "writes work again once rearmed";
}

// The converter runs one writer per core by default, which can be more
// than any fixed number: every temporary open at once is still removed.
TEST(AtomicOutput, AnInterruptRemovesTheTemporariesOfAHundredWritersAtOnce) {
    TempDir dir;
    constexpr int kWriters = 100;
    for (const char* round : {"p", "q"}) { // the second finds the slots of the first free again
        std::unique_ptr<TempOutput[]> outputs(new TempOutput[kWriters]);
        std::unique_ptr<FileWriter[]> files(new FileWriter[kWriters]);
        for (int i = 0; i < kWriters; ++i)
            ASSERT_TRUE(outputs[i].Open(files[i], dir.File(round + std::to_string(i) + ".png").c_str())) << i;
        ASSERT_EQ(Names(dir.Path()).size(), size_t(kWriters));
        struct Rearm {
            ~Rearm() { RearmPendingTemporaries(); }
        } rearm;
        RemovePendingTemporaries();
        // Closed as a process ending closes them (on Windows a file removed
        // while open goes with its last handle), before the writers' own
        // clean-up could remove them.
        for (int i = 0; i < kWriters; ++i)
            files[i].Close();
        EXPECT_TRUE(Names(dir.Path()).empty()) << Names(dir.Path()).size() << " left";
    }
}

} // namespace
