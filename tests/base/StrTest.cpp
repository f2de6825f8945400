#include "base/Str.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Of(const Str& s) {
    return std::string(s.Text());
}

TEST(StrCapacity, ConstructionRoundsIntoClassesThenTakesRequestExactly) {
    const struct {
        int32_t requested;
        int32_t capacity;
    } cases[] = {{0, 63},    {63, 63},   {64, 127},  {127, 127},   {128, 255},  {255, 255},
                 {256, 511}, {511, 511}, {512, 512}, {1000, 1000}, {5000, 5000}};
    for (const auto& c : cases) {
        Str s(c.requested);
        EXPECT_EQ(s.capacity, c.capacity) << "requested " << c.requested;
        EXPECT_TRUE(s.IsEmpty());
        EXPECT_EQ(s.CharAt(s.capacity), 0);
    }
    Str plain;
    EXPECT_EQ(plain.capacity, 63);
}

TEST(StrCapacity, ReserveGrowsByItsOwnClassesAndKeepsText) {
    const struct {
        int32_t reserve;
        int32_t capacity;
    } cases[] = {{50, 63},     {100, 127},   {200, 255},   {500, 511},  {1000, 1023},
                 {1024, 2047}, {2047, 2047}, {2048, 2048}, {8000, 8000}};
    for (const auto& c : cases) {
        Str s;
        s.Assign("keep");
        s.Reserve(c.reserve);
        EXPECT_EQ(s.capacity, c.capacity) << "reserve " << c.reserve;
        EXPECT_EQ(Of(s), "keep");
    }
}

TEST(StrCapacity, LongAssignGrowsOnceAndKeepsWholeText) {
    Str s;
    const std::string text(300, 'x');
    s.Assign(text.c_str());
    EXPECT_EQ(s.capacity, 511);
    EXPECT_EQ(Of(s), text);
    s.Append(text.c_str());
    EXPECT_EQ(s.capacity, 1023);
    EXPECT_EQ(s.Length(), 600);
}

TEST(StrContent, AppendOfItsOwnTextSurvivesTheBufferMoving) {
    Str s;
    s.Assign(std::string(60, 'a').c_str());
    s.Append(s.Text() + 10); // 50 more characters, the buffer grows underneath
    EXPECT_EQ(s.Length(), 110);
    EXPECT_EQ(Of(s), std::string(110, 'a'));
}

TEST(StrContent, CharAtAndSetCharAtNeverTouchTheFinalByte) {
    Str s;
    s.Assign("abc");
    EXPECT_EQ(s.CharAt(1), 'b');
    EXPECT_EQ(s.CharAt(s.capacity), 0);
    EXPECT_EQ(s.CharAt(s.capacity + 1), 0);
    EXPECT_EQ(s.CharAt(-1), 0);
    EXPECT_EQ(s.SetCharAt(s.capacity, 'z'), s.capacity);
    EXPECT_EQ(s.CharAt(s.capacity), 0);
    s.SetCharAt(1, 0);
    EXPECT_EQ(Of(s), "a");
}

TEST(StrContent, MidCopiesPartsAndClampsTheCount) {
    Str s, out;
    s.Assign("abcdef");
    s.Mid(out, 2, 3);
    EXPECT_EQ(Of(out), "cde");
    s.Mid(out, 2, -1);
    EXPECT_EQ(Of(out), "cdef");
    s.Mid(out, 4, 100);
    EXPECT_EQ(Of(out), "ef");
    s.Mid(out, 6, -1);
    EXPECT_EQ(Of(out), "");
}

TEST(StrContent, AppendCharAndCompareIgnoringCase) {
    Str s;
    s.Assign("QVM");
    EXPECT_EQ(s.CompareNoCase("qvm"), 0);
    EXPECT_NE(s.CompareNoCase("qvr"), 0);
    s.AppendChar('x');
    EXPECT_EQ(Of(s), "QVMx");
}

TEST(StrScan, ReplaceCharWithNulSplitsAList) {
    Str s;
    s.Assign("a;b;");
    s.ReplaceChar(';', 0);
    EXPECT_EQ(std::memcmp(s.data, "a\0b\0\0", 5), 0);
}

TEST(StrScan, FindCharAndFindLast) {
    Str s;
    s.Assign("a.b.c");
    EXPECT_EQ(s.FindChar(0, '.'), 1);
    EXPECT_EQ(s.FindChar(2, '.'), 3);
    EXPECT_EQ(s.FindChar(4, '.'), -1);
    EXPECT_EQ(s.FindLast('.'), 3);
    EXPECT_EQ(s.FindLast('/'), -1);
}

// Paths are UTF-8: "표" is 0xED 0x91 0x9C, "😀" four bytes, "é" two.
TEST(StrUtf8, NamesBeyondAsciiSplitAtTheirSeparators) {
    Str path, name;
    path.Assign("C:\\\xED\x91\x9C\\caf\xC3\xA9 \xF0\x9F\x98\x80.qvm");
    EXPECT_EQ(path.FindLast('\\'), 6);
    path.GetFileName(name);
    EXPECT_EQ(Of(name), "caf\xC3\xA9 \xF0\x9F\x98\x80.qvm");
    path.RemoveFileName();
    EXPECT_EQ(Of(path), "C:\\\xED\x91\x9C");
}

TEST(StrUtf8, CharacterCutShortBeforeTheTerminatorDoesNotStepPastIt) {
    const struct {
        const char* text;
        int steps; // characters up to the terminator
    } cases[] = {{"a\xE8\xA1", 2},        {"\xF0\x9F\x98", 1}, {"\xC3", 1},
                 {"\xE8\xA1\xA8\xE8", 2}, {"\x80\x80", 2},     {"\xC3\x41", 2}};
    for (const auto& c : cases) {
        int steps = 0;
        for (const char* p = c.text; *p != 0; p = text::NextChar(p))
            ++steps;
        EXPECT_EQ(steps, c.steps) << c.text;
    }
    Str s;
    s.Assign("ab\xE8\xA1");
    EXPECT_EQ(s.FindChar(0, 'z'), -1);
    s.ReplaceChar('b', '_');
    EXPECT_EQ(Of(s), "a_\xE8\xA1");
}

TEST(StrPath, FileNameFolderAndExtension) {
    const struct {
        const char* path;
        const char* fileName;
        const char* folder;
        const char* extension;
    } cases[] = {
        {"C:\\dir\\a.qvm", "a.qvm", "C:\\dir", "qvm"},
        {"C:\\a.qvm", "a.qvm", "C:", "qvm"},
        {"a.qvm", "a.qvm", "", "qvm"},
        {"x/y\\z/w", "z/w", "x/y", ""},
        {"dir/sub/b.QVR", "b.QVR", "dir/sub", "QVR"},
        {"C:\\old.2\\file", "file", "C:\\old.2", "2\\file"},
        {"file", "file", "", ""},
        {"a.tar.gz", "a.tar.gz", "", "gz"},
    };
    for (const auto& c : cases) {
        Str path, out;
        path.Assign(c.path);
        path.GetFileName(out);
        EXPECT_EQ(Of(out), c.fileName) << c.path;
        path.GetExtension(out);
        EXPECT_EQ(Of(out), c.extension) << c.path;
        path.RemoveFileName();
        EXPECT_EQ(Of(path), c.folder) << c.path;
    }
}

TEST(StrPath, ReplaceExtension) {
    Str s;
    s.Assign("C:\\x\\a.qvm");
    EXPECT_EQ(s.ReplaceExtension("png"), 6);
    EXPECT_EQ(Of(s), "C:\\x\\a.png");
    s.Assign("C:\\x\\a");
    EXPECT_EQ(s.ReplaceExtension("png"), -1);
    EXPECT_EQ(Of(s), "C:\\x\\a");
}

TEST(StrPath, Unquote) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"\"C:\\my docs\\a.qvm\"", "C:\\my docs\\a.qvm"},
        {"\"a", "\"a"},     // two bytes: unchanged
        {"\"abc", "ab"},    // the last byte goes whatever it is
        {"abc\"", "abc\""}, // no leading quote
        {"\"\"\"", "\""},
    };
    for (const auto& c : cases) {
        Str s;
        s.Assign(c.in);
        s.Unquote();
        EXPECT_EQ(Of(s), c.out) << c.in;
    }
}

TEST(StrPath, ModuleFolderHoldsTheSettingsFileName) {
    Str s;
    ASSERT_TRUE(s.SetToModuleFolder("tessavel.ini"));
    EXPECT_EQ(s.capacity, 511);
    Str name;
    s.GetFileName(name);
    EXPECT_EQ(Of(name), "tessavel.ini");
    s.RemoveFileName();
    EXPECT_FALSE(s.IsEmpty());
}

} // namespace

// Both builds order names alike (the viewer's list and the converter's folder
// order): digits by value, letters ignoring case.
TEST(TextOrder, NamesWithNumbersSortByTheirValue) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"pic2.qvm", "pic10.qvm", -1},
        {"pic10.qvm", "pic100.qvm", -1},
        {"pic9.qvm", "pic10.qvm", -1},
        {"PIC2.qvm", "pic10.qvm", -1},
        {"a.qvm", "B.qvm", -1},
        {"pic", "pic1", -1},
        {"x2y10.qvm", "x2y9.qvm", 1},
        {"x10y1.qvm", "x9y2.qvm", 1},
        {"99999999999999999999a", "100000000000000000000a", -1}, // beyond any integer type
        {"pic3.qvm", "pic3.qvm", 0},
        {"Pic3.QVM", "pic3.qvm", 0},
        {"\xE7\xB5\xB5"
         "2",
         "\xE7\xB5\xB5"
         "10",
         -1}, // text beyond ASCII before the number
    };
    for (const auto& c : cases) {
        const int forward = text::CompareNatural(c.a, c.b);
        const int backward = text::CompareNatural(c.b, c.a);
        EXPECT_EQ((forward > 0) - (forward < 0), c.sign) << c.a << " / " << c.b;
        EXPECT_EQ((backward > 0) - (backward < 0), -c.sign) << c.b << " / " << c.a;
    }
}
