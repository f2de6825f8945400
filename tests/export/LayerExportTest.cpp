#include "base/FileSystem.h"
#include "base/LayerName.h"
#include "export/LayerExport.h"
#include "tests/export/PngReadBack.h"
#include "tests/export/TestPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using docwriter::Bytes;
using docwriter::QvmDocument;
using docwriter::QvmLayer;

namespace {

constexpr int kW = 6;
constexpr int kH = 4;

// Layer pixels of the test size, partly clear, different for every seed.
Bytes LayerPixels(int seed) {
    return paintings::LayerPixels(kW, kH, uint32_t(seed), paintings::Cover::Partial);
}

QvmLayer Layer(const std::string& name, int seed) {
    QvmLayer layer;
    layer.name = name;
    layer.pixels = LayerPixels(seed);
    return layer;
}

QvmDocument Document(std::vector<QvmLayer> layers) {
    QvmDocument doc;
    doc.width = kW;
    doc.height = kH;
    doc.headerExtra = Bytes(6, 0x11);
    doc.block = Bytes(9, 0x22);
    doc.layers = std::move(layers);
    return doc;
}

std::string WriteDoc(const std::string& path, const QvmDocument& doc) {
    EXPECT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
    return path;
}

// The RGBA rows (with filter bytes) a PNG of these stored pixels holds.
Bytes PngRowsOf(const Bytes& pixels) {
    Bytes rows;
    for (int y = kH - 1; y >= 0; --y) {
        rows.push_back(0);
        for (int x = 0; x < kW; ++x) {
            const uint8_t* p = &pixels[size_t(y * kW + x) * 4];
            rows.insert(rows.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    return rows;
}

// Expands the PNG at path and checks it is an RGBA picture of the document's
// size; the rows it holds, or nothing.
Bytes ReadPngRows(const std::string& path) {
    pngread::Png png;
    if (!pngread::Parse(docwriter::ReadFile(path), png) || !pngread::Expand(png))
        return {};
    EXPECT_EQ(png.colourType, 6);
    EXPECT_EQ(png.width, uint32_t(kW));
    EXPECT_EQ(png.height, uint32_t(kH));
    return png.raw;
}

size_t EntriesIn(const std::string& folder) {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator(); ++it)
        ++n;
    return n;
}

TEST(LayerExport, LayersAreNumberedFromTheTopAndKeepTheirStoredPixels) {
    TempDir dir;
    QvmLayer hidden = Layer("colour", 2);
    hidden.flags = 0;
    hidden.opacity = 50;
    hidden.blendMode = 14;
    const std::string doc = WriteDoc(dir.File("cat.qvm"), Document({Layer("paper", 1), hidden, Layer("line", 3)}));
    ASSERT_TRUE(ExportLayers(doc.c_str()));
    EXPECT_TRUE(ReadPngRows(dir.File("cat_02_paper.png")) == PngRowsOf(LayerPixels(1)));
    EXPECT_TRUE(ReadPngRows(dir.File("cat_01_colour.png")) == PngRowsOf(LayerPixels(2)));
    EXPECT_TRUE(ReadPngRows(dir.File("cat_00_line.png")) == PngRowsOf(LayerPixels(3)));
    EXPECT_EQ(EntriesIn(dir.Path()), 4u);
}

TEST(LayerExport, NoLayersWritesNothingAndSucceeds) {
    TempDir dir;
    const std::string doc = WriteDoc(dir.File("empty.qvm"), Document({}));
    LayerExportReport report;
    EXPECT_TRUE(ExportLayers(doc.c_str(), LayerExportOptions(), report));
    EXPECT_EQ(report.layerCount, 0);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(LayerExport, CorruptThirdLayerKeepsTheFilesOfTheFirstTwo) {
    TempDir dir;
    QvmLayer broken = Layer("c", 3);
    broken.stream = Bytes{0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::string doc = WriteDoc(dir.File("d.qvm"), Document({Layer("a", 1), Layer("b", 2), broken}));
    LayerExportReport report;
    EXPECT_FALSE(ExportLayers(doc.c_str(), LayerExportOptions(), report));
    EXPECT_EQ(report.status, LayerExportStatus::CorruptLayer);
    EXPECT_EQ(report.corruptLayer, 2);
    EXPECT_EQ(report.written, 2);
    EXPECT_TRUE(filesystem::Exists(dir.File("d_02_a.png").c_str()));
    EXPECT_TRUE(filesystem::Exists(dir.File("d_01_b.png").c_str()));
    EXPECT_EQ(EntriesIn(dir.Path()), 3u);
}

TEST(LayerExport, RaisedCancelStartsNoLayer) {
    TempDir dir;
    const std::string doc = WriteDoc(dir.File("d.qvm"), Document({Layer("a", 1), Layer("b", 2)}));
    std::atomic<bool> cancel{true};
    LayerExportOptions options;
    options.cancel = &cancel;
    LayerExportReport report;
    EXPECT_FALSE(ExportLayers(doc.c_str(), options, report));
    EXPECT_EQ(report.status, LayerExportStatus::Stopped);
    EXPECT_EQ(report.written, 0);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(LayerExport, DocumentsThatAreNotQvmFailBeforeWriting) {
    TempDir dir;
    QvmDocument wrongMagic = Document({Layer("a", 1)});
    wrongMagic.magic = "QVRFDAT";
    QvmDocument version1 = Document({Layer("a", 1)});
    version1.version = 1;
    QvmDocument shortHeader = Document({Layer("a", 1)});
    shortHeader.headerLength = 9;
    QvmDocument shortRecord = Document({Layer("a", 1)});
    shortRecord.recordLength = 34;
    QvmDocument zeroWidth = Document({Layer("a", 1)});
    zeroWidth.width = 0;
    struct Case {
        const char* name;
        QvmDocument doc;
        LayerExportStatus status;
    };
    Case cases[] = {
        {"magic.qvm", wrongMagic, LayerExportStatus::NotQvm},   {"version.qvm", version1, LayerExportStatus::NotQvm},
        {"header.qvm", shortHeader, LayerExportStatus::NotQvm}, {"record.qvm", shortRecord, LayerExportStatus::NotQvm},
        {"zero.qvm", zeroWidth, LayerExportStatus::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LayerExportReport report;
        EXPECT_FALSE(ExportLayers(WriteDoc(dir.File(c.name), c.doc).c_str(), LayerExportOptions(), report));
        EXPECT_EQ(report.status, c.status);
    }
    LayerExportReport report;
    EXPECT_FALSE(ExportLayers(dir.File("missing.qvm").c_str(), LayerExportOptions(), report));
    EXPECT_EQ(report.status, LayerExportStatus::CannotOpen);
    EXPECT_EQ(EntriesIn(dir.Path()), std::size(cases));
}

TEST(LayerNames, SeparatorsAndRefusedCharactersBecomeUnderscoresDotsAndUtf8Stay) {
    struct Case {
        const char* name;
        const char* safe;
    };
    const Case cases[] = {
        {"line", "line"},
        {"", ""},
        {"..", ".."},
        {"v1..2", "v1..2"},
        {".hidden", ".hidden"},
        {"x.", "x."},
        {"..\\..\\evil", ".._.._evil"},
        {"../up", ".._up"},
        {"C:\\Windows", "C__Windows"},
        {"a:b/c\\d", "a_b_c_d"},
        {"what?", "what_"},
        {"a*b<c>d|e\"f\"", "a_b_c_d_e_f_"},
        {"tab\there\x01\x1F\x7F", "tab_here___"},
        {"\xE8\xA1\xA8\\", "\xE8\xA1\xA8_"},                        // a kanji, then a backslash
        {"\xEF\xBC\xBC/\xEF\xBD\x9C", "\xEF\xBC\xBC_\xEF\xBD\x9C"}, // full-width "\" and "|" are no separators
    };
    for (const Case& c : cases) {
        char name[64];
        std::strcpy(name, c.name);
        MakeLayerNameSafe(name);
        EXPECT_STREQ(name, c.safe) << c.name;
    }
}

// The one rule for reading stored names: CP932 when the bytes are CP932
// text with a double-byte character, the fallback code page (the system's
// on Windows, 1252 natively; the tests run under Wine in code page 932)
// otherwise, a code page given for every name.
TEST(LayerNames, StoredNamesAreReadByOneRule) {
    const bool japanese = text::FallbackNamesCodePage() == 932;
    struct Case {
        const char* stored;
        uint32_t codePage;
        const char* read;
    };
    const Case cases[] = {
        {"line_1.x", 0, "line_1.x"},
        {"\x95\x5C", 0, "\xE8\xA1\xA8"},                     // a kanji with 0x5C inside
        {"\x83\x5C\x94\x5C", 0, "\xE3\x82\xBD\xE8\x83\xBD"}, // two of them
        {"\x83\x7C", 0, "\xE3\x83\x9D"},                     // one whose second byte is "|"
        {"\x83\x7C\xB1", 0, "\xE3\x83\x9D\xEF\xBD\xB1"},     // and a half-width katakana
        {"caf\xE9", 1252, "caf\xC3\xA9"},                    // Western, named
        {"\x95\x5C", 1252, "\xE2\x80\xA2\\"},                // CP932 bytes read as Western when asked
        {"\xB1\xB2", 932, "\xEF\xBD\xB1\xEF\xBD\xB2"},       // half-width katakana only, named
        {"a\x81 b", 932, "a_ b"},                            // a lead byte without its second byte
        {"\x83\x7C\x81", 932, "\xE3\x83\x9D_"},              // cut short at the end
        {"\xFF", 932, "_"},
        // No double-byte character, or no CP932 text: the fallback.
        {"caf\xE9", 0, japanese ? "caf_" : "caf\xC3\xA9"},
        {"\xB1\xB2", 0, japanese ? "\xEF\xBD\xB1\xEF\xBD\xB2" : "\xC2\xB1\xC2\xB2"},
        {"\xE9t\xE9", 0, japanese ? "\xE9\xA8\x81_" : "\xC3\xA9t\xC3\xA9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::DecodeLayerName(c.stored, c.codePage), c.read) << c.stored << " in " << c.codePage;
    EXPECT_TRUE(text::CodePageSupported(932));
    EXPECT_TRUE(text::CodePageSupported(1252));
    EXPECT_FALSE(text::CodePageSupported(54321));
}

TEST(LayerNames, FileNamePartIsTheNameReadThenMadeSafe) {
    EXPECT_EQ(LayerFileNamePart("\x83\x5C\\x", 0), "\xE3\x82\xBD_x");
    EXPECT_EQ(LayerFileNamePart("\x81/../../escape", 932), "__.._.._escape");
    EXPECT_EQ(LayerFileNamePart("a/\xE9", 1252), "a_\xC3\xA9");
}

TEST(LayerExport, HostileNamesStayInsideTheFolderAndCp932NamesAreKept) {
    TempDir dir;
    const std::string folder = dir.File("docs");
    std::filesystem::create_directory(folder);
    const std::string doc = WriteDoc(folder + testpictures::Sep() + "h.qvm",
                                     Document({Layer("..", 1), Layer("..\\..\\evil", 2), Layer("../up", 3),
                                               Layer("c:d", 4), Layer("\x95\x5C", 5), Layer("\x83\x5C\\x", 6)}));
    ASSERT_TRUE(ExportLayers(doc.c_str()));
    const std::string expected[] = {"h_05_...png",  "h_04_.._.._evil.png",   "h_03_.._up.png",
                                    "h_02_c_d.png", "h_01_\xE8\xA1\xA8.png", "h_00_\xE3\x82\xBD_x.png"};
    for (const std::string& name : expected)
        EXPECT_TRUE(filesystem::Exists((folder + testpictures::Sep() + name).c_str())) << name;
    EXPECT_EQ(EntriesIn(folder), 7u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u); // nothing beside the folder
}

TEST(LayerExport, LeadByteDoesNotShieldASeparatorBehindIt) {
    // "/" is never the second byte of a CP932 character, so a lead byte in
    // front of it must not keep it from being replaced: the layer file would
    // go into a folder of that name when one exists.
    TempDir dir;
    const std::string folder = dir.File("docs");
    std::filesystem::create_directories(folder + testpictures::Sep() + "h_00_\x81");
    const std::string doc = WriteDoc(folder + testpictures::Sep() + "h.qvm", Document({Layer("\x81/../../escape", 1)}));
    ASSERT_TRUE(ExportLayers(doc.c_str()));
    // No CP932 text, so read in the fallback code page, where 0x81 is no
    // character in both builds' tables.
    EXPECT_TRUE(filesystem::Exists((folder + testpictures::Sep() + "h_00___.._.._escape.png").c_str()));
    EXPECT_EQ(EntriesIn(folder + testpictures::Sep() + "h_00_\x81"), 0u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u); // nothing beside the folder
}

TEST(LayerExport, NamesWindowsRefusesAreWritten) {
    TempDir dir;
    const std::string doc = WriteDoc(dir.File("q.qvm"), Document({Layer("what?", 1), Layer("a<b>|\"c\"*", 2)}));
    LayerExportReport report;
    ASSERT_TRUE(ExportLayers(doc.c_str(), LayerExportOptions(), report));
    EXPECT_EQ(report.written, 2);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_TRUE(filesystem::Exists(dir.File("q_01_what_.png").c_str()));
    EXPECT_TRUE(filesystem::Exists(dir.File("q_00_a_b___c__.png").c_str()));
}

TEST(LayerExport, FullLengthNameAndDottedFolder) {
    TempDir dir;
    const std::string folder = dir.File("my.work");
    std::filesystem::create_directory(folder);
    const std::string full(32, 'n');
    const std::string doc =
        WriteDoc(folder + testpictures::Sep() + "pic.QVM", Document({Layer(full, 1), Layer("", 2)}));
    ASSERT_TRUE(ExportLayers(doc.c_str()));
    EXPECT_TRUE(filesystem::Exists((folder + testpictures::Sep() + "pic_01_" + full + ".png").c_str()));
    EXPECT_TRUE(filesystem::Exists((folder + testpictures::Sep() + "pic_00_.png").c_str()));
    EXPECT_EQ(EntriesIn(folder), 3u);
}

TEST(LayerExport, ShortStreamLeavesTheRestTransparentNotThePreviousLayer) {
    TempDir dir;
    QvmLayer shortLayer = Layer("s", 2);
    const Bytes half(shortLayer.pixels.begin(), shortLayer.pixels.begin() + long(shortLayer.pixels.size() / 2));
    shortLayer.stream = docwriter::Compress(half);
    const std::string doc = WriteDoc(dir.File("s.qvm"), Document({Layer("full", 1), shortLayer}));
    ASSERT_TRUE(ExportLayers(doc.c_str()));
    Bytes expected = half;
    expected.resize(shortLayer.pixels.size(), 0);
    EXPECT_TRUE(ReadPngRows(dir.File("s_00_s.png")) == PngRowsOf(expected));
}

TEST(LayerExport, BytesAfterAStreamDoNotHideTheNextRecord) {
    TempDir dir;
    QvmLayer first = Layer("a", 1);
    first.trailing = Bytes(70000, 0x5A); // beyond one 65536-byte read
    const std::string doc = WriteDoc(dir.File("t.qvm"), Document({first, Layer("b", 2)}));
    ASSERT_TRUE(ExportLayers(doc.c_str()));
    EXPECT_TRUE(ReadPngRows(dir.File("t_01_a.png")) == PngRowsOf(LayerPixels(1)));
    EXPECT_TRUE(ReadPngRows(dir.File("t_00_b.png")) == PngRowsOf(LayerPixels(2)));
}

TEST(LayerExport, DestinationFolderOverwriteAndUnwritableLayers) {
    TempDir dir;
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    const std::string doc = WriteDoc(dir.File("x.qvm"), Document({Layer("a", 1), Layer("b", 2), Layer("c", 3)}));
    LayerExportOptions options;
    options.folder = out.c_str();
    LayerExportReport report;
    ASSERT_TRUE(ExportLayers(doc.c_str(), options, report));
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(EntriesIn(out), 3u);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);

    // A second run replaces the files; with overwrite off it leaves them.
    const std::string top = out + testpictures::Sep() + "x_00_c.png";
    ASSERT_TRUE(docwriter::WriteFile(top, Bytes{1, 2, 3}));
    ASSERT_TRUE(ExportLayers(doc.c_str(), options, report));
    EXPECT_TRUE(ReadPngRows(top) == PngRowsOf(LayerPixels(3)));
    ASSERT_TRUE(docwriter::WriteFile(top, Bytes{1, 2, 3}));
    options.overwrite = false;
    ASSERT_TRUE(ExportLayers(doc.c_str(), options, report));
    EXPECT_EQ(report.skipped, 3);
    EXPECT_TRUE(docwriter::ReadFile(top) == (Bytes{1, 2, 3}));

    // A layer whose file cannot be written is passed over; the others are
    // written and the export still counts as done.
    options.overwrite = true;
    std::filesystem::remove(out + testpictures::Sep() + "x_01_b.png");
    std::filesystem::create_directory(out + testpictures::Sep() + "x_01_b.png");
    ASSERT_TRUE(ExportLayers(doc.c_str(), options, report));
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(report.failedWrites, 1);
    EXPECT_EQ(std::string(report.firstFailedFile.Text()), out + testpictures::Sep() + "x_01_b.png");
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].file, out + testpictures::Sep() + "x_01_b.png");
    EXPECT_NE(report.failures[0].error, 0);
    EXPECT_TRUE(std::filesystem::is_directory(out + testpictures::Sep() + "x_01_b.png"));
}

} // namespace
