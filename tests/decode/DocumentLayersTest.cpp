// The layers of a document as the viewer's pane lists them, and a document
// flattened again with the visibility picked there.
#include "base/WorkPool.h"
#include "decode/DocumentLayers.h"
#include "decode/DocumentLoader.h"
#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "pixels/ImageBuffer.h"
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

TEST(DocumentLayers, QvrLayersAreListedInFileOrderAndAFlattenedPictureIsSummedUp) {
    TempDir dir;
    const docwriter::QvrV0Document masks = paintings::MaskQvr(6, 4, 3);
    const docwriter::QvrV1Document tiles = paintings::SparseTileQvr(100, 70, 2);
    docwriter::QvrV0Document flattened;
    flattened.width = 2;
    flattened.height = 1;
    flattened.flattened = Bytes(8, 0x40);
    struct Stored {
        uint8_t opacity, flags;
        uint32_t colour;
    };
    std::vector<Stored> maskLayers, tileLayers;
    for (const docwriter::QvrMaskLayer& layer : masks.layers)
        maskLayers.push_back({layer.opacity, layer.flags, layer.color});
    for (const docwriter::QvrTileLayer& layer : tiles.layers)
        tileLayers.push_back({layer.opacity, layer.flags, layer.color});
    const struct {
        const char* name;
        Bytes bytes;
        std::vector<Stored> layers;
        std::string summary;
    } cases[] = {
        {"masks", docwriter::WriteQvrV0(masks), maskLayers, "QVR 0: 3 masks"},
        {"tiles", docwriter::WriteQvrV1(tiles), tileLayers, "QVR 1: 2 layers of 64 x 64 tiles"},
        {"flattened", docwriter::WriteQvrV0(flattened), {}, "QVR 0: one flattened picture"},
    };
    for (const auto& c : cases) {
        DocumentLayers layers;
        ASSERT_TRUE(ReadDocumentLayers(Write(dir, std::string(c.name) + ".qvr", c.bytes).c_str(), layers)) << c.name;
        EXPECT_EQ(layers.kind, DocumentLayers::Kind::Qvr) << c.name;
        EXPECT_EQ(QvrSummary(layers), c.summary) << c.name;
        ASSERT_EQ(layers.layers.size(), c.layers.size()) << c.name;
        for (size_t i = 0; i < c.layers.size(); ++i) {
            EXPECT_EQ(layers.layers[i].name, "Layer " + std::to_string(i + 1)) << c.name;
            EXPECT_EQ(layers.layers[i].opacity, c.layers[i].opacity) << c.name << " " << i;
            EXPECT_EQ(layers.layers[i].colour, c.layers[i].colour) << c.name << " " << i;
            EXPECT_EQ(layers.layers[i].visible, (c.layers[i].flags & 1) != 0) << c.name << " " << i;
        }
    }
    EXPECT_EQ(QvrColourText(0x00123456), "#123456");
    EXPECT_EQ(QvrColourText(0xFFFFFFFF), "#FFFFFF");

    // A count of three over two mask records: the two are still listed.
    docwriter::QvrV0Document cut = paintings::MaskQvr(6, 4, 2);
    cut.layerCount = 3;
    DocumentLayers layers;
    EXPECT_FALSE(ReadDocumentLayers(Write(dir, "cut.qvr", docwriter::WriteQvrV0(cut)).c_str(), layers));
    EXPECT_EQ(layers.layers.size(), 2u);
}

TEST(DocumentLayers, OtherFilesAndCutRecordsFail) {
    TempDir dir;
    DocumentLayers layers;
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

// Both QVR versions, small (a mask at a time) and large enough to be read in
// bands, one by one and on a pool.
TEST(DocumentLayers, QvrFlattenedAgainAsIfTheFlagsWereStoredSo) {
    TempDir dir;
    const struct {
        const char* name;
        std::vector<uint8_t> visible;
    } cases[] = {
        {"as stored", {1, 0, 1}},
        {"top hidden", {1, 0, 0}},
        {"hidden one shown", {1, 1, 1}},
        {"none", {0, 0, 0}},
        {"short vector keeps the rest", {0}},
        {"longer vector", {0, 1, 1, 1, 0}},
    };
    const int sizes[][2] = {{70, 45}, {1024, 1024}};
    WorkPool pool(2);
    for (const auto& size : sizes) {
        docwriter::QvrV0Document masks = paintings::MaskQvr(size[0], size[1], 3);
        docwriter::QvrV1Document tiles = paintings::SparseTileQvr(size[0], size[1], 3);
        masks.layers[1].flags = 0;
        tiles.layers[1].flags = 0;
        const std::string tag = std::to_string(size[0]) + "x" + std::to_string(size[1]);
        const std::string maskPath = Write(dir, "masks.qvr", docwriter::WriteQvrV0(masks));
        const std::string tilePath = Write(dir, "tiles.qvr", docwriter::WriteQvrV1(tiles));
        for (const auto& c : cases) {
            docwriter::QvrV0Document flaggedMasks = masks;
            docwriter::QvrV1Document flaggedTiles = tiles;
            for (size_t i = 0; i < 3 && i < c.visible.size(); ++i) {
                flaggedMasks.layers[i].flags = c.visible[i];
                flaggedTiles.layers[i].flags = c.visible[i];
            }
            const struct {
                const char* version;
                const std::string& path;
                Bytes flagged;
            } documents[] = {
                {"version 0", maskPath, docwriter::WriteQvrV0(flaggedMasks)},
                {"version 1", tilePath, docwriter::WriteQvrV1(flaggedTiles)},
            };
            for (const auto& d : documents) {
                const std::string where = tag + " " + d.version + ": " + c.name;
                ImageBuffer expected, shown, pooled;
                ASSERT_TRUE(ReadQvr(expected, Write(dir, "flagged.qvr", d.flagged).c_str())) << where;
                ASSERT_TRUE(ReadQvrShowing(shown, d.path.c_str(), c.visible)) << where;
                EXPECT_TRUE(SamePicture(shown, expected)) << where;
                ASSERT_TRUE(LoadDocumentShowing(pooled, d.path.c_str(), c.visible, &pool)) << where;
                EXPECT_TRUE(SamePicture(pooled, expected)) << where << " on threads";
            }
        }
    }
}

} // namespace
