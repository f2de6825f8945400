#include "base/WorkPool.h"
#include "decode/DocumentLoader.h"
#include "decode/LayerWalk.h"
#include "export/LayeredExport.h"
#include "export/PackBits.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using docwriter::Bytes;

namespace {

// PackBits decoded the plain way, to hold the coder's output against.
Bytes Unpack(const Bytes& packed) {
    Bytes out;
    for (size_t i = 0; i < packed.size();) {
        const int header = int8_t(packed[i++]);
        if (header >= 0) {
            out.insert(out.end(), packed.begin() + long(i), packed.begin() + long(i) + header + 1);
            i += size_t(header) + 1;
        } else {
            out.insert(out.end(), size_t(1 - header), packed[i++]);
        }
    }
    return out;
}

Bytes Pack(const Bytes& row) {
    Bytes out(PackBitsBound(row.size()));
    out.resize(PackBitsRow(row.data(), row.size(), out.data()));
    return out;
}

Bytes Literals(size_t count, uint8_t first = 0) {
    Bytes row;
    for (size_t i = 0; i < count; ++i)
        row.push_back(uint8_t(first + i));
    return row;
}

} // namespace

TEST(PackBits, RunsAndLiteralsAreCutAt128) {
    struct Case {
        Bytes row;
        Bytes packed; // empty: only the length is checked
        size_t length;
    };
    const Case cases[] = {
        {{7}, {0x00, 7}, 2},
        {{7, 7}, {0xFF, 7}, 2},
        {{7, 7, 7}, {0xFE, 7}, 2},
        {{1, 2, 2, 3}, {0x03, 1, 2, 2, 3}, 5}, // a pair inside literals stays literal
        {{1, 5, 5, 5}, {0x00, 1, 0xFE, 5}, 4},
        {Bytes(128, 9), {0x81, 9}, 2},
        {Bytes(129, 9), {0x81, 9, 0x00, 9}, 4},
        {Bytes(130, 9), {0x81, 9, 0xFF, 9}, 4},
        {Literals(128), {}, 129},
        {Literals(129), {}, 131},
        {Literals(65535), {}, PackBitsBound(65535)},
    };
    for (const Case& c : cases) {
        const Bytes packed = Pack(c.row);
        if (!c.packed.empty()) {
            EXPECT_EQ(packed, c.packed) << c.row.size();
        }
        EXPECT_EQ(packed.size(), c.length) << c.row.size();
        EXPECT_EQ(Unpack(packed), c.row) << c.row.size();
    }
    // Never a header of -128, which some readers take as nothing.
    Bytes mixed;
    for (int k = 0; k < 300; ++k)
        mixed.insert(mixed.end(), size_t(k % 131 + 1), uint8_t(k));
    const Bytes packed = Pack(mixed);
    EXPECT_EQ(Unpack(packed), mixed);
    EXPECT_LE(packed.size(), PackBitsBound(mixed.size()));
}

TEST(LayerWalk, HiddenUndecodableLayerIsEmptyAndBoundsHoldEveryPaintedPixel) {
    TempDir dir;
    docwriter::QvmDocument doc;
    doc.width = 9;
    doc.height = 5;
    Bytes dot(9 * 5 * 4, 0);
    dot[(size_t(5 - 1 - 3) * 9 + 7) * 4 + 3] = 1; // x 7, y 3 from the top
    dot[(size_t(5 - 1 - 1) * 9 + 2) * 4 + 3] = 255;
    doc.layers.push_back(docwriter::MakeQvmLayer("dot", dot));
    docwriter::QvmLayer broken = docwriter::MakeQvmLayer("broken", Bytes(9 * 5 * 4, 0xFF));
    broken.flags = 0;
    broken.stream = Bytes(12, 0x33);
    doc.layers.push_back(broken);
    doc.layers.push_back(docwriter::MakeQvmLayer("clear", Bytes(9 * 5 * 4, 0)));
    const std::string path = dir.File("w.qvm");
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));

    LayerWalk walk;
    ASSERT_TRUE(walk.Open(path.c_str()));
    ASSERT_EQ(walk.LayerCount(), 3u);
    ImageBuffer pixels;
    ASSERT_TRUE(pixels.Create(9, 5));
    WalkedLayer layer;
    ASSERT_TRUE(walk.Next(layer, &pixels));
    EXPECT_EQ(layer.name, "dot");
    EXPECT_EQ((std::vector<int32_t>{layer.left, layer.top, layer.right, layer.bottom}),
              (std::vector<int32_t>{2, 1, 8, 4}));
    ASSERT_TRUE(walk.Next(layer, &pixels));
    EXPECT_FALSE(layer.decoded);
    EXPECT_TRUE(layer.Empty());
    ASSERT_TRUE(walk.Next(layer, &pixels));
    EXPECT_EQ(layer.name, "clear");
    EXPECT_TRUE(layer.decoded);
    EXPECT_TRUE(layer.Empty());
    EXPECT_FALSE(walk.Next(layer, &pixels));
}

TEST(LayeredExport, FailuresLeaveNoFile) {
    TempDir dir;
    docwriter::QvmDocument doc = paintings::ThreeLayerQvm(20, 10);
    doc.layers[2].stream = Bytes(30, 0x44); // a visible layer the picture needs
    const std::string broken = dir.File("broken.qvm");
    ASSERT_TRUE(docwriter::WriteFile(broken, docwriter::WriteQvm(doc)));
    docwriter::QvmDocument cut = paintings::ThreeLayerQvm(20, 10);
    Bytes bytes = docwriter::WriteQvm(cut);
    bytes.resize(bytes.size() - 10);
    const std::string truncated = dir.File("cut.qvm");
    ASSERT_TRUE(docwriter::WriteFile(truncated, bytes));
    const std::string good = dir.File("good.qvm");
    ASSERT_TRUE(docwriter::WriteFile(good, docwriter::WriteQvm(paintings::ThreeLayerQvm(20, 10))));
    std::filesystem::create_directory(dir.File("out"));

    ImageBuffer merged;
    std::vector<std::string> warnings;
    const LayeredOptions options;
    EXPECT_EQ(
        ExportLayered(merged, broken.c_str(), dir.File("out/a.psd").c_str(), OutputFormat::Psd, options, warnings),
        ItemResult::LoadFailed);
    EXPECT_EQ(
        ExportLayered(merged, truncated.c_str(), dir.File("out/b.psd").c_str(), OutputFormat::Psd, options, warnings),
        ItemResult::LoadFailed);
    EXPECT_EQ(
        ExportLayered(merged, good.c_str(), dir.File("missing/c.psd").c_str(), OutputFormat::Psd, options, warnings),
        ItemResult::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("out")));
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(ExportLayered(merged, good.c_str(), dir.File("out/d.psd").c_str(), OutputFormat::Psd, options, warnings),
              ItemResult::Converted);
}

TEST(LayeredExport, MergedPictureIsTheReadersWithTheLayersShownAsAsked) {
    TempDir dir;
    const std::string qvm = dir.File("modes.qvm");
    ASSERT_TRUE(docwriter::WriteFile(qvm, docwriter::WriteQvm(paintings::EveryModeQvm(40, 200))));
    const std::string qvr = dir.File("tiles.qvr");
    ASSERT_TRUE(docwriter::WriteFile(qvr, docwriter::WriteQvrV1(paintings::SparseTileQvr(90, 200, 4))));
    const std::vector<uint8_t> stored;                       // every layer as stored
    const std::vector<uint8_t> some = {1, 0, 1, 1, 0, 0, 1}; // the rest as stored
    // Alone and on a pool, whose threads code the layers' channels in bands
    // of rows (the picture is several bands tall).
    WorkPool pool(2);
    for (const std::string& path : {qvm, qvr})
        for (WorkPool* threads : {static_cast<WorkPool*>(nullptr), &pool})
            for (const std::vector<uint8_t>* visible : {&stored, &some}) {
                ImageBuffer merged;
                std::vector<std::string> warnings;
                LayeredOptions options;
                options.visible = visible;
                options.pool = threads;
                for (OutputFormat format : {OutputFormat::Psd, OutputFormat::Ora}) {
                    ASSERT_EQ(ExportLayered(merged, path.c_str(), dir.File("out").c_str(), format, options, warnings),
                              ItemResult::Converted);
                    ImageBuffer expected;
                    ASSERT_TRUE(LoadDocumentShowing(expected, path.c_str(), *visible));
                    ASSERT_EQ(merged.ByteCount(), expected.ByteCount());
                    EXPECT_EQ(std::memcmp(merged.bits, expected.bits, merged.ByteCount()), 0)
                        << path << " " << visible->size();
                }
            }
}

// Run by the test runner with a file-size limit (see tests/export/CMakeLists.txt):
// a PSD whose writes fail part-way, as on a full disk, leaves nothing.
TEST(FileSizeLimit, LayeredWriteFailingPartWayLeavesNoFile) {
    const uint64_t limit = testpictures::FileSizeLimit();
    if (limit == 0)
        GTEST_SKIP() << "needs TESSAVEL_FILE_SIZE_LIMIT and a matching limit on the process";
    TempDir dir;
    // Bytes that zlib packs tightly and PackBits not at all: the document
    // stays small while its PSD passes the limit.
    const int width = 2048, height = int(limit / (size_t(width) * 4)) + 16;
    Bytes pixels(size_t(width) * size_t(height) * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i % 4 == 3 ? 255 : i * 7 + i / 8192);
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    doc.layers.push_back(docwriter::MakeQvmLayer("pattern", pixels));
    const std::string path = dir.File("big.qvm");
    ASSERT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
    ImageBuffer merged;
    std::vector<std::string> warnings;
    EXPECT_EQ(
        ExportLayered(merged, path.c_str(), dir.File("big.psd").c_str(), OutputFormat::Psd, LayeredOptions(), warnings),
        ItemResult::WriteFailed);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"big.qvm"}));
}
