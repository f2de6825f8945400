#include "base/FileSystem.h"
#include "base/Str.h"
#include "export/BatchItem.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using docwriter::Bytes;

namespace {

TEST(BatchItemNames, ExtensionIsReplacedAndTheSeparatorAlwaysAdded) {
    struct Case {
        std::string folder;
        const char* item;
        OutputFormat format;
        std::string expected;
    };
    const Case cases[] = {
        {"out", "cat.qvr", OutputFormat::Png, "out" + testpictures::Sep() + "cat.png"},
        {"out", "DOG.QVM", OutputFormat::Bmp, "out" + testpictures::Sep() + "DOG.bmp"},
        {"out", "noext", OutputFormat::Png, "out" + testpictures::Sep() + "noext"},
        {"out", "a.b.qvm", OutputFormat::Png, "out" + testpictures::Sep() + "a.b.png"},
        {"out", "\x95\x5C.qvm", OutputFormat::Png, "out" + testpictures::Sep() + "\x95\x5C.png"},
        {"out" + testpictures::Sep(), "x.qvm", OutputFormat::Bmp,
         "out" + testpictures::Sep() + testpictures::Sep() + "x.bmp"},
    };
    for (const Case& c : cases) {
        Str out;
        BuildOutputPath(out, c.folder.c_str(), c.item, c.format);
        EXPECT_EQ(std::string(out.Text()), c.expected) << c.item;
    }
}

TEST(BatchItemNames, FormatIndexZeroIsBmpTwoPsdThreeOraAnyOtherPng) {
    EXPECT_EQ(FormatFromIndex(0), OutputFormat::Bmp);
    EXPECT_EQ(FormatFromIndex(2), OutputFormat::Psd);
    EXPECT_EQ(FormatFromIndex(3), OutputFormat::Ora);
    for (int index : {1, -1, 4, 5})
        EXPECT_EQ(FormatFromIndex(index), OutputFormat::Png) << index;
}

class BatchItemRun : public ::testing::Test {
protected:
    void SetUp() override {
        out = dir.File("out");
        std::filesystem::create_directory(out);
        docwriter::QvmDocument doc;
        doc.width = 3;
        doc.height = 2;
        docwriter::QvmLayer layer;
        layer.pixels = docwriter::SolidPixels(3, 2, 1, 2, 3, 255);
        doc.layers = {layer};
        good = dir.File("cat.qvm");
        ASSERT_TRUE(docwriter::WriteFile(good, docwriter::WriteQvm(doc)));
    }

    ItemResult Run(const std::string& path, OutputFormat format, bool overwrite) {
        const std::string name = std::filesystem::path(path).filename().string();
        return ConvertItem(image, path.c_str(), name.c_str(), out.c_str(), format, overwrite, output);
    }

    TempDir dir;
    std::string out;
    std::string good;
    ImageBuffer image;
    Str output;
};

TEST_F(BatchItemRun, ConvertedSkippedAndFailedAreToldApart) {
    EXPECT_EQ(Run(good, OutputFormat::Bmp, true), ItemResult::Converted);
    EXPECT_EQ(std::string(output.Text()), out + testpictures::Sep() + "cat.bmp");
    EXPECT_EQ(docwriter::ReadFile(output.Text()).size(), 54u + 12 * 2);

    // Overwrite off and the output present: skipped without loading, so the
    // picture keeps what it held.
    image.Free();
    EXPECT_EQ(Run(good, OutputFormat::Bmp, false), ItemResult::Skipped);
    EXPECT_TRUE(image.IsEmpty());

    const std::string text = dir.File("notes.txt");
    ASSERT_TRUE(docwriter::WriteFile(text, Bytes{'x'}));
    EXPECT_EQ(Run(text, OutputFormat::Png, true), ItemResult::LoadFailed);
    EXPECT_FALSE(filesystem::Exists((out + testpictures::Sep() + "notes.png").c_str()));

    // A folder in the way of the output file: loaded, not written.
    std::filesystem::create_directory(out + testpictures::Sep() + "cat.png");
    EXPECT_EQ(Run(good, OutputFormat::Png, true), ItemResult::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(out + testpictures::Sep() + "cat.png"));
}

} // namespace
