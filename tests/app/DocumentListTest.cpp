// The viewer's document list apart from its control: the order, the labels,
// the duplicate check, and the current document kept on its file through
// every change of the list (adding above it, listing the folder again after
// files came, went or were renamed).
#include "app/DocumentList.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
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

// Files of the given sizes and write times (hours after one fixed moment),
// set explicitly so the test never waits on the clock.
struct Dated {
    const char* name;
    int size;
    int hour;
};

void MakeDated(const Folder& folder, const std::vector<Dated>& files) {
    // One moment for every folder of the test, so that equal hours tie.
    static const auto base = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1000);
    for (const Dated& file : files) {
        const std::string path = folder.File(file.name);
        std::ofstream(path, std::ios::binary) << std::string(size_t(file.size), 'x');
        std::filesystem::last_write_time(path, base + std::chrono::hours(file.hour));
    }
}

// pic2 and pic10 tie on both time and size, so ties show their name order
// (numbers by value) in either direction.
const std::vector<Dated> kDated = {
    {"b.qvm", 30, 1}, {"pic10.qvm", 20, 3}, {"A.qvm", 10, 2}, {"pic2.qvm", 20, 3}, {"c.qvm", 5, 9},
};

TEST(DocumentList, EachOrderEitherWaySortsTiesByNameAndKeepsTheCurrentFile) {
    Folder folder({});
    MakeDated(folder, kDated);
    const struct {
        SortKey key;
        bool descending;
        Names order;
    } cases[] = {
        {SortKey::Name, false, {"A.qvm", "b.qvm", "c.qvm", "pic2.qvm", "pic10.qvm"}},
        {SortKey::Name, true, {"pic10.qvm", "pic2.qvm", "c.qvm", "b.qvm", "A.qvm"}},
        {SortKey::Modified, false, {"b.qvm", "A.qvm", "pic2.qvm", "pic10.qvm", "c.qvm"}},
        {SortKey::Modified, true, {"c.qvm", "pic2.qvm", "pic10.qvm", "A.qvm", "b.qvm"}},
        {SortKey::Size, false, {"c.qvm", "A.qvm", "pic2.qvm", "pic10.qvm", "b.qvm"}},
        {SortKey::Size, true, {"b.qvm", "pic2.qvm", "pic10.qvm", "A.qvm", "c.qvm"}},
    };
    for (const auto& c : cases) {
        const std::string what = std::to_string(int(c.key)) + (c.descending ? " descending" : " ascending");
        // Chosen after the listing: the list is sorted anew, pic10 still current.
        DocumentList resorted;
        ASSERT_TRUE(resorted.ListFolder(folder.Path()));
        ASSERT_TRUE(resorted.Select(resorted.IndexOf(folder.File("pic10.qvm").c_str())));
        resorted.SetOrder({c.key, c.descending});
        EXPECT_EQ(LabelsOf(resorted), c.order) << what;
        EXPECT_EQ(CurrentLabel(resorted), "pic10.qvm") << what;
        // Chosen before: the listing comes in that order, and listing again keeps it and the current file.
        DocumentList listed;
        listed.SetOrder({c.key, c.descending});
        ASSERT_TRUE(listed.ListFolder(folder.Path()));
        EXPECT_EQ(LabelsOf(listed), c.order) << what;
        ASSERT_TRUE(listed.Select(2));
        const std::string third = CurrentLabel(listed);
        EXPECT_EQ(listed.ListAgain(), DocumentList::Relisted::Kept) << what;
        EXPECT_EQ(LabelsOf(listed), c.order) << what;
        EXPECT_EQ(CurrentLabel(listed), third) << what;
    }
}

TEST(DocumentList, ASortedListTakesAddedFilesAndNewTimesInItsOrder) {
    Folder folder({});
    MakeDated(folder, kDated);
    Folder other({});
    MakeDated(other, {{"old.qvm", 1, 0}, {"new.qvm", 99, 20}, {"mid.qvm", 15, 2}});
    DocumentList list;
    list.SetOrder({SortKey::Modified, true});
    ASSERT_TRUE(list.ListFolder(folder.Path()));
    ASSERT_TRUE(list.Select(list.IndexOf(folder.File("A.qvm").c_str())));
    // A Ctrl-drop: the files go to their places by time (mid ties with A and
    // sorts after it by name), A stays current, and Down goes on from it.
    EXPECT_EQ(list.AddFiles({other.File("old.qvm"), other.File("new.qvm"), other.File("mid.qvm")}, true), 3);
    EXPECT_EQ(LabelsOf(list),
              (Names{"new.qvm", "c.qvm", "pic2.qvm", "pic10.qvm", "A.qvm", "mid.qvm", "b.qvm", "old.qvm"}));
    EXPECT_EQ(CurrentLabel(list), "A.qvm");
    ASSERT_TRUE(list.Step(true));
    EXPECT_EQ(CurrentLabel(list), "mid.qvm");
    // A file saved again moves to the top when the folder is listed again,
    // still current; the files dropped in stay in their places.
    std::filesystem::last_write_time(folder.File("b.qvm"),
                                     std::filesystem::last_write_time(other.File("new.qvm")) + std::chrono::hours(1));
    ASSERT_TRUE(list.Select(list.IndexOf(folder.File("b.qvm").c_str())));
    EXPECT_EQ(list.ListAgain(), DocumentList::Relisted::Kept);
    EXPECT_EQ(LabelsOf(list),
              (Names{"b.qvm", "new.qvm", "c.qvm", "pic2.qvm", "pic10.qvm", "A.qvm", "mid.qvm", "old.qvm"}));
    EXPECT_EQ(CurrentLabel(list), "b.qvm");
    // Back to names: the dropped files among the folder's by name.
    list.SetOrder({SortKey::Name, false});
    EXPECT_EQ(LabelsOf(list),
              (Names{"A.qvm", "b.qvm", "c.qvm", "mid.qvm", "new.qvm", "old.qvm", "pic2.qvm", "pic10.qvm"}));
    EXPECT_EQ(CurrentLabel(list), "b.qvm");
}

TEST(DocumentList, SameNamesKeepTheirLabelsWhenAnotherOrderPartsThem) {
    Folder one({});
    Folder two({});
    MakeDated(one, {{"m.qvm", 1, 1}});
    MakeDated(two, {{"m.qvm", 3, 3}, {"k.qvm", 2, 2}});
    DocumentList list;
    list.SetOrder({SortKey::Size, false});
    ASSERT_TRUE(list.Add(one.File("m.qvm"), true));
    ASSERT_TRUE(list.AddFiles({two.File("m.qvm"), two.File("k.qvm")}, true) == 2);
    const Names labels = LabelsOf(list);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[1], "k.qvm");
    // The two m.qvm are not side by side, yet still told apart by their folders.
    EXPECT_NE(labels[0], "m.qvm");
    EXPECT_NE(labels[2], "m.qvm");
    EXPECT_NE(labels[0], labels[2]);
}

} // namespace
