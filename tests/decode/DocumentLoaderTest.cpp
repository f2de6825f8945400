// The document loader chooses the reader by the path's extension alone, and
// for a source without a name by its first bytes.
#include "tests/decode/DocTest.h"

#include <filesystem>

using namespace doctest;

namespace {

Bytes SmallQvm() {
    docwriter::QvmDocument doc;
    doc.width = 2;
    doc.height = 2;
    return docwriter::WriteQvm(doc);
}

Bytes SmallQvr() {
    docwriter::QvrV1Document doc;
    doc.width = 2;
    doc.height = 2;
    return docwriter::WriteQvrV1(doc);
}

class DocumentLoaderTest : public DocFileTest {};

TEST_F(DocumentLoaderTest, ExtensionPicksTheReaderInAnyLetterCase) {
    struct Case {
        const char* name;
        bool qvm;
    };
    const Case cases[] = {{"a.qvm", true},  {"b.QVM", true},  {"c.QvM", true},     {"d.qvr", false},
                          {"e.QVR", false}, {"f.qVr", false}, {"g.bak.qvm", true}, {"h..qvr", false}};
    for (const Case& c : cases) {
        ImageBuffer image;
        EXPECT_TRUE(Load(c.qvm ? SmallQvm() : SmallQvr(), image, c.name)) << c.name;
        EXPECT_EQ(image.width, 2) << c.name;
    }
}

TEST_F(DocumentLoaderTest, ContentOfTheOtherFormatFails) {
    ImageBuffer image;
    MakeOldPicture(image);
    EXPECT_FALSE(Load(SmallQvm(), image, "qvm-inside.qvr"));
    ExpectOldPicture(image);
    EXPECT_FALSE(Load(SmallQvr(), image, "qvr-inside.qvm"));
    ExpectOldPicture(image);
}

TEST_F(DocumentLoaderTest, OtherExtensionsAreRefused) {
    for (const char* name : {"noextension", "docqvm", "doc.png", "doc.qvm.bak", "doc.qv", "doc.qvmx", "doc."}) {
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_FALSE(Load(SmallQvm(), image, name)) << name;
        ExpectOldPicture(image);
    }
}

TEST_F(DocumentLoaderTest, DotInAFolderNameIsNotAnExtension) {
    // The extension is taken from the whole path, so a file without one in a
    // folder called "x.qvm" has the extension "qvm" + separator + "doc".
    const std::string folder = dir.File("x.qvm");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string path = (std::filesystem::path(folder) / "doc").string();
    ASSERT_TRUE(docwriter::WriteFile(path, SmallQvm()));
    ImageBuffer image;
    EXPECT_FALSE(LoadDocument(image, path.c_str()));
    EXPECT_TRUE(image.IsEmpty());
}

TEST_F(DocumentLoaderTest, MissingFileFails) {
    ImageBuffer image;
    MakeOldPicture(image);
    EXPECT_FALSE(LoadDocument(image, dir.File("absent.qvm").c_str()));
    EXPECT_FALSE(LoadDocument(image, dir.File("absent.qvr").c_str()));
    ExpectOldPicture(image);
}

TEST_F(DocumentLoaderTest, SourceWithoutANameIsToldByItsFirstBytes) {
    docwriter::QvrV0Document masks;
    masks.width = 3;
    masks.height = 1;
    Bytes otherMagic = SmallQvm();
    otherMagic[6] = 'X';
    struct Case {
        const char* what;
        Bytes bytes;
        int width; // 0: refused
    };
    const Case cases[] = {
        {"qvm", SmallQvm(), 2},
        {"qvr tiles", SmallQvr(), 2},
        {"qvr masks", docwriter::WriteQvrV0(masks), 3},
        {"other magic", otherMagic, 0},
        {"six bytes", Bytes{'Q', 'V', 'M', 'D', 'A', 'T'}, 0},
        {"empty", Bytes{}, 0},
    };
    for (const Case& c : cases) {
        MemorySource source(c.bytes.data(), c.bytes.size());
        ImageBuffer image;
        MakeOldPicture(image);
        EXPECT_EQ(bool(LoadDocument(image, source)), c.width != 0) << c.what;
        if (c.width != 0)
            EXPECT_EQ(image.width, c.width) << c.what;
        else
            ExpectOldPicture(image);
    }
}

} // namespace

namespace {

// The size a header declares is read without decoding: a batch weighs each
// document by it before loading it.
TEST_F(DocumentLoaderTest, PeekedSizeIsTheSizeTheHeaderDeclares) {
    docwriter::QvmDocument qvm;
    qvm.width = 7;
    qvm.height = 3;
    docwriter::QvrV0Document v0;
    v0.width = 5;
    v0.height = 9;
    docwriter::QvrV1Document v1;
    v1.width = 300;
    v1.height = 2;
    v1.block = Bytes(10, 0xEE);
    const Bytes wholeQvm = docwriter::WriteQvm(qvm);
    struct Case {
        const char* name;
        Bytes bytes;
        bool known;
        uint32_t width, height;
    };
    const Case cases[] = {
        {"a.qvm", wholeQvm, true, 7, 3},
        {"b.qvr", docwriter::WriteQvrV0(v0), true, 5, 9},
        {"c.QVR", docwriter::WriteQvrV1(v1), true, 300, 2},
        {"d.png", wholeQvm, false, 0, 0},
        {"e.qvm", Bytes(wholeQvm.begin(), wholeQvm.begin() + 14), false, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        ASSERT_TRUE(docwriter::WriteFile(path, c.bytes));
        uint32_t width = 0, height = 0;
        EXPECT_EQ(PeekDocumentSize(path.c_str(), width, height), c.known) << c.name;
        if (c.known) {
            EXPECT_EQ(width, c.width) << c.name;
            EXPECT_EQ(height, c.height) << c.name;
        }
    }
}

} // namespace
