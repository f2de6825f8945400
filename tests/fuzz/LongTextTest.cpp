// Texts far longer than any path: a command-line tail of 40 000 characters,
// and texts of megabytes, through Str's scans and path operations and the
// document loader. Characters of several bytes run through all of them, so a
// scan that splits one shows as a wrong byte or a wrong separator.

#include "base/Str.h"
#include "base/Text.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Exactly n bytes: folders of "表ソ" (three bytes each), each 40 bytes with
// its separator, a last folder name padded to the length, then the file name.
std::string DeepPath(size_t n, const std::string& file) {
    std::string path = "C:";
    const std::string folder = "\\dir\xE8\xA1\xA8\xE3\x82\xBD" + std::string(30, 'x');
    while (path.size() + 2 * folder.size() + file.size() < n)
        path += folder;
    path += "\\" + std::string(n - path.size() - 2 - file.size(), 'y');
    return path + "\\" + file;
}

TEST(LongCommandLine, QuotedTailOf40000CharactersUnquotesToTheWholePath) {
    const std::string path = DeepPath(40000 - 2, "doc\xE8\xA1\xA8.qvm");
    Str line;
    line.Assign(("\"" + path + "\"").c_str());
    ASSERT_EQ(line.Length(), 40000);
    line.Unquote();
    EXPECT_EQ(std::string(line.Text()), path);

    Str name;
    line.GetFileName(name);
    EXPECT_EQ(std::string(name.Text()), "doc\xE8\xA1\xA8.qvm");
    Str extension;
    line.GetExtension(extension);
    EXPECT_EQ(std::string(extension.Text()), "qvm");
    EXPECT_EQ(line.ReplaceExtension("png"), int32_t(path.size()) - 4);
    EXPECT_EQ(std::string(line.Text()), path.substr(0, path.size() - 3) + "png");
    line.RemoveFileName();
    EXPECT_EQ(std::string(line.Text()), path.substr(0, path.rfind("\\doc")));
}

TEST(LongCommandLine, TailWithoutClosingQuoteLosesOnlyItsLastByte) {
    const std::string path = DeepPath(40000, "a.qvr");
    Str line;
    line.Assign(("\"" + path).c_str());
    line.Unquote();
    EXPECT_EQ(std::string(line.Text()), path.substr(0, path.size() - 1));
}

// A path as long as the platform's calls take still reaches its document:
// nothing on the way to the file cuts it to a fixed room. Forty thousand
// characters are past every platform's limit; that load fails and leaves the
// picture as it was.
TEST(LongPath, DocumentAtTheLongestPathThePlatformTakesIsLoaded) {
    TempDir dir;
    docwriter::QvmDocument doc;
    doc.width = 2;
    doc.height = 1;
    doc.layers.push_back(docwriter::MakeQvmLayer("ink", docwriter::SolidPixels(2, 1, 10, 20, 30, 255), 0, 255));
    ASSERT_TRUE(docwriter::WriteFile(dir.File("doc.qvm"), docwriter::WriteQvm(doc)));
    const bool windows = text::PathSeparator() == '\\';
    const std::string step = windows ? ".\\" : "./";
    const size_t longest = windows ? 259 : 4095; // MAX_PATH and PATH_MAX, each less its NUL
    std::string path = dir.Path() + step.substr(1);
    while (path.size() + step.size() + 7 <= longest)
        path += step;
    path += "doc.qvm";
    ASSERT_GE(path.size(), longest - 1);

    ImageBuffer image;
    ASSERT_TRUE(LoadDocument(image, path.c_str())) << path.size();
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(image.TopRow(0)[0], 10);

    image.Fill(0x11223344);
    EXPECT_FALSE(LoadDocument(image, DeepPath(40000, "doc.qvm").c_str()));
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(image.TopRow(0)[0], 0x44);
}

TEST(HugeText, SeparatorsAreFoundPastMegabytesOfWideCharacters) {
    std::string text;
    for (int i = 0; i < (1 << 21); ++i)
        text += "\xE8\xA1\xA8"; // 6 MB of three-byte characters
    text += "\\tail.qvr";
    Str s;
    s.Assign(text.c_str());
    EXPECT_EQ(s.FindLast('\\'), int32_t(text.size()) - 9);
    EXPECT_EQ(s.FindChar(0, '\\'), int32_t(text.size()) - 9);
    Str name;
    s.GetFileName(name);
    EXPECT_EQ(std::string(name.Text()), "tail.qvr");

    s.ReplaceChar('\\', '/');
    EXPECT_EQ(s.FindLast('\\'), -1);
    EXPECT_EQ(std::string(s.Text()).substr(0, 6), "\xE8\xA1\xA8\xE8\xA1\xA8");
    EXPECT_EQ(s.FindLast('/'), int32_t(text.size()) - 9);
}

TEST(HugeText, LeadByteAtTheEndOfAFullBufferStopsAtTheTerminator) {
    // Reserve of 2048 and more gives exactly the requested capacity, so the
    // terminator is the buffer's last byte and a step past it is out of bounds.
    const std::string text = std::string((1 << 20) - 1, 'a') + "\xF0"; // a four-byte lead
    Str s;
    s.Reserve(int32_t(text.size()));
    s.Assign(text.c_str());
    ASSERT_EQ(s.capacity, s.Length());
    EXPECT_EQ(s.FindLast('x'), -1);
    EXPECT_EQ(s.FindChar(int32_t(text.size()) - 1, 'x'), -1);
    s.ReplaceChar('x', 'y');
    Str extension;
    s.GetExtension(extension);
    EXPECT_TRUE(extension.IsEmpty());
    EXPECT_EQ(s.CharAt(s.capacity), 0);
}

TEST(HugeText, AppendingATextToItselfKeepsEveryByte) {
    Str s;
    s.Assign("\xC3\xA9");
    for (int i = 0; i < 22; ++i) // 8 MB
        s.Append(s.Text());
    EXPECT_EQ(s.Length(), 2 << 22);
    EXPECT_EQ(s.FindLast('\\'), -1);
    EXPECT_EQ(s.CharAt(s.Length() - 1), '\xA9');
}

} // namespace
