#include "base/FileFailure.h"
#include "base/Text.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "decode/FolderList.h"
#include "export/OutputFolder.h"
#include "tools/convert/Jobs.h"
#include "tools/convert/ItemWork.h"
#include "tools/convert/Options.h"
#include "tools/convert/Terminal.h"

#include <gtest/gtest.h>

#include "base/WorkPool.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

using docwriter::Bytes;

namespace {

ParseResult Parse(std::vector<const char*> args, ConvertOptions& options, std::string& error) {
    args.insert(args.begin(), "tessavel-convert");
    return ParseOptions(int(args.size()), args.data(), options, error);
}

// Every form of every option gives the same options.
TEST(ConvertOptionsParsing, GnuFormsAreEquivalent) {
    struct Case {
        std::vector<const char*> args;
        unsigned jobs;
        OutputFormat format;
        std::string destination;
    };
    const Case cases[] = {
        {{"-j", "4", "-o", "out", "-f", "bmp", "x"}, 4, OutputFormat::Bmp, "out"},
        {{"-j4", "-oout", "-fbmp", "x"}, 4, OutputFormat::Bmp, "out"},
        {{"--jobs=4", "--output=out", "--format=BMP", "x"}, 4, OutputFormat::Bmp, "out"},
        {{"--jobs", "4", "--output", "out", "--format", "bmp", "x"}, 4, OutputFormat::Bmp, "out"},
        {{"-qrj4", "-o", "out", "x"}, 4, OutputFormat::Png, "out"},
        {{"-qo", "out", "x", "-j", "12"}, 12, OutputFormat::Png, "out"},
        {{"--output=", "x"}, 0, OutputFormat::Png, ""}, // empty: an error below
    };
    for (const Case& c : cases) {
        ConvertOptions o;
        std::string error;
        const ParseResult result = Parse(c.args, o, error);
        if (c.destination.empty()) {
            EXPECT_EQ(result, ParseResult::Error);
            continue;
        }
        ASSERT_EQ(result, ParseResult::Run) << error;
        EXPECT_EQ(o.jobs, c.jobs);
        EXPECT_EQ(o.format, c.format);
        EXPECT_EQ(o.destination, c.destination);
        EXPECT_EQ(o.paths, (std::vector<std::string>{"x"}));
        EXPECT_EQ(o.target, OutputTarget::Folder);
    }
    ConvertOptions o;
    std::string error;
    ASSERT_EQ(Parse({"-qr", "--no-overwrite", "--layers", "-n", "-o", "o", "--", "-odd.qvm", "--help", "-"}, o, error),
              ParseResult::Run);
    EXPECT_TRUE(o.quiet && o.recursive && o.layers && o.dryRun && !o.overwrite);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"-odd.qvm", "--help", "-"}));
    ConvertOptions p;
    EXPECT_EQ(Parse({"--dry-run", "--recursive", "--quiet", "-o", "o", "a"}, p, error), ParseResult::Run);
    EXPECT_TRUE(p.quiet && p.recursive && p.dryRun);
    for (const auto& help : {std::vector<const char*>{"x", "--help"}, {"-h"}, {"-qh"}})
        EXPECT_EQ(Parse(help, p, error), ParseResult::Help);
    EXPECT_EQ(Parse({"--version"}, p, error), ParseResult::Version);
}

TEST(ConvertOptionsParsing, OutputTargetComesFromTheName) {
    struct Case {
        std::vector<const char*> args;
        ParseResult result;
        OutputTarget target;
        OutputFormat format;
    };
    const Case cases[] = {
        {{"-o", "cat.png", "a"}, ParseResult::Run, OutputTarget::File, OutputFormat::Png},
        {{"-o", "CAT.BMP", "a"}, ParseResult::Run, OutputTarget::File, OutputFormat::Bmp},
        {{"-f", "bmp", "-o", "cat.bmp", "a"}, ParseResult::Run, OutputTarget::File, OutputFormat::Bmp},
        {{"-f", "bmp", "-o", "cat.png", "a"}, ParseResult::Error, OutputTarget::File, OutputFormat::Bmp},
        {{"-o", "cat.bmp", "-f", "png", "a"}, ParseResult::Error, OutputTarget::File, OutputFormat::Png},
        {{"-o", "-", "a"}, ParseResult::Run, OutputTarget::Stdout, OutputFormat::Png},
        {{"-f", "bmp", "-o", "-", "a"}, ParseResult::Run, OutputTarget::Stdout, OutputFormat::Bmp},
        {{"-o", "pictures.out", "a"}, ParseResult::Run, OutputTarget::Folder, OutputFormat::Png},
        {{"--layers", "-o", "cat.png", "a"}, ParseResult::Error, OutputTarget::File, OutputFormat::Png},
        {{"--layers", "-o", "-", "a"}, ParseResult::Error, OutputTarget::Stdout, OutputFormat::Png},
        {{"-r", "-o", "x.png", "a"}, ParseResult::Error, OutputTarget::File, OutputFormat::Png},
    };
    for (const Case& c : cases) {
        ConvertOptions o;
        std::string error;
        ASSERT_EQ(Parse(c.args, o, error), c.result) << c.args[1] << " " << error;
        if (c.result == ParseResult::Error) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(o.target, c.target) << c.args[1];
        EXPECT_EQ(o.format, c.format) << c.args[1];
    }
    // A folder that happens to end in .png stays a folder.
    TempDir dir;
    const std::string folder = dir.File("shots.png");
    std::filesystem::create_directory(folder);
    ConvertOptions o;
    std::string error;
    ASSERT_EQ(Parse({"-o", folder.c_str(), "a"}, o, error), ParseResult::Run);
    EXPECT_EQ(o.target, OutputTarget::Folder);
}

TEST(ConvertOptionsParsing, BadCommandLinesAreErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"a.qvm"},
        {"-o", "out"},
        {"-o"},
        {"--output"},
        {"-o", "out", "-f", "gif", "a"},
        {"-o", "out", "--format=gif", "a"},
        {"-o", "out", "-f"},
        {"-o", "out", "-j", "0", "a"},
        {"-o", "out", "-j65", "a"},
        {"-o", "out", "--jobs=2x", "a"},
        {"-o", "out", "--jobs=", "a"},
        {"-o", "out", "--bogus", "a"},
        {"-o", "out", "-qx", "a"},
        {"-o", "out", "--quiet=yes", "a"},
        {"-o", "out", "--layers", "-f", "bmp", "a"},
        {"-o", "out", "--lay", "a"}, // no abbreviations
    };
    for (const auto& args : bad) {
        ConvertOptions o;
        std::string error;
        EXPECT_EQ(Parse(args, o, error), ParseResult::Error) << args.size();
        EXPECT_FALSE(error.empty());
    }
}

TEST(ConvertJobs, TheLaterOfTwoDocumentsWritingOneFileFailsNamingTheEarlier) {
    ConvertOptions options;
    std::vector<Item> items = {
        {"1/a.qvm", "a.qvm", "", ""}, {"1/b.qvr", "b.qvr", "", ""}, {"2/A.QVR", "A.QVR", "", ""},
        {"2/c", "c", "", ""},         {"3/a.qvm", "a.qvm", "", ""}, {"3/a.qvm", "a.qvm", "sub", ""},
    };
    auto collisions = [&]() {
        std::vector<Item> marked = items;
        MarkCollisions(marked, options);
        std::vector<std::string> reasons;
        for (const Item& item : marked)
            reasons.push_back(item.collision);
        return reasons;
    };
    EXPECT_EQ(collisions(), (std::vector<std::string>{"", "", "A.png is also the output of 1/a.qvm", "",
                                                      "a.png is also the output of 1/a.qvm", ""}));
    // As layers, the stems decide.
    options.layers = true;
    EXPECT_EQ(collisions(), (std::vector<std::string>{"", "", "A_NN_*.png are also the outputs of 1/a.qvm", "",
                                                      "a_NN_*.png are also the outputs of 1/a.qvm", ""}));
    EXPECT_EQ(OutputKey(items[1], options), "b");
    EXPECT_EQ(OutputKey(items[5], options), JoinPath("sub", "a"));
    options.layers = false;
    options.format = OutputFormat::Bmp;
    EXPECT_EQ(OutputKey(items[1], options), "b.bmp");
    EXPECT_EQ(OutputKey(items[3], options), "c");
}

// Layer files carry the layer names after the stem, so documents of
// different stems can meet on one file; and documents whose files all
// differ must not be held to collide.
TEST(ConvertJobs, LayerFilesOfTwoDocumentsMeetingOnOneNameFailTheLater) {
    TempDir dir;
    auto write = [&](const std::string& name, std::vector<std::string> layers) {
        docwriter::QvmDocument doc;
        doc.width = 2;
        doc.height = 2;
        for (const std::string& layer : layers) // bottom first
            doc.layers.push_back(docwriter::MakeQvmLayer(layer, docwriter::SolidPixels(2, 2, 1, 2, 3, 255)));
        EXPECT_TRUE(docwriter::WriteFile(dir.File(name), docwriter::WriteQvm(doc)));
        return Item{dir.File(name), name, "", ""};
    };
    const Item a = write("a.qvm", {"x_01_y"});           // a_00_x_01_y.png
    const Item ax = write("a_00_x.qvm", {"y", "top"});   // a_00_x_01_y.png, a_00_x_00_top.png
    const Item ay = write("a_00_y.qvm", {"y", "other"}); // a_00_y_01_y.png, a_00_y_00_other.png
    const Item b = write("b.qvm", {"x_01_y"});           // b_00_x_01_y.png
    struct Case {
        std::vector<Item> items;
        std::vector<std::string> collisions;
    };
    const Case cases[] = {
        {{a, ax}, {"", "a_00_x_01_y.png is also the output of " + a.path}},
        {{ax, a}, {"", "a_00_x_01_y.png is also the output of " + ax.path}},
        {{a, b, ay}, {"", "", ""}},
    };
    ConvertOptions options;
    options.layers = true;
    options.destination = dir.File("out");
    for (const Case& c : cases) {
        std::vector<Item> marked = c.items;
        MarkCollisions(marked, options);
        std::vector<std::string> got;
        for (const Item& item : marked)
            got.push_back(item.collision);
        EXPECT_EQ(got, c.collisions) << c.items.size();
    }
    // A picture per document has no layer names to meet on.
    options.layers = false;
    std::vector<Item> pictures = {a, ax};
    MarkCollisions(pictures, options);
    EXPECT_EQ(pictures[1].collision, "");
}

TEST(ConvertJobs, ReportsComeInListOrderWhileTheFirstItemIsHeldUntilTheOthersAreDone) {
    std::mutex mutex;
    std::condition_variable changed;
    size_t othersDone = 0;
    std::vector<size_t> reported;
    std::vector<unsigned> poolSizes;
    RunJobs(
        5, 4,
        [&](size_t index, ImageBuffer&, WorkPool& pool) {
            std::unique_lock<std::mutex> lock(mutex);
            poolSizes.push_back(pool.Size());
            if (index == 0) {
                // Held until every other item's work has returned.
                changed.wait(lock, [&] { return othersDone == 4; });
            } else {
                ++othersDone;
                changed.notify_all();
            }
            return ItemReport{Outcome::Failed, std::to_string(index)};
        },
        [&](size_t index, const ItemReport& report) {
            std::lock_guard<std::mutex> lock(mutex);
            EXPECT_EQ(report.reason, std::to_string(index));
            reported.push_back(index);
        });
    EXPECT_EQ(reported, (std::vector<size_t>{0, 1, 2, 3, 4}));
    // Four documents at a time share the processor's cores: together never
    // more threads than cores (or than one each), and no core left idle
    // that a fifth thread per pool would have used.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned size : poolSizes) {
        EXPECT_GE(size, 1u);
        EXPECT_LE(size * 4, std::max(cores, 4u));
        EXPECT_GT((size + 1) * 4, cores);
    }
}

// A throw inside one document's work (memory running out, most often)
// fails that document with a reason; the thread it ran on and the other
// documents carry on, and every report still comes in list order.
TEST(ConvertJobs, AThrowFailsItsDocumentOnlyWhateverThreadItRanOn) {
    for (unsigned jobs : {1u, 3u}) {
        std::vector<ItemReport> reports;
        RunJobs(
            5, jobs,
            [](size_t index, ImageBuffer&, WorkPool&) -> ItemReport {
                if (index == 1)
                    throw std::bad_alloc();
                if (index == 3)
                    throw std::runtime_error("broken");
                return ItemReport{Outcome::Converted, ""};
            },
            [&](size_t index, const ItemReport& report) {
                EXPECT_EQ(index, reports.size());
                reports.push_back(report);
            });
        ASSERT_EQ(reports.size(), 5u) << jobs;
        const std::vector<std::pair<Outcome, std::string>> expected = {{Outcome::Converted, ""},
                                                                       {Outcome::Failed, "out of memory"},
                                                                       {Outcome::Converted, ""},
                                                                       {Outcome::Failed, "internal error"},
                                                                       {Outcome::Converted, ""}};
        for (size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].outcome, expected[i].first) << jobs << " jobs, item " << i;
            EXPECT_EQ(reports[i].reason, expected[i].second) << jobs << " jobs, item " << i;
        }
    }
}

TEST(ConvertJobs, OneDocumentAtATimeGetsEveryCore) {
    unsigned size = 0;
    RunJobs(
        2, 1,
        [&](size_t, ImageBuffer&, WorkPool& pool) {
            size = pool.Size();
            return ItemReport{};
        },
        [](size_t, const ItemReport&) {});
    EXPECT_EQ(size, std::max(1u, std::thread::hardware_concurrency()));
}

TEST(ConvertFolders, DocumentsAreListedAsTheViewerListsThem) {
    TempDir dir;
    for (const char* name : {"b.QVM", "a.qvr", "C.qvm", "x.qvm.bak", "notes.txt", "noext", ".qvm", "p10.qvm", "P2.qvm"})
        ASSERT_TRUE(docwriter::WriteFile(dir.File(name), Bytes{1}));
    std::filesystem::create_directory(dir.File("folder.qvm"));
    std::filesystem::create_directory(dir.File("sub"));
    ASSERT_TRUE(docwriter::WriteFile(dir.File("sub") + "/" + "d.qvm", Bytes{1}));
    std::vector<std::string> paths;
    ASSERT_TRUE(ListDocuments(dir.Path(), paths));
    EXPECT_EQ(paths, (std::vector<std::string>{JoinPath(dir.Path(), ".qvm"), JoinPath(dir.Path(), "a.qvr"),
                                               JoinPath(dir.Path(), "b.QVM"), JoinPath(dir.Path(), "C.qvm"),
                                               JoinPath(dir.Path(), "P2.qvm"), JoinPath(dir.Path(), "p10.qvm")}));
    std::vector<std::string> none;
    EXPECT_FALSE(ListDocuments(dir.File("missing"), none));
}

TEST(ConvertFolders, RecursionMirrorsSubfoldersDepthFirstInListOrder) {
    TempDir dir;
    const std::string root = dir.Path();
    for (const char* folder : {"b", "A", "A/deep", "empty"})
        std::filesystem::create_directories(root + "/" + folder);
    for (const char* file : {"z.qvm", "b/x.qvr", "A/y.qvm", "A/deep/w.QVM", "A/deep/notes.txt"})
        ASSERT_TRUE(docwriter::WriteFile(root + "/" + file, Bytes{1}));
    std::vector<FoundDocument> found;
    std::vector<std::string> unreadable;
    ASSERT_TRUE(ListDocumentTree(root, true, found, unreadable));
    const std::string deep = JoinPath("A", "deep");
    std::vector<std::pair<std::string, std::string>> got;
    for (const FoundDocument& document : found)
        got.push_back({document.path, document.relative});
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{
                       {JoinPath(root, "z.qvm"), ""},
                       {JoinPath(JoinPath(root, "A"), "y.qvm"), "A"},
                       {JoinPath(JoinPath(root, deep), "w.QVM"), deep},
                       {JoinPath(JoinPath(root, "b"), "x.qvr"), "b"},
                   }));
    EXPECT_TRUE(unreadable.empty());
    found.clear();
    ASSERT_TRUE(ListDocumentTree(root, false, found, unreadable));
    EXPECT_EQ(found.size(), 1u);
}

TEST(ConvertFolders, MissingFoldersAreMadeAsMkdirDashPWould) {
    TempDir dir;
    const std::string nested = JoinPath(JoinPath(JoinPath(dir.Path(), "a"), "b"), "c");
    EXPECT_TRUE(MakeFolders(nested));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_TRUE(MakeFolders(nested)) << "an existing folder is fine";
    EXPECT_TRUE(MakeFolders(JoinPath(dir.Path(), "d") + "/"));
    // A file in the way: the system's reason is kept.
    ASSERT_TRUE(docwriter::WriteFile(dir.File("file"), Bytes{1}));
    filesystem::ClearFailure();
    EXPECT_FALSE(MakeFolders(JoinPath(dir.File("file"), "sub")));
    EXPECT_NE(filesystem::LastFailure(), 0);
}

TEST(ConvertProgress, LinesAreCutToTheTerminalBetweenWholeCharacters) {
    // A wide character (表) in UTF-8, as the program keeps every text.
    const std::string wide = "\xE8\xA1\xA8";
    const std::string name = "a" + wide + "b";
    struct Case {
        std::string text;
        size_t columns;
        size_t bytes;
    };
    const Case cases[] = {
        {"abcdef", 4, 4},
        {"abc", 10, 3},
        {"abc", 0, 0},
        {name, 1, 1},
        {name, 2, 1}, // the wide character takes two columns, and only one is left
        {name, 3, 1 + wide.size()},
        {name, 4, name.size()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitToColumns(c.text, c.columns), c.bytes) << c.text << " in " << c.columns;
}

// Every road a document can fail by names its fault where the reader meets
// it; the loads on threads meet the same one.
TEST(LoadReasons, EachHostileDocumentSaysWhatIsWrong) {
    TempDir dir;
    const Bytes brokenStream = {0x78, 0x9C, 0xFF, 0xFF};
    auto qvm = [&](int layers, int corrupt) {
        docwriter::QvmDocument doc;
        doc.width = 4;
        doc.height = 4;
        for (int i = 0; i < layers; ++i) {
            docwriter::QvmLayer layer;
            layer.pixels = docwriter::SolidPixels(4, 4, 1, 2, 3, 255);
            if (i == corrupt)
                layer.stream = brokenStream;
            doc.layers.push_back(layer);
        }
        return doc;
    };
    docwriter::QvmDocument wide = qvm(1, -1);
    wide.width = 65535;
    wide.height = 65535;
    docwriter::QvmDocument version = qvm(1, -1);
    version.version = 2;
    docwriter::QvmDocument cut = qvm(2, -1);
    cut.layerCount = 3; // the file ends where the third record should start
    docwriter::QvmDocument hiddenBroken = qvm(2, 1);
    hiddenBroken.layers[1].flags = 0; // never expanded, so never a fault
    Bytes shortHeader = docwriter::WriteQvm(qvm(1, -1));
    shortHeader.resize(12); // inside HS

    auto qvr0 = [&](int layers) {
        docwriter::QvrV0Document doc;
        doc.width = 4;
        doc.height = 4;
        for (int i = 0; i < layers; ++i) {
            docwriter::QvrMaskLayer layer;
            layer.mask = Bytes(16, 200);
            doc.layers.push_back(layer);
        }
        return doc;
    };
    docwriter::QvrV0Document qvrVersion = qvr0(0);
    qvrVersion.version = 7;
    docwriter::QvrV0Document checked = qvr0(1);
    checked.checkByte = 1;
    docwriter::QvrV0Document hiddenMask = qvr0(3);
    hiddenMask.layers[1].flags = 0; // a hidden mask is expanded all the same
    hiddenMask.layers[1].stream = brokenStream;
    docwriter::QvrV0Document flattened = qvr0(0);
    flattened.flattened = docwriter::SolidPixels(4, 4, 9, 9, 9, 255);
    flattened.flattenedStream = brokenStream;
    docwriter::QvrV0Document maskCut = qvr0(1);
    maskCut.layerCount = 2;
    docwriter::QvrV0Document qvrWide = qvr0(0);
    qvrWide.width = 65535;
    qvrWide.height = 65535;
    Bytes noFlattenedSize = docwriter::WriteQvrV0(qvr0(0));
    noFlattenedSize.resize(noFlattenedSize.size() - 4);

    auto tile = [](uint16_t column) {
        docwriter::QvrTile t;
        t.column = column;
        t.coverage = Bytes(4096, 255);
        return t;
    };
    auto qvr1 = [&](int layers, int tiles) {
        docwriter::QvrV1Document doc;
        doc.width = 100;
        doc.height = 70;
        for (int i = 0; i < layers; ++i) {
            docwriter::QvrTileLayer layer;
            layer.color = 0x00336699;
            for (int t = 0; t < tiles; ++t)
                layer.tiles.push_back(tile(uint16_t(t)));
            doc.layers.push_back(layer);
        }
        return doc;
    };
    docwriter::QvrV1Document tileVersion = qvr1(1, 1);
    tileVersion.version = 2;
    docwriter::QvrV1Document zeroSize = qvr1(2, 2);
    zeroSize.layers[1].flags = 0; // the size is checked before the visibility
    zeroSize.layers[1].tiles[0].size = 0;
    docwriter::QvrV1Document badStream = qvr1(2, 3);
    badStream.layers[0].tiles[1].data = brokenStream;
    docwriter::QvrV1Document hiddenStream = qvr1(2, 2);
    hiddenStream.layers[1].flags = 0;
    hiddenStream.layers[1].tiles[1].data = brokenStream;
    docwriter::QvrV1Document outside = qvr1(1, 1);
    outside.layers[0].x = 5000; // wholly right of the picture: dropped, not a fault
    docwriter::QvrV1Document recordCut = qvr1(1, 2);
    recordCut.layerCount = 2;
    docwriter::QvrV1Document plainTiles = qvr1(1, 2);
    plainTiles.layers[0].tiles[1].plain = true;
    Bytes tileCut = docwriter::WriteQvrV1(plainTiles);
    tileCut.resize(tileCut.size() - 100); // inside the second tile's 4096 bytes
    docwriter::QvrV1Document fieldsCut = qvr1(1, 2);
    fieldsCut.layers[0].tileCount = 3;

    struct Case {
        const char* name;
        Bytes bytes;
        LoadCode code;
        const char* reason;
        uint32_t layer;
        uint32_t tile;
    };
    const Case cases[] = {
        {"x.txt", docwriter::WriteQvm(qvm(1, -1)), LoadCode::NotDocument, "not a QVM/QVR document", 0, 0},
        {"text.qvm", Bytes{'h', 'i'}, LoadCode::NotDocument, "not a QVM/QVR document", 0, 0},
        {"swapped.qvr", docwriter::WriteQvm(qvm(1, -1)), LoadCode::NotDocument, "not a QVM/QVR document", 0, 0},
        {"v2.qvm", docwriter::WriteQvm(version), LoadCode::UnsupportedVersion, "unsupported version 2", 0, 0},
        {"short.qvm", shortHeader, LoadCode::CorruptHeader, "corrupt header", 0, 0},
        {"wide.qvm", docwriter::WriteQvm(wide), LoadCode::TooLarge, "picture too large (65535x65535)", 0, 0},
        {"third.qvm", docwriter::WriteQvm(qvm(3, 2)), LoadCode::CorruptLayer, "corrupt layer 3", 3, 0},
        {"cut.qvm", docwriter::WriteQvm(cut), LoadCode::Truncated, "truncated at layer 3", 3, 0},
        {"hidden.qvm", docwriter::WriteQvm(hiddenBroken), LoadCode::Loaded, "", 0, 0},
        {"v7.qvr", docwriter::WriteQvrV0(qvrVersion), LoadCode::UnsupportedVersion, "unsupported version 7", 0, 0},
        {"checked.qvr", docwriter::WriteQvrV0(checked), LoadCode::CorruptHeader, "corrupt header", 0, 0},
        {"nosize.qvr", noFlattenedSize, LoadCode::CorruptHeader, "corrupt header", 0, 0},
        {"widemask.qvr", docwriter::WriteQvrV0(qvrWide), LoadCode::TooLarge, "picture too large (65535x65535)", 0, 0},
        {"mask.qvr", docwriter::WriteQvrV0(hiddenMask), LoadCode::CorruptMask, "corrupt mask of layer 2", 2, 0},
        {"flat.qvr", docwriter::WriteQvrV0(flattened), LoadCode::CorruptPicture, "corrupt flattened picture", 0, 0},
        {"maskcut.qvr", docwriter::WriteQvrV0(maskCut), LoadCode::Truncated, "truncated at layer 2", 2, 0},
        {"tiles2.qvr", docwriter::WriteQvrV1(tileVersion), LoadCode::UnsupportedVersion, "unsupported version 2", 0, 0},
        {"zero.qvr", docwriter::WriteQvrV1(zeroSize), LoadCode::CorruptTile, "corrupt tile 1 of layer 2", 2, 1},
        {"stream.qvr", docwriter::WriteQvrV1(badStream), LoadCode::CorruptTile, "corrupt tile 2 of layer 1", 1, 2},
        {"hiddentile.qvr", docwriter::WriteQvrV1(hiddenStream), LoadCode::Loaded, "", 0, 0},
        {"outside.qvr", docwriter::WriteQvrV1(outside), LoadCode::Loaded, "", 0, 0},
        {"recordcut.qvr", docwriter::WriteQvrV1(recordCut), LoadCode::Truncated, "truncated at layer 2", 2, 0},
        {"tilecut.qvr", tileCut, LoadCode::Truncated, "truncated at tile 2 of layer 1", 1, 2},
        {"fieldscut.qvr", docwriter::WriteQvrV1(fieldsCut), LoadCode::Truncated, "truncated at tile 3 of layer 1", 1,
         3},
    };
    WorkPool pool(3);
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        ASSERT_TRUE(docwriter::WriteFile(path, c.bytes));
        ImageBuffer image;
        const LoadResult result = LoadDocument(image, path.c_str());
        EXPECT_EQ(result.reason, c.reason) << c.name;
        EXPECT_EQ(result.code, c.code) << c.name;
        EXPECT_EQ(bool(result), c.code == LoadCode::Loaded) << c.name;
        EXPECT_EQ(result.layer, c.layer) << c.name;
        EXPECT_EQ(result.tile, c.tile) << c.name;
        ImageBuffer pooled;
        EXPECT_EQ(LoadDocumentOnPool(pooled, path.c_str(), pool).reason, c.reason) << c.name << " on threads";
    }
    ImageBuffer image;
    EXPECT_EQ(LoadDocument(image, dir.File("missing.qvm").c_str()).reason, "cannot open");
    EXPECT_EQ(LoadDocument(image, dir.File("missing.qvr").c_str()).code, LoadCode::CannotOpen);
}

// The converter gives the reason the reader or the layer walk met, flat or
// layered.
TEST(LoadReasons, TheConverterReportsTheReadersReason) {
    TempDir dir;
    docwriter::QvrV1Document tiles;
    tiles.width = 64;
    tiles.height = 64;
    docwriter::QvrTileLayer layer;
    docwriter::QvrTile broken;
    broken.data = Bytes{0x78, 0x9C, 0xFF, 0xFF};
    layer.tiles = {broken};
    tiles.layers = {layer};
    docwriter::QvmDocument cut;
    cut.width = 4;
    cut.height = 4;
    cut.layers = {docwriter::MakeQvmLayer("a", docwriter::SolidPixels(4, 4, 1, 2, 3, 255))};
    cut.layerCount = 2;
    docwriter::QvmDocument corrupt = cut;
    corrupt.layerCount.reset();
    corrupt.layers.push_back(corrupt.layers[0]);
    corrupt.layers[1].stream = Bytes{0x78, 0x9C, 0xFF, 0xFF};
    struct Case {
        const char* name;
        Bytes bytes;
        OutputFormat format;
        const char* reason;
    };
    const Case cases[] = {
        {"tiles.qvr", docwriter::WriteQvrV1(tiles), OutputFormat::Png, "corrupt tile 1 of layer 1"},
        {"tiles.qvr", docwriter::WriteQvrV1(tiles), OutputFormat::Psd, "corrupt tile 1 of layer 1"},
        {"cut.qvm", docwriter::WriteQvm(cut), OutputFormat::Bmp, "truncated at layer 2"},
        {"cut.qvm", docwriter::WriteQvm(cut), OutputFormat::Ora, "truncated at layer 2"},
        {"corrupt.qvm", docwriter::WriteQvm(corrupt), OutputFormat::Psd, "corrupt layer 2"},
    };
    for (const Case& c : cases) {
        Item item;
        item.path = dir.File(c.name);
        item.name = c.name;
        ASSERT_TRUE(docwriter::WriteFile(item.path, c.bytes));
        ConvertOptions options;
        options.destination = dir.Path();
        options.format = c.format;
        ImageBuffer image;
        const ItemReport report = ConvertOne(item, options, image);
        EXPECT_EQ(report.outcome, Outcome::Failed) << c.name;
        EXPECT_EQ(report.reason, c.reason) << c.name << " " << int(c.format);
    }
}

} // namespace
