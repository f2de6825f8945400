// File > Save as, apart from its dialog: the file type the dialog's answer
// names, the name it starts with, and the save itself, whose file holds the
// layers pane's choices exactly as the conversion writes a document stored
// with them.
#include "app/SaveAs.h"

#include "base/Text.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    return folder + text::PathSeparator() + name;
}

// A header declaring a picture wider than PSD's version 1 holds; no layer.
std::string WideDocument(const TempDir& dir) {
    docwriter::QvmDocument doc;
    doc.width = 30001;
    doc.height = 2;
    const std::string path = dir.File("wide.qvm");
    EXPECT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
    return path;
}

TEST(SaveAsChoice, TheNamesExtensionWinsAndANameWithoutOneTakesTheTypes) {
    TempDir dir;
    const std::string small = dir.File("small.qvm");
    ASSERT_TRUE(docwriter::WriteFile(small, docwriter::WriteQvm(paintings::ThreeLayerQvm(4, 3))));
    const std::string wide = WideDocument(dir);
    const std::string folder = Join("dir.v2", "");
    struct Case {
        std::string typed;
        uint32_t type;
        const std::string* document;
        OutputFormat format;
        std::string path;
    } cases[] = {
        {"a.psd", 1, &small, OutputFormat::Psd, "a.psd"},
        {"a.PNG", 3, &small, OutputFormat::Png, "a.PNG"},
        {"a.Bmp", 4, &small, OutputFormat::Bmp, "a.Bmp"},
        {"a.ora", 2, &small, OutputFormat::Ora, "a.ora"},
        {"a.psb", 1, &small, OutputFormat::Psd, "a.psb"}, // PSB asked for at any size
        {"a", 3, &small, OutputFormat::Psd, "a.psd"},
        {"a", 4, &small, OutputFormat::Ora, "a.ora"},
        {"a", 2, &small, OutputFormat::Bmp, "a.bmp"},
        {"a.txt", 2, &small, OutputFormat::Bmp, "a.txt.bmp"},
        {"a", 0, &small, OutputFormat::Png, "a.png"}, // no type known
        {"a", 9, &small, OutputFormat::Png, "a.png"},
        {folder + "a", 1, &small, OutputFormat::Png, folder + "a.png"}, // the folder's dot is no extension
        {"a.psd", 1, &wide, OutputFormat::Psd, "a.psb"},                // the name follows the format
        {"a", 3, &wide, OutputFormat::Psd, "a.psb"},
    };
    for (const Case& c : cases) {
        std::string path = c.typed;
        EXPECT_EQ(ChooseSaveAs(path, c.type, c.document->c_str()), c.format) << c.typed << " type " << c.type;
        EXPECT_EQ(path, c.path) << c.typed << " type " << c.type;
    }
    EXPECT_EQ(SaveAsTypeIndex(OutputFormat::Png), 1u);
    EXPECT_EQ(SaveAsTypeIndex(OutputFormat::Ora), 4u);
}

TEST(SaveAsChoice, TheDialogStartsInTheDocumentsFolderUnderItsName) {
    TempDir dir;
    const std::string wide = WideDocument(dir);
    const std::string sub = Join(Join(dir.Path(), "art.v1"), "cat.v2.qvr");
    struct Case {
        std::string document;
        OutputFormat format;
        std::string folder;
        std::string name;
    } cases[] = {
        {Join(dir.Path(), "cat.qvm"), OutputFormat::Png, dir.Path(), "cat.png"},
        {sub, OutputFormat::Ora, Join(dir.Path(), "art.v1"), "cat.v2.ora"},
        {Join(dir.Path(), "noext"), OutputFormat::Bmp, dir.Path(), "noext.bmp"},
        {wide, OutputFormat::Psd, dir.Path(), "wide.psb"},
        {"cat.qvm", OutputFormat::Psd, "", "cat.psd"},
    };
    for (const Case& c : cases) {
        std::string folder, name;
        SuggestSaveAs(c.document.c_str(), c.format, folder, name);
        EXPECT_EQ(folder, c.folder) << c.document;
        EXPECT_EQ(name, c.name) << c.document;
    }
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The document as the viewer shows it, and a twin whose layers are stored
// with the visibility the pane gives the first: top layer hidden, the
// hidden bottom one shown. QVM, or QVR with three masks.
struct Twins {
    explicit Twins(bool qvr = false)
        : shown(in.File(qvr ? "shown.qvr" : "shown.qvm")), twin(in.File(qvr ? "twin.qvr" : "twin.qvm")) {
        if (qvr) {
            docwriter::QvrV0Document doc = paintings::MaskQvr(5, 4, 3);
            doc.layers[0].flags = 0;
            doc.layers[1].flags = doc.layers[2].flags = 1;
            EXPECT_TRUE(docwriter::WriteFile(shown, docwriter::WriteQvrV0(doc)));
            doc.layers[0].flags = 1;
            doc.layers[2].flags = 0;
            EXPECT_TRUE(docwriter::WriteFile(twin, docwriter::WriteQvrV0(doc)));
            return;
        }
        docwriter::QvmDocument doc = paintings::ThreeLayerQvm(5, 4);
        EXPECT_TRUE(docwriter::WriteFile(shown, docwriter::WriteQvm(doc)));
        doc.layers[0].flags = 1;
        doc.layers[2].flags = 0;
        EXPECT_TRUE(docwriter::WriteFile(twin, docwriter::WriteQvm(doc)));
    }
    TempDir in;
    TempDir out;
    const std::string shown;
    const std::string twin;
    const std::vector<uint8_t> pane = {1, 1, 0}; // file order, bottom first
};

TEST(SaveAsFile, HoldsThePanesChoicesAsTheConversionWritesThemStored) {
    for (bool qvr : {false, true}) {
        Twins t(qvr);
        const OutputFormat formats[] = {OutputFormat::Png, OutputFormat::Bmp, OutputFormat::Psd};
        for (OutputFormat format : formats) {
            const std::string extension = OutputExtension(format);
            const std::string saved = t.out.File("saved." + extension);
            const std::string converted = t.out.File("converted." + extension);
            const SaveAsOutcome outcome =
                SaveDocumentAs(t.shown.c_str(), saved.c_str(), format, t.pane, 0, nullptr, nullptr);
            EXPECT_EQ(outcome.result, ItemResult::Converted) << extension << (qvr ? " of QVR" : "");
            EXPECT_FALSE(outcome.stopped);
            ImageBuffer picture;
            ASSERT_EQ(ConvertItemTo(picture, t.twin.c_str(), converted.c_str(), format, true), ItemResult::Converted);
            const docwriter::Bytes bytes = docwriter::ReadFile(saved);
            EXPECT_FALSE(bytes.empty()) << extension;
            EXPECT_EQ(bytes, docwriter::ReadFile(converted)) << extension << (qvr ? " of QVR" : "");
        }
        // Without the pane's boxes the document is saved as stored.
        const std::string stored = t.out.File("stored.png");
        const std::string plain = t.out.File("plain.png");
        EXPECT_EQ(SaveDocumentAs(t.shown.c_str(), stored.c_str(), OutputFormat::Png, {}, 0, nullptr, nullptr).result,
                  ItemResult::Converted);
        ImageBuffer picture;
        ASSERT_EQ(ConvertItemTo(picture, t.shown.c_str(), plain.c_str(), OutputFormat::Png, true),
                  ItemResult::Converted);
        EXPECT_EQ(docwriter::ReadFile(stored), docwriter::ReadFile(plain));
    }
}

TEST(SaveAsFile, AStopOrAnUnreadableDocumentLeavesNoFile) {
    Twins t;
    std::atomic<bool> cancel{true};
    const OutputFormat formats[] = {OutputFormat::Png, OutputFormat::Psd, OutputFormat::Ora};
    for (OutputFormat format : formats) {
        const std::string saved = t.out.File(std::string("stopped.") + OutputExtension(format));
        const SaveAsOutcome outcome =
            SaveDocumentAs(t.shown.c_str(), saved.c_str(), format, t.pane, 0, &cancel, nullptr);
        EXPECT_TRUE(outcome.stopped) << OutputExtension(format);
        EXPECT_NE(outcome.result, ItemResult::Converted);
    }
    const std::string broken = t.in.File("broken.qvm");
    ASSERT_TRUE(docwriter::WriteText(broken, "QVMDATA but nothing after"));
    for (OutputFormat format : formats) {
        const std::string saved = t.out.File(std::string("broken.") + OutputExtension(format));
        const SaveAsOutcome outcome = SaveDocumentAs(broken.c_str(), saved.c_str(), format, {}, 0, nullptr, nullptr);
        EXPECT_EQ(outcome.result, ItemResult::LoadFailed) << OutputExtension(format);
        EXPECT_FALSE(outcome.loadFailure.empty());
        EXPECT_FALSE(outcome.stopped);
    }
    EXPECT_EQ(FilesIn(t.out.Path()), std::vector<std::string>()) << "a file or a temporary was left";
}

} // namespace
