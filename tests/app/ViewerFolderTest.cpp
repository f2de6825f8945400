// The real viewer driven from outside (Wine's null driver): one document
// opens its folder, a start without a path comes back to the last folder
// and file, and the folder is listed again by F5 and by itself when a file
// appears or goes, with the selection kept on its file; the order chosen in
// the View menu, and a recent folder opened at the document last shown there.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/PickerDialog.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/WaitUntil.h"

#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

using viewer::Lines;
using viewer::Session;
using viewer::Title;

// Three documents of different widths, so the title tells which is shown.
struct Folder {
    Folder() : path(docs.Sub("paintings")) {
        docs.QvmIn(path, "a.qvm", 10, 5);
        b = docs.QvmIn(path, "b.qvm", 20, 5);
        docs.QvmIn(path, "c.qvm", 30, 5);
        docs.QvmIn(path, "notes.txt", 5, 5);
    }
    viewer::DocFolder docs;
    std::string path;
    std::string b;
};

std::string SelectedName(const Session& viewer) {
    return e2e::ListText(viewer.list, viewer.Selection());
}

TEST(ViewerFolder, OneDocumentListsItsFolderAndIsShownThere) {
    Folder f;
    enum Road { kCommandLine, kDrop, kOpenFile };
    const struct {
        const char* name;
        Road road;
    } roads[] = {{"command line", kCommandLine}, {"drop", kDrop}, {"open file", kOpenFile}};
    for (const auto& r : roads) {
        Session viewer;
        if (r.road == kCommandLine) {
            ASSERT_TRUE(viewer.Start("\"" + f.b + "\""));
        } else if (r.road == kDrop) {
            ASSERT_TRUE(viewer.Start());
            ASSERT_TRUE(viewer.Drop({f.b}));
        } else {
            viewer::SettingsValues values;
            values.openDir = f.path; // where the dialog opens
            ASSERT_TRUE(viewer.WriteSettings(values.Text()));
            ASSERT_TRUE(viewer.Start());
            ASSERT_TRUE(viewer.Post(viewer::kOpenFile));
            const e2e::Appeared dialog = viewer.process.WaitMessageBox();
            ASSERT_NE(dialog.hwnd, nullptr);
            ASSERT_TRUE(e2e::TypeAndConfirm(dialog.hwnd, "b.qvm"));
            waits::WaitUntil([&] { return viewer.Items().size() == 3; });
        }
        EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "b.qvm", "c.qvm"})) << r.name;
        EXPECT_EQ(viewer.Selection(), 1) << r.name;
        EXPECT_EQ(viewer.TitleNow(), Title(20, 5, "b.qvm")) << r.name;
        // Next now has somewhere to go.
        ASSERT_TRUE(viewer.Send(viewer::kNext));
        EXPECT_EQ(viewer.TitleNow(), Title(30, 5, "c.qvm")) << r.name;
        EXPECT_EQ(viewer.Close(), 0u);
        const std::string settings = *viewer.ReadSettings();
        EXPECT_EQ(viewer::ValueOf(settings, "RecDir1"), f.path) << r.name;
        EXPECT_EQ(viewer::ValueOf(settings, "LastFile"), f.path + "\\c.qvm") << r.name;
    }
}

TEST(ViewerFolder, StartWithoutAPathReopensTheLastFolderAtTheLastFile) {
    Folder f;
    const struct {
        const char* when;
        std::string lastFile;
        int selection;
        std::string title;
    } cases[] = {
        {"last file listed", f.b, 1, Title(20, 5, "b.qvm")},
        {"last file gone", f.path + "\\gone.qvm", 0, Title(10, 5, "a.qvm")},
    };
    for (const auto& c : cases) {
        viewer::SettingsValues values;
        values.recDir[0] = f.path;
        values.lastFile = c.lastFile;
        Session viewer;
        ASSERT_TRUE(viewer.WriteSettings(values.Text()));
        ASSERT_TRUE(viewer.Start());
        EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "b.qvm", "c.qvm"})) << c.when;
        EXPECT_EQ(viewer.Selection(), c.selection) << c.when;
        EXPECT_EQ(viewer.TitleNow(), c.title) << c.when;
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

TEST(ViewerFolder, RefreshListsNewAndGoneFilesAndKeepsTheShownOne) {
    Folder f;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + f.b + "\""));
    ASSERT_EQ(viewer.Selection(), 1);
    f.docs.QvmIn(f.path, "ab.qvm", 40, 5); // lists between a.qvm and b.qvm
    DeleteFileA((f.path + "\\c.qvm").c_str());
    ASSERT_TRUE(viewer.Send(IDM_REFRESH));
    // A deleted file stays listed while a reader still holds it open (the
    // pictures read ahead), and the folder watch lists the folder again by
    // itself once it has gone: the list settles, a read may meet it midway.
    const Lines listed = {"a.qvm", "ab.qvm", "b.qvm"};
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.Items() == listed; })) << testing::PrintToString(viewer.Items());
    EXPECT_EQ(SelectedName(viewer), "b.qvm");
    EXPECT_EQ(viewer.TitleNow(), Title(20, 5, "b.qvm"));

    // The file shown goes: the one now in its place is shown.
    DeleteFileA(f.b.c_str());
    ASSERT_TRUE(viewer.Send(IDM_REFRESH));
    const Lines left = {"a.qvm", "ab.qvm"};
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.Items() == left; })) << testing::PrintToString(viewer.Items());
    EXPECT_EQ(SelectedName(viewer), "ab.qvm");
    EXPECT_EQ(viewer.TitleNow(), Title(40, 5, "ab.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerFolder, AFileAppearingInTheFolderIsListedWithoutAsking) {
    Folder f;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + f.b + "\""));
    f.docs.QvmIn(f.path, "ab.qvm", 40, 5);
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.Items().size() == 4; })) << "the new file was not listed";
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "ab.qvm", "b.qvm", "c.qvm"}));
    EXPECT_EQ(SelectedName(viewer), "b.qvm");
    EXPECT_EQ(viewer.TitleNow(), Title(20, 5, "b.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerFolder, SortedNewestFirstAndARecentFolderReopensAtItsLastDocument) {
    Folder f;
    // a newest, b oldest, set explicitly.
    const auto base = std::filesystem::last_write_time(f.b) - std::chrono::hours(10);
    const struct {
        const char* name;
        int hour;
    } times[] = {{"a.qvm", 3}, {"b.qvm", 1}, {"c.qvm", 2}};
    for (const auto& t : times)
        std::filesystem::last_write_time(f.path + "\\" + t.name, base + std::chrono::hours(t.hour));
    const std::string other = f.docs.Sub("other");
    f.docs.QvmIn(other, "x.qvm", 11, 5);
    const std::string y = f.docs.QvmIn(other, "y.qvm", 12, 5);
    const Lines newestFirst = {"a.qvm", "c.qvm", "b.qvm"};
    std::string saved;
    {
        Session viewer;
        ASSERT_TRUE(viewer.Start("\"" + f.b + "\""));
        ASSERT_EQ(viewer.StatusPart(0), "2 / 3");
        ASSERT_TRUE(viewer.Send(IDM_SORT_MODIFIED));
        ASSERT_TRUE(viewer.Send(IDM_SORT_REVERSE));
        EXPECT_EQ(viewer.Items(), newestFirst);
        EXPECT_EQ(SelectedName(viewer), "b.qvm");
        EXPECT_EQ(viewer.TitleNow(), Title(20, 5, "b.qvm"));
        EXPECT_EQ(viewer.StatusPart(0), "3 / 3");
        // Stepping follows the order shown.
        ASSERT_TRUE(viewer.Send(viewer::kPrevious));
        EXPECT_EQ(viewer.TitleNow(), Title(30, 5, "c.qvm"));
        EXPECT_EQ(viewer.StatusPart(0), "2 / 3");
        // Another folder becomes the most recent one.
        ASSERT_TRUE(viewer.Drop({y}));
        EXPECT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(12, 5, "y.qvm"); }));
        EXPECT_EQ(viewer.Close(), 0u);
        saved = *viewer.ReadSettings();
        EXPECT_EQ(viewer::ValueOf(saved, "SortOrder"), "1");
        EXPECT_EQ(viewer::ValueOf(saved, "SortReverse"), "1");
        EXPECT_EQ(viewer::ValueOf(saved, "RecDir2"), f.path);
        EXPECT_EQ(viewer::ValueOf(saved, "RecFile2"), f.path + "\\c.qvm");
    }
    // After a restart the first recent folder comes back at its file, and the
    // second, opened from the menu, at its own, in the order chosen.
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(saved));
    ASSERT_TRUE(viewer.Start());
    EXPECT_EQ(viewer.TitleNow(), Title(12, 5, "y.qvm"));
    ASSERT_TRUE(viewer.Send(viewer::kRecentFirst + 1));
    EXPECT_EQ(viewer.Items(), newestFirst);
    EXPECT_EQ(SelectedName(viewer), "c.qvm");
    EXPECT_EQ(viewer.TitleNow(), Title(30, 5, "c.qvm"));
    EXPECT_EQ(viewer.StatusPart(0), "2 / 3");
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
