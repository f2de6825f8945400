// The viewer's document list apart from its control: the order, the labels,
// the duplicate check, and the current document kept on its file through
// every change of the list (adding above it, listing the folder again after
// files came, went or were renamed).
#include "app/DocumentList.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// A folder of (empty) files; only their names and extensions matter here.
class Folder {
public:
    explicit Folder(const Names& names) {
        for (const std::string& name : names)
            Make(name);
    }
    std::string Make(const std::string& name) const {
        const std::string path = dir.File(name);
        std::ofstream(path, std::ios::binary) << "x";
        return path;
    }
    void Remove(const std::string& name) const { std::remove(dir.File(name).c_str()); }
    void Rename(const std::string& from, const std::string& to) const {
        std::rename(dir.File(from).c_str(), dir.File(to).c_str());
    }
    std::string Path() const { return dir.Path(); }
    std::string File(const std::string& name) const { return dir.File(name); }

private:
    TempDir dir;
};

Names LabelsOf(const DocumentList& list) {
    return list.Labels();
}

std::string CurrentLabel(const DocumentList& list) {
    const char* label = list.LabelAt(list.Current());
    return label != nullptr ? label : "(none)";
}

TEST(DocumentList, AFolderListsItsDocumentsInTheFileManagersOrderWithNothingCurrent) {
    Folder folder({"pic10.qvm", "pic2.QVR", "a.qvm", "notes.txt", "Pic1.qvm"});
    DocumentList list;
    ASSERT_TRUE(list.ListFolder(folder.Path()));
    EXPECT_EQ(LabelsOf(list), (Names{"a.qvm", "Pic1.qvm", "pic2.QVR", "pic10.qvm"}));
    EXPECT_EQ(list.Folder(), folder.Path());
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(list.PathAt(0), folder.File("a.qvm"));
    EXPECT_EQ(list.PathAt(4), nullptr);
    // A folder that cannot be read empties the list and is still the one shown.
    EXPECT_FALSE(list.ListFolder(folder.File("missing")));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Folder(), folder.File("missing"));
}

TEST(DocumentList, SteppingStopsAtBothEndsAndForwardFromNothingTakesTheFirst) {
    Folder folder({"a.qvm", "b.qvm", "c.qvm"});
    const struct {
        int from;
        bool forward;
        bool moves;
        int to;
    } cases[] = {
        {-1, true, true, 0}, {-1, false, false, -1}, {0, false, false, 0},
        {0, true, true, 1},  {2, true, false, 2},    {2, false, true, 1},
    };
    for (const auto& c : cases) {
        DocumentList list;
        ASSERT_TRUE(list.ListFolder(folder.Path()));
        ASSERT_TRUE(list.Select(c.from));
        EXPECT_EQ(list.Step(c.forward), c.moves) << c.from << (c.forward ? " on" : " back");
        EXPECT_EQ(list.Current(), c.to) << c.from << (c.forward ? " on" : " back");
    }
    DocumentList empty;
    EXPECT_FALSE(empty.Step(true));
    EXPECT_FALSE(empty.Select(0));
    EXPECT_EQ(empty.Current(), -1);
}

TEST(DocumentList, FilesAddedAboveTheCurrentOneKeepItCurrentSoStepsGoOnFromIt) {
    Folder folder({"m.qvm", "n.qvm", "o.qvm"});
    Folder other({"a.qvm", "b.qvm", "z.qvm"});
    DocumentList list;
    ASSERT_TRUE(list.ListFolder(folder.Path()));
    ASSERT_TRUE(list.Select(1)); // n.qvm
    EXPECT_EQ(list.AddFiles({other.File("a.qvm"), other.File("b.qvm"), other.File("z.qvm")}, true), 3);
    EXPECT_EQ(LabelsOf(list), (Names{"a.qvm", "b.qvm", "m.qvm", "n.qvm", "o.qvm", "z.qvm"}));
    EXPECT_EQ(CurrentLabel(list), "n.qvm");
    ASSERT_TRUE(list.Step(true));
    EXPECT_EQ(CurrentLabel(list), "o.qvm");
    // A folder added beside is merged in the same way.
    Folder third({"c.qvm", "p.qvm"});
    ASSERT_TRUE(list.AddFolder(third.Path()));
    EXPECT_EQ(LabelsOf(list), (Names{"a.qvm", "b.qvm", "c.qvm", "m.qvm", "n.qvm", "o.qvm", "p.qvm", "z.qvm"}));
    EXPECT_EQ(CurrentLabel(list), "o.qvm");
}

TEST(DocumentList, DuplicateCheckComparesWholePathsIgnoringCase) {
    DocumentList list;
    EXPECT_TRUE(list.Add("/d/a.qvm", false));
    EXPECT_FALSE(list.Add("/D/A.QVM", true));
    EXPECT_EQ(list.AddFiles({"/e/b.qvm", "/E/B.qvm"}, true), 1); // one file, given twice in one drop
    EXPECT_TRUE(list.Add("/other/a.qvm", true));                 // the same name in another folder
    EXPECT_TRUE(list.Add("/d/a.qvm", false));                    // no check: listed twice
    EXPECT_EQ(list.Count(), 4);
}

TEST(DocumentList, SameNamesFromOtherFoldersShowTheFoldersThatTellThemApart) {
    DocumentList list;
    ASSERT_TRUE(list.Add("/w/art/m041.qvm", true));
    ASSERT_TRUE(list.Add("/w/art/b.qvm", true));
    ASSERT_TRUE(list.Select(1));
    ASSERT_TRUE(list.Add("/w/art/sub/m041.qvm", true));
    ASSERT_TRUE(list.Add("/x/sub/m041.qvm", true));
    const struct {
        const char* label;
        const char* path;
    } expected[] = {{"b.qvm", "/w/art/b.qvm"},
                    {"art/m041.qvm", "/w/art/m041.qvm"},
                    {"art/sub/m041.qvm", "/w/art/sub/m041.qvm"},
                    {"x/sub/m041.qvm", "/x/sub/m041.qvm"}};
    ASSERT_EQ(list.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(list.LabelAt(i), expected[i].label) << i;
        EXPECT_STREQ(list.PathAt(i), expected[i].path) << i;
    }
    EXPECT_EQ(list.Current(), 1); // the first m041.qvm, still current after its relabelling
    EXPECT_EQ(list.IndexOf("/X/SUB/m041.QVM"), 3);
    EXPECT_EQ(list.IndexOf("/x/m041.qvm"), -1);
}

// What listing the folder again does to the current file, after each kind
// of change in the folder.
TEST(DocumentList, ListingAgainKeepsTheCurrentFileOrSaysWhatTookItsPlace) {
    enum Change { kAddAbove, kRemoveAbove, kRemoveCurrent, kRemoveLast, kRenameCurrent, kRemoveAll };
    const struct {
        const char* what;
        Change change;
        int current; // of a.qvm, c.qvm, e.qvm
        DocumentList::Relisted result;
        Names labels;
        std::string shown;
    } cases[] = {
        {"a file above", kAddAbove, 1, DocumentList::Relisted::Kept, {"a.qvm", "b.qvm", "c.qvm", "e.qvm"}, "c.qvm"},
        {"a file above gone", kRemoveAbove, 1, DocumentList::Relisted::Kept, {"c.qvm", "e.qvm"}, "c.qvm"},
        {"the current one gone", kRemoveCurrent, 1, DocumentList::Relisted::Replaced, {"a.qvm", "e.qvm"}, "e.qvm"},
        {"the last one gone", kRemoveLast, 2, DocumentList::Relisted::Replaced, {"a.qvm", "c.qvm"}, "c.qvm"},
        {"the current one renamed",
         kRenameCurrent,
         1,
         DocumentList::Relisted::Renamed,
         {"a.qvm", "d.qvm", "e.qvm"},
         "d.qvm"},
        {"every file gone", kRemoveAll, 0, DocumentList::Relisted::None, {}, "(none)"},
    };
    for (const auto& c : cases) {
        Folder folder({"a.qvm", "c.qvm", "e.qvm"});
        DocumentList list;
        ASSERT_TRUE(list.ListFolder(folder.Path()));
        ASSERT_TRUE(list.Select(c.current));
        std::string renamed;
        switch (c.change) {
        case kAddAbove:
            folder.Make("b.qvm");
            break;
        case kRemoveAbove:
            folder.Remove("a.qvm");
            break;
        case kRemoveCurrent:
            folder.Remove("c.qvm");
            break;
        case kRemoveLast:
            folder.Remove("e.qvm");
            break;
        case kRenameCurrent:
            folder.Rename("c.qvm", "d.qvm");
            renamed = folder.File("d.qvm");
            break;
        case kRemoveAll:
            for (const char* name : {"a.qvm", "c.qvm", "e.qvm"})
                folder.Remove(name);
            break;
        }
        // The identity of the file, as the viewer asks the file system.
        const auto isCurrentFile = [&](const std::string& path) { return path == renamed; };
        EXPECT_EQ(list.ListAgain(isCurrentFile), c.result) << c.what;
        EXPECT_EQ(LabelsOf(list), c.labels) << c.what;
        EXPECT_EQ(CurrentLabel(list), c.shown) << c.what;
    }
}

TEST(DocumentList, FilesAddedByHandStayThroughAListingAgain) {
    Folder folder({"b.qvm", "d.qvm"});
    Folder other({"a.qvm"});
    DocumentList list;
    ASSERT_TRUE(list.ListFolder(folder.Path()));
    ASSERT_TRUE(list.Add(other.File("a.qvm"), true));
    // Added by hand from the listed folder itself before it appears there.
    ASSERT_TRUE(list.Add(folder.File("c.qvm"), true));
    ASSERT_TRUE(list.Select(3)); // d.qvm
    folder.Make("c.qvm");
    folder.Make("e.qvm");
    EXPECT_EQ(list.ListAgain(), DocumentList::Relisted::Kept);
    EXPECT_EQ(LabelsOf(list), (Names{"a.qvm", "b.qvm", "c.qvm", "d.qvm", "e.qvm"})); // c.qvm once
    EXPECT_EQ(CurrentLabel(list), "d.qvm");
    EXPECT_EQ(list.Folder(), folder.Path());

    // A list of no folder (files picked) is not listed again.
    list.ForgetFolder();
    folder.Remove("b.qvm");
    EXPECT_EQ(list.ListAgain(), DocumentList::Relisted::Kept);
    EXPECT_EQ(list.Count(), 5);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(list.Folder(), "");
}

} // namespace
