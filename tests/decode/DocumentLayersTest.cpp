// The layers of a document as the viewer's pane lists them, and a QVM
// document flattened again with the visibility picked there.
#include "decode/DocumentLayers.h"
#include "decode/ImageBuffer.h"
#include "decode/QvmReader.h"
#include "base/WorkPool.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using docwriter::Bytes;

std::string Write(TempDir& dir, const std::string& name, const Bytes& bytes) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(docwriter::WriteFile(path, bytes));
    return path;
}

bool SamePicture(const ImageBuffer& a, const ImageBuffer& b) {
    return a.width == b.width && a.height == b.height && !a.IsEmpty() &&
           std::memcmp(a.bits, b.bits, a.ByteCount()) == 0;
}

TEST(DocumentLayers, QvmRecordsAreListedInFileOrderAsStored) {
    TempDir dir;
    // Bottom to top: hidden "paper", "colour" at opacity 50, "line".
    const docwriter::QvmDocument doc = paintings::ThreeLayerQvm(5, 4);
    const std::string path = Write(dir, "three.QVR.qvm", docwriter::WriteQvm(doc));
    DocumentLayers layers;
    ASSERT_TRUE(ReadDocumentLayers(path.c_str(), layers));
    EXPECT_EQ(layers.kind, DocumentLayers::Kind::Qvm);
    ASSERT_EQ(layers.layers.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(layers.layers[i].name, doc.layers[i].name) << i;
        EXPECT_EQ(layers.layers[i].blendMode, doc.layers[i].blendMode) << i;
        EXPECT_EQ(layers.layers[i].opacity, doc.layers[i].opacity) << i;
        EXPECT_EQ(layers.layers[i].visible, (doc.layers[i].flags & 1) != 0) << i;
    }
}

TEST(DocumentLayers, QvrIsSummedUpAndOtherFilesAndCutRecordsFail) {
    TempDir dir;
    docwriter::QvrV0Document masks;
    masks.width = 4;
    masks.height = 2;
    masks.layers.resize(2);
    for (docwriter::QvrMaskLayer& layer : masks.layers)
        layer.mask = Bytes(8, 0x80);
    DocumentLayers layers;
    ASSERT_TRUE(ReadDocumentLayers(Write(dir, "m.qvr", docwriter::WriteQvrV0(masks)).c_str(), layers));
    EXPECT_EQ(layers.kind, DocumentLayers::Kind::Qvr);
    EXPECT_EQ(QvrSummary(layers), "QVR 0: 2 masks");

    EXPECT_FALSE(ReadDocumentLayers(Write(dir, "t.qvm", Bytes{'n', 'o', 'p', 'e'}).c_str(), layers));
    EXPECT_EQ(layers.kind, DocumentLayers::Kind::None);
    // A count of four over three records: the three are still listed.
    docwriter::QvmDocument forged = paintings::ThreeLayerQvm(5, 4);
    forged.layerCount = 4;
    EXPECT_FALSE(ReadDocumentLayers(Write(dir, "forged.qvm", docwriter::WriteQvm(forged)).c_str(), layers));
    EXPECT_EQ(layers.layers.size(), 3u);
}

TEST(DocumentLayers, FlattenedAgainAsIfTheFlagsWereStoredSo) {
    TempDir dir;
    // Large enough to be read in bands, which a pool shares out among its
    // threads (the bands give the one-by-one pixels: DocTest.h).
    const docwriter::QvmDocument doc = paintings::ThreeLayerQvm(1024, 1024);
    const std::string path = Write(dir, "three.qvm", docwriter::WriteQvm(doc));
    const struct {
        const char* name;
        std::vector<uint8_t> visible;
    } cases[] = {
        {"as stored", {0, 1, 1}},
        {"top hidden", {0, 1, 0}},
        {"bottom shown", {1, 1, 1}},
        {"none", {0, 0, 0}},
        {"short vector keeps the rest", {1}},
    };
    WorkPool pool(2);
    for (const auto& c : cases) {
        docwriter::QvmDocument flagged = doc;
        for (size_t i = 0; i < flagged.layers.size(); ++i)
            if (i < c.visible.size())
                flagged.layers[i].flags = c.visible[i];
        ImageBuffer expected;
        ASSERT_TRUE(ReadQvm(expected, Write(dir, "flagged.qvm", docwriter::WriteQvm(flagged)).c_str()));
        ImageBuffer shown, pooled;
        ASSERT_TRUE(ReadQvmShowing(shown, path.c_str(), c.visible)) << c.name;
        EXPECT_TRUE(SamePicture(shown, expected)) << c.name;
        ASSERT_TRUE(ReadQvmShowing(pooled, path.c_str(), c.visible, &pool)) << c.name;
        EXPECT_TRUE(SamePicture(pooled, expected)) << c.name << " on threads";
    }
}

} // namespace
