#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"
#include "tools/convert/Diagnosis.h"
#include "tools/convert/FolderList.h"
#include "tools/convert/Jobs.h"
#include "tools/convert/Options.h"

#include <gtest/gtest.h>

#include <filesystem>

using docwriter::Bytes;

namespace {

ParseResult Parse(std::vector<const char*> args, ConvertOptions& options, std::string& error) {
    args.insert(args.begin(), "tessavel-convert");
    return ParseOptions(int(args.size()), args.data(), options, error);
}

TEST(ConvertOptionsParsing, AcceptedCommandLines) {
    ConvertOptions o;
    std::string error;
    ASSERT_EQ(Parse({"-o", "out", "a.qvm", "dir"}, o, error), ParseResult::Run);
    EXPECT_EQ(o.destination, "out");
    EXPECT_EQ(o.format, OutputFormat::Png);
    EXPECT_TRUE(o.overwrite);
    EXPECT_FALSE(o.layers);
    EXPECT_EQ(o.jobs, 0u);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"a.qvm", "dir"}));

    ConvertOptions p;
    ASSERT_EQ(Parse({"-f", "BMP", "--no-overwrite", "-j", "3", "-q", "-o", "o", "--", "-odd.qvm"}, p, error),
              ParseResult::Run);
    EXPECT_EQ(p.format, OutputFormat::Bmp);
    EXPECT_FALSE(p.overwrite);
    EXPECT_EQ(p.jobs, 3u);
    EXPECT_TRUE(p.quiet);
    EXPECT_EQ(p.paths, (std::vector<std::string>{"-odd.qvm"}));

    ConvertOptions q;
    EXPECT_EQ(Parse({"--layers", "-o", "o", "x.qvm"}, q, error), ParseResult::Run);
    EXPECT_TRUE(q.layers);
    EXPECT_EQ(Parse({"x", "--help"}, q, error), ParseResult::Help);
    EXPECT_EQ(Parse({"--version"}, q, error), ParseResult::Version);
}

TEST(ConvertOptionsParsing, BadCommandLinesAreErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"a.qvm"},
        {"-o", "out"},
        {"-o"},
        {"-o", "out", "-f", "gif", "a"},
        {"-o", "out", "-f"},
        {"-o", "out", "-j", "0", "a"},
        {"-o", "out", "-j", "65", "a"},
        {"-o", "out", "-j", "2x", "a"},
        {"-o", "out", "--bogus", "a"},
        {"-o", "out", "--layers", "-f", "bmp", "a"},
    };
    for (const auto& args : bad) {
        ConvertOptions o;
        std::string error;
        EXPECT_EQ(Parse(args, o, error), ParseResult::Error) << args.size();
        EXPECT_FALSE(error.empty());
    }
}

TEST(ConvertJobs, ItemsWritingTheSameFileShareOneGroupInListOrder) {
    ConvertOptions options;
    const std::vector<Item> items = {
        {"1/a.qvm", "a.qvm"}, {"1/b.qvr", "b.qvr"}, {"2/A.QVR", "A.QVR"}, {"2/c", "c"}, {"3/a.qvm", "a.qvm"},
    };
    using Groups = std::vector<std::vector<size_t>>;
    EXPECT_EQ(GroupByOutput(items, options), (Groups{{0, 2, 4}, {1}, {3}}));
    // As layers, a.qvm and A.QVR differ from b.qvr only by their stems.
    options.layers = true;
    EXPECT_EQ(GroupByOutput(items, options), (Groups{{0, 2, 4}, {1}, {3}}));
    EXPECT_EQ(OutputKey(items[1], options), "b");
    options.layers = false;
    options.format = OutputFormat::Bmp;
    EXPECT_EQ(OutputKey(items[1], options), "b.bmp");
    EXPECT_EQ(OutputKey(items[3], options), "c");
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

TEST(ConvertDiagnosis, LoadFailuresAreNamed) {
    TempDir dir;
    auto qvm = [](int layers, int corrupt) {
        docwriter::QvmDocument doc;
        doc.width = 4;
        doc.height = 4;
        for (int i = 0; i < layers; ++i) {
            docwriter::QvmLayer layer;
            layer.pixels = docwriter::SolidPixels(4, 4, 1, 2, 3, 255);
            if (i == corrupt)
                layer.stream = Bytes{0x78, 0x9C, 0xFF, 0xFF};
            doc.layers.push_back(layer);
        }
        return doc;
    };
    docwriter::QvmDocument wide = qvm(1, -1);
    wide.width = 65535;
    wide.height = 65535;
    docwriter::QvmDocument version = qvm(1, -1);
    version.version = 2;
    Bytes truncated = docwriter::WriteQvm(qvm(3, -1));
    truncated.resize(docwriter::WriteQvm(qvm(2, -1)).size() + 10); // inside the third record's name
    docwriter::QvrV0Document qvr;
    qvr.width = 4;
    qvr.height = 4;
    qvr.version = 7;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"x.txt", docwriter::WriteQvm(qvm(1, -1)), "not a QVM/QVR document"},
        {"text.qvm", Bytes{'h', 'i'}, "not a QVM/QVR document"},
        {"swapped.qvr", docwriter::WriteQvm(qvm(1, -1)), "not a QVM/QVR document"},
        {"v2.qvm", docwriter::WriteQvm(version), "unsupported version 2"},
        {"v7.qvr", docwriter::WriteQvrV0(qvr), "unsupported version 7"},
        {"wide.qvm", docwriter::WriteQvm(wide), "picture too large (65535x65535)"},
        {"third.qvm", docwriter::WriteQvm(qvm(3, 2)), "corrupt layer 3"},
        {"cut.qvm", truncated, "truncated at layer 3"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(docwriter::WriteFile(dir.File(c.name), c.bytes));
        EXPECT_EQ(DiagnoseLoadFailure(dir.File(c.name).c_str()), c.reason) << c.name;
    }
    EXPECT_EQ(DiagnoseLoadFailure(dir.File("missing.qvm").c_str()), "cannot open");
}

} // namespace
