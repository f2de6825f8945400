// The real viewer driven from outside (Wine's null driver): stepping onto
// files it decoded ahead shows the right title and picture, and a file that
// changed, went or is broken since is treated as if nothing had been decoded
// ahead.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "res/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using viewer::Session;
using viewer::Title;

struct Doc {
    std::string name;
    int width;
    int height;
    std::string path = {}; // set when written
};

// Documents of different sizes and colours, settled (see BackDate).
std::vector<Doc> WriteDocs(const viewer::DocFolder& folder, std::vector<Doc> docs) {
    int seed = 1;
    for (Doc& d : docs) {
        d.path = folder.Qvm(d.name, d.width, d.height, seed++);
        viewer::BackDate(d.path);
    }
    return docs;
}

// Pixels of the copied picture that differ from file's decode; -1 when
// nothing was copied or the sizes differ.
int CopiedPictureDiffers(Session& viewer, const std::string& file) {
    ImageBuffer expected;
    if (!LoadDocument(expected, file.c_str()) || !e2e::ClearClipboard() || !viewer.Send(viewer::kCopy))
        return -1;
    const std::optional<e2e::ClipboardDib> dib = e2e::ReadClipboardDib();
    if (!dib || dib->Width() != expected.width || dib->Height() != expected.height)
        return -1;
    int differing = 0;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const uint8_t* p = expected.TopRow(y) + x * 4;
            differing += dib->ColourAt(x, y) == RGB(p[2], p[1], p[0]) ? 0 : 1;
        }
    }
    return differing;
}

TEST(ViewerAhead, SteppingOntoFilesDecodedAheadShowsTheirTitlesAndPictures) {
    viewer::DocFolder folder;
    const std::vector<Doc> docs =
        WriteDocs(folder, {{"a.qvm", 13, 7}, {"b.qvm", 21, 9}, {"c.qvm", 8, 17}, {"d.qvm", 30, 4}});
    Session viewer;
    ASSERT_TRUE(viewer.Start(folder.Path()));
    ASSERT_EQ(viewer.TitleNow(), Title(13, 7, "a.qvm"));
    // Each step waits until the files beside are decoded, and their number
    // shows that they were: one beside the first and the last, two between.
    const struct {
        int command;
        size_t shown;
        int heldBefore;
    } steps[] = {{viewer::kNext, 1, 1},     {viewer::kNext, 2, 2},     {viewer::kNext, 3, 2},
                 {viewer::kPrevious, 2, 1}, {viewer::kPrevious, 1, 2}, {viewer::kPrevious, 0, 2}};
    for (const auto& s : steps) {
        const Doc& d = docs[s.shown];
        EXPECT_EQ(viewer.WaitDecodedAhead(), s.heldBefore) << d.name;
        ASSERT_TRUE(viewer.Send(s.command));
        EXPECT_EQ(viewer.Selection(), int(s.shown));
        EXPECT_EQ(viewer.TitleNow(), Title(d.width, d.height, d.name));
        EXPECT_EQ(CopiedPictureDiffers(viewer, d.path), 0) << d.name;
    }
    // Steps posted back to back, faster than the decoding ahead may keep up
    // with, still end on the last file with its picture. (Taking a decode
    // that is still running, and stopping one, are the decode worker's own
    // tests, held at a chosen point.)
    for (size_t shown = 1; shown + 1 < docs.size(); ++shown)
        ASSERT_TRUE(e2e::PostCommand(viewer.main, viewer::kNext));
    ASSERT_TRUE(viewer.Post(viewer::kNext)); // and waits until all are handled
    const Doc& last = docs.back();
    EXPECT_EQ(viewer.TitleNow(), Title(last.width, last.height, last.name));
    EXPECT_EQ(CopiedPictureDiffers(viewer, last.path), 0);
    EXPECT_EQ(viewer.Close(), 0u);
}

// One opaque layer of one grey. Documents of one size and different greys
// below 144 (whose deflate codes are equally long) are files of one length.
std::string WriteGrey(const viewer::DocFolder& folder, const std::string& name, int width, int height, uint8_t grey) {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    doc.layers.push_back(
        docwriter::MakeQvmLayer("grey", docwriter::SolidPixels(width, height, grey, grey, grey, 255), 0, 255));
    const std::string path = folder.Path() + "\\" + name;
    docwriter::WriteFile(path, docwriter::WriteQvm(doc));
    return path;
}

uint64_t FileLength(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

TEST(ViewerAhead, FileChangedGoneOrBrokenSinceItsDecodeAheadIsTakenAsItIsNow) {
    enum Change { kRewriteSameLength, kRewriteOtherSize, kDelete, kBrokenFromTheStart };
    const struct {
        const char* what;
        Change change;
        std::string title; // after Next; a's title when b fails to load
    } cases[] = {
        {"rewritten, only the write time differs", kRewriteSameLength, Title(21, 9, "b.qvm")},
        {"rewritten at another size", kRewriteOtherSize, Title(12, 5, "b.qvm")},
        {"deleted", kDelete, viewer::FailedTitle("b.qvm")},
        {"broken from the start", kBrokenFromTheStart, viewer::FailedTitle("b.qvm")},
    };
    for (const auto& c : cases) {
        viewer::DocFolder folder;
        WriteDocs(folder, {{"a.qvm", 13, 7}, {"c.qvm", 8, 17}});
        const std::string b = c.change == kBrokenFromTheStart ? folder.Raw("b.qvm", "QVMDATA but nothing after it")
                                                              : WriteGrey(folder, "b.qvm", 21, 9, 40);
        viewer::BackDate(b);
        const uint64_t lengthBefore = FileLength(b);
        Session viewer;
        // The files dropped, not their folder: a folder listed is watched, and
        // the watch would list it again without the deleted file.
        ASSERT_TRUE(viewer.Start());
        ASSERT_TRUE(viewer.Drop({folder.Path() + "\\a.qvm", b, folder.Path() + "\\c.qvm"}));
        ASSERT_EQ(viewer.WaitDecodedAhead(), 1) << c.what; // b decoded, or failed
        if (c.change == kRewriteSameLength || c.change == kRewriteOtherSize) {
            WriteGrey(folder, "b.qvm", c.change == kRewriteSameLength ? 21 : 12, c.change == kRewriteSameLength ? 9 : 5,
                      120);
            EXPECT_EQ(FileLength(b) == lengthBefore, c.change == kRewriteSameLength) << c.what;
        } else if (c.change == kDelete) {
            ASSERT_TRUE(DeleteFileA(b.c_str()));
        }
        const bool fails = c.change == kDelete || c.change == kBrokenFromTheStart;
        ASSERT_TRUE(viewer.Post(viewer::kNext));
        EXPECT_TRUE(viewer.NoBox()) << c.what;
        if (fails) {
            EXPECT_EQ(viewer.StatusPart(1),
                      viewer::FailedStatus(c.change == kDelete ? "cannot open" : "unsupported version 32"))
                << c.what;
        }
        EXPECT_EQ(viewer.Selection(), 1);
        EXPECT_EQ(viewer.TitleNow(), c.title) << c.what;
        if (fails) {
            // No picture is handed out for the file that failed.
            ASSERT_TRUE(e2e::PutClipboardText("kept"));
            ASSERT_TRUE(viewer.Send(viewer::kCopy));
            EXPECT_EQ(e2e::ClipboardText(), "kept") << c.what;
        } else {
            EXPECT_EQ(CopiedPictureDiffers(viewer, b), 0) << c.what;
        }
        // The file after the failed one is still there to step to.
        ASSERT_TRUE(viewer.Send(viewer::kNext));
        EXPECT_EQ(viewer.TitleNow(), Title(8, 17, "c.qvm")) << c.what;
        EXPECT_TRUE(viewer.NoBox());
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

} // namespace
