// The layer export command: which files it refuses, and the box that says
// how the export went.
#include "TestWindows.h"

#include "app/LayerExportCommand.h"
#include "res/Messages.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

using docwriter::QvmDocument;
using docwriter::QvmLayer;

// The boxes in the design's own texts; the choice of language is tested apart.
const Texts& kJapanese = TextsFor(Language::Japanese);

QvmDocument ThreeLayers() {
    return paintings::ThreeLayerQvm(4, 3);
}

std::set<std::string> PngFiles(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".png")
            names.insert(entry.path().filename().string());
    return names;
}

constexpr UINT kWarning = 0x42030;     // exclamation, task-modal, topmost
constexpr UINT kInformation = 0x42040; // information, task-modal, topmost

struct Outcome {
    const char* name;
    const char* file;
    bool corruptThirdLayer;
    const char* text;
    const char* caption; // null: the warning's default caption
    UINT type;
    size_t files;
};

const Outcome kOutcomes[] = {
    {"QvmExports", "cat.qvm", false, msg::kExportDone, msg::kExportDoneCaption, kInformation, 3},
    {"UpperCaseQvmExports", "PICTURE.QVM", false, msg::kExportDone, msg::kExportDoneCaption, kInformation, 3},
    {"CorruptLayerFails", "cat.qvm", true, msg::kExportFailed, msg::kExportFailedCaption, kInformation, 2},
    {"QvrIsRefused", "cat.qvr", false, msg::kQvmOnly, nullptr, kWarning, 0},
    {"BackupOfAQvmIsRefused", "picture.QVM.bak", false, msg::kQvmOnly, nullptr, kWarning, 0},
};

class LayerExportOutcome : public ::testing::TestWithParam<Outcome> {};

TEST_P(LayerExportOutcome, BoxSaysHowItWent) {
    const Outcome& c = GetParam();
    TempDir dir;
    QvmDocument doc = ThreeLayers();
    if (c.corruptThirdLayer)
        doc.layers[2].stream = docwriter::Bytes(20, 0xEE); // the third record, after two written
    const std::string path = dir.File(c.file);
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
    MessageBoxSpy spy;
    ExportSelectedLayers(path.c_str(), kJapanese);
    ASSERT_EQ(spy.Calls().size(), 1u);
    const MessageBoxCall& box = spy.Calls()[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.hasCaption, c.caption != nullptr);
    if (c.caption != nullptr) {
        EXPECT_EQ(box.caption, c.caption);
    }
    EXPECT_EQ(box.type, c.type);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(PngFiles(dir.Path()).size(), c.files);
}

INSTANTIATE_TEST_SUITE_P(Files, LayerExportOutcome, ::testing::ValuesIn(kOutcomes),
                         [](const ::testing::TestParamInfo<Outcome>& info) { return info.param.name; });

TEST(LayerExportCommand, NoSelectionDoesNothing) {
    MessageBoxSpy spy;
    ExportSelectedLayers(nullptr, kJapanese);
    EXPECT_TRUE(spy.Calls().empty());
}

TEST(LayerExportCommand, DocumentWithoutLayersReportsDone) {
    TempDir dir;
    QvmDocument doc = ThreeLayers();
    doc.layers.clear();
    const std::string path = dir.File("empty.qvm");
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
    MessageBoxSpy spy;
    ExportSelectedLayers(path.c_str(), kJapanese);
    EXPECT_EQ(spy.Texts(), std::vector<std::string>{msg::kExportDone});
    EXPECT_TRUE(PngFiles(dir.Path()).empty());
}

TEST(LayerExportCommand, ALayerThatCannotBeWrittenIsNamedAndTheExportFails) {
    TempDir dir;
    const std::string path = dir.File("cat.qvm");
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(ThreeLayers())));
    std::filesystem::create_directory(dir.File("cat_01_colour.png")); // a folder where the file would go
    MessageBoxSpy spy;
    ExportSelectedLayers(path.c_str(), kJapanese);
    ASSERT_EQ(spy.Calls().size(), 1u);
    const MessageBoxCall& box = spy.Calls()[0];
    const std::string start = std::string(msg::kExportFailed) + "\n\ncat_01_colour.png: " + msg::kWriteFailed + ": ";
    EXPECT_EQ(box.text.rfind(start, 0), 0u) << box.text;
    EXPECT_GT(box.text.size(), start.size()) << "the system's reason follows";
    EXPECT_EQ(box.caption, msg::kExportFailedCaption);
    // The other layers are written; the folder in the way is left alone.
    EXPECT_EQ(PngFiles(dir.Path()),
              (std::set<std::string>{"cat_00_line.png", "cat_01_colour.png", "cat_02_paper.png"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("cat_01_colour.png")));
}

TEST(LayerExportCommand, FilesGoBesideTheDocumentInADottedFolder) {
    TempDir dir;
    const std::string folder = dir.File("v1.2");
    std::filesystem::create_directory(folder);
    const std::string path = folder + "\\cat.qvm";
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(ThreeLayers())));
    MessageBoxSpy spy;
    ExportSelectedLayers(path.c_str(), kJapanese);
    EXPECT_EQ(spy.Texts(), std::vector<std::string>{msg::kExportDone});
    EXPECT_EQ(PngFiles(folder), (std::set<std::string>{"cat_00_line.png", "cat_01_colour.png", "cat_02_paper.png"}));
}

} // namespace
