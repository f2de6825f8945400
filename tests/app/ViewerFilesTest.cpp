// The real viewer driven from outside (Wine's null driver): what the command
// line, stepping, the list's keys, drops and the recent folders put in the
// list, which file is shown and what the title says.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/PickerDialog.h"
#include "tests/e2e/WindowQuery.h"

#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "tests/support/WaitUntil.h"

#include "TessavelVersion.h"

#include <gtest/gtest.h>

namespace {

using viewer::Lines;
using viewer::Session;
using viewer::Title;

TEST(ViewerStart, PathOnTheCommandLineIsListedAndItsFirstDocumentShown) {
    viewer::DocFolder docs;
    const std::string plain = docs.Sub("plain");
    const std::string spaced = docs.Sub("with space");
    for (const std::string& folder : {plain, spaced}) {
        docs.QvmIn(folder, "b.qvm", 30, 20);
        docs.QvmIn(folder, "c.txt", 5, 5);
        docs.QvmIn(folder, "notes.qvm.bak", 5, 5);
        const std::string hidden = docs.QvmIn(folder, "h.QVM", 6, 4);
        SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
        CreateDirectoryA((folder + "\\d.qvm").c_str(), nullptr);
    }
    docs.QvrIn(plain, "A.QVR", 12, 9);
    const std::string file = docs.QvmIn(spaced, "single one.qvm", 17, 3);

    const struct {
        std::string tail;
        Lines items;
        int selection;
        std::string title;
        std::string recent; // RecDir1 written at close
    } cases[] = {
        {plain, {"A.QVR", "b.qvm", "h.QVM"}, 0, Title(12, 9, "A.QVR"), plain},
        {"\"" + spaced + "\"", {"b.qvm", "h.QVM", "single one.qvm"}, 0, Title(30, 20, "b.qvm"), spaced},
        // A document opens its folder, selected there.
        {"\"" + file + "\"", {"b.qvm", "h.QVM", "single one.qvm"}, 2, Title(17, 3, "single one.qvm"), spaced},
        {spaced + "\\b.qvm", {"b.qvm", "h.QVM", "single one.qvm"}, 0, Title(30, 20, "b.qvm"), spaced},
    };
    for (const auto& c : cases) {
        Session viewer;
        ASSERT_TRUE(viewer.Start(c.tail)) << c.tail;
        EXPECT_EQ(viewer.Items(), c.items) << c.tail;
        EXPECT_EQ(viewer.Selection(), c.selection) << c.tail;
        EXPECT_EQ(viewer.TitleNow(), c.title) << c.tail;
        EXPECT_EQ(viewer.Close(), 0u);
        EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "RecDir1"), c.recent) << c.tail;
    }
}

TEST(ViewerStart, MissingPathIsIgnored) {
    for (const std::string tail : {"Z:\\no\\such\\folder", "\"C:\\no such\\file.qvm\""}) {
        Session viewer;
        ASSERT_TRUE(viewer.Start(tail));
        EXPECT_TRUE(viewer.Items().empty());
        EXPECT_EQ(viewer.TitleNow(), "Tessavel");
        EXPECT_TRUE(viewer.NoBox());
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

TEST(ViewerStart, AFileThatFailsIsNamedInTheTitleAndTheStatusBarWithoutABox) {
    viewer::DocFolder docs;
    const std::string notes = docs.Raw("notes.txt", "not a document");
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + notes + "\""));
    EXPECT_EQ(viewer.TitleNow(), viewer::FailedTitle("notes.txt"));
    EXPECT_EQ(viewer.StatusPart(1), viewer::FailedStatus("not a QVM/QVR document"));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.Items(), Lines{"notes.txt"});
    EXPECT_EQ(viewer.Selection(), 0);
    EXPECT_EQ(viewer.Close(), 0u);
}

// Three documents of different widths, so the title tells which is shown.
struct ThreeDocs {
    ThreeDocs() {
        docs.Qvm("a.qvm", 10, 5);
        docs.Qvm("b.qvm", 20, 5);
        docs.Qvm("c.qvm", 30, 5);
    }
    viewer::DocFolder docs;
};

TEST(ViewerSteps, PreviousAndNextStopAtBothEnds) {
    ThreeDocs three;
    Session viewer;
    ASSERT_TRUE(viewer.Start(three.docs.Path()));
    const struct {
        int command;
        int selection;
        std::string title;
    } steps[] = {
        {viewer::kPrevious, 0, Title(10, 5, "a.qvm")}, {viewer::kNext, 1, Title(20, 5, "b.qvm")},
        {viewer::kNext, 2, Title(30, 5, "c.qvm")},     {viewer::kNext, 2, Title(30, 5, "c.qvm")},
        {viewer::kPrevious, 1, Title(20, 5, "b.qvm")},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(viewer.Send(s.command));
        EXPECT_EQ(viewer.Selection(), s.selection);
        EXPECT_EQ(viewer.TitleNow(), s.title);
    }
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerSteps, NextWithNothingSelectedShowsTheFirstAndPreviousDoesNothing) {
    ThreeDocs three;
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    // A drop with Ctrl only extends the list: nothing gets selected.
    ASSERT_TRUE(viewer.Drop({three.docs.Path()}, true));
    ASSERT_EQ(viewer.Items(), (Lines{"a.qvm", "b.qvm", "c.qvm"}));
    EXPECT_EQ(viewer.Selection(), -1);
    ASSERT_TRUE(viewer.Send(viewer::kPrevious));
    EXPECT_EQ(viewer.Selection(), -1);
    EXPECT_EQ(viewer.TitleNow(), "Tessavel");
    ASSERT_TRUE(viewer.Send(viewer::kNext));
    EXPECT_EQ(viewer.Selection(), 0);
    EXPECT_EQ(viewer.TitleNow(), Title(10, 5, "a.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerSteps, ArrowKeysInTheListShowEachFileAsItIsSelected) {
    ThreeDocs three;
    Session viewer;
    ASSERT_TRUE(viewer.Start(three.docs.Path()));
    const struct {
        UINT key;
        std::string title;
    } keys[] = {{VK_DOWN, Title(20, 5, "b.qvm")}, {VK_DOWN, Title(30, 5, "c.qvm")}, {VK_UP, Title(20, 5, "b.qvm")}};
    for (const auto& k : keys) {
        ASSERT_TRUE(e2e::PressKey(viewer.list, k.key));
        EXPECT_EQ(viewer.TitleNow(), k.title);
    }
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerSteps, FailedLoadNamesTheFileAndNeverPassesThePreviousPictureForIt) {
    viewer::DocFolder docs;
    docs.Qvm("a.qvm", 10, 5);
    docs.Raw("b.qvm", "QVMDATA but nothing after it");
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    ASSERT_TRUE(viewer.Post(viewer::kNext));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.StatusPart(1), viewer::FailedStatus("unsupported version 32")); // the byte after the magic
    EXPECT_EQ(viewer.StatusPart(0), "2 / 2");
    EXPECT_EQ(viewer.Selection(), 1);
    EXPECT_EQ(viewer.TitleNow(), viewer::FailedTitle("b.qvm"));
    EXPECT_EQ(viewer.HorzMax(), 0); // the view shows no picture
    // Copying hands out nothing: what the clipboard held stays, by the key
    // and by the command alike, and the menu greys the item.
    ASSERT_TRUE(e2e::PutClipboardText("kept"));
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'C', e2e::kCtrl));
    ASSERT_TRUE(viewer.Send(viewer::kCopy));
    EXPECT_EQ(e2e::ClipboardText(), "kept");
    const std::optional<e2e::MenuItemState> copy = e2e::ReadMenuItem(viewer.main, viewer::kCopy);
    ASSERT_TRUE(copy.has_value());
    EXPECT_NE(copy->flags & MF_GRAYED, 0u);
    // Stepping back shows the first file again.
    ASSERT_TRUE(viewer.Send(viewer::kPrevious));
    EXPECT_EQ(viewer.TitleNow(), Title(10, 5, "a.qvm"));
    EXPECT_EQ(viewer.HorzMax(), 9);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerStart, NamesWithNumbersAreListedByTheirValue) {
    viewer::DocFolder docs;
    for (const char* name : {"pic10.qvm", "pic1.qvm", "pic100.qvm", "pic2a.qvm", "a.qvm"})
        docs.Qvm(name, 3, 3);
    docs.QvrIn(docs.Path(), "Pic2.qvr", 4, 4);
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "pic1.qvm", "Pic2.qvr", "pic2a.qvm", "pic10.qvm", "pic100.qvm"}));
    // Stepping follows that order.
    ASSERT_TRUE(viewer.Send(viewer::kNext));
    ASSERT_TRUE(viewer.Send(viewer::kNext));
    EXPECT_EQ(viewer.TitleNow(), Title(4, 4, "Pic2.qvr"));
    EXPECT_EQ(viewer.Close(), 0u);
}

// The window that has the keyboard focus in the viewer, and whether the arrow
// keys given to it move the list's selection.
struct FocusCheck {
    HWND focus = nullptr;
    int selectionAfterDown = -2;
};

FocusCheck DownArrowAtTheFocus(Session& viewer) {
    FocusCheck check;
    const std::optional<e2e::ThreadState> state = e2e::ReadThreadState(viewer.main);
    if (!state)
        return check;
    check.focus = state->focus;
    if (check.focus != nullptr && e2e::PressKey(check.focus, VK_DOWN))
        check.selectionAfterDown = viewer.Selection();
    return check;
}

TEST(ViewerFocus, ListHasTheKeysFromStartAndAgainAfterABoxAndADialog) {
    viewer::DocFolder docs;
    for (const char* name : {"a.qvm", "b.qvm", "c.qvm", "d.qvm"})
        docs.Qvm(name, 3, 3);
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    FocusCheck check = DownArrowAtTheFocus(viewer);
    EXPECT_EQ(check.focus, viewer.list) << "at start";
    EXPECT_EQ(check.selectionAfterDown, 1) << "at start";

    // A message box (no Velmora set) takes the focus while it shows.
    ASSERT_TRUE(viewer.Post(viewer::kOpenInVelmora));
    EXPECT_EQ(viewer.DismissBox(), msg::kSetVelmoraLocation);
    ASSERT_TRUE(e2e::Sync(viewer.main));
    check = DownArrowAtTheFocus(viewer);
    EXPECT_EQ(check.focus, viewer.list) << "after a message box";
    EXPECT_EQ(check.selectionAfterDown, 2) << "after a message box";

    ASSERT_TRUE(viewer.Post(IDM_OPTION));
    const e2e::Appeared option = viewer.process.WaitMessageBox();
    ASSERT_NE(option.hwnd, nullptr);
    ASSERT_TRUE(PostMessageA(option.hwnd, WM_COMMAND, IDCANCEL, 0));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    check = DownArrowAtTheFocus(viewer);
    EXPECT_EQ(check.focus, viewer.list) << "after the Option dialog";
    EXPECT_EQ(check.selectionAfterDown, 3) << "after the Option dialog";
    EXPECT_EQ(viewer.Close(), 0u);
}

// Two folders holding documents of the same names, of different sizes.
struct TwoFolders {
    TwoFolders() : one(docs.Sub("one")), two(docs.Sub("two")) {
        docs.QvmIn(one, "a.qvm", 11, 4);
        docs.QvmIn(one, "x.qvm", 12, 4);
        docs.QvmIn(two, "a.qvm", 21, 4);
        docs.QvrIn(two, "b.QVR", 22, 4);
        docs.QvmIn(two, "c.txt", 23, 4);
    }
    viewer::DocFolder docs;
    std::string one;
    std::string two;
};

TEST(ViewerDrops, DropWithoutCtrlReplacesTheListAndShowsTheFirst) {
    TwoFolders f;
    Session viewer;
    ASSERT_TRUE(viewer.Start(f.one));
    ASSERT_TRUE(viewer.Drop({f.two + "\\c.txt", f.two + "\\a.qvm", f.two + "\\gone.qvm", f.one + "\\x.qvm"}));
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "x.qvm"}));
    EXPECT_EQ(viewer.Selection(), 0);
    EXPECT_EQ(viewer.TitleNow(), Title(21, 4, "a.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerDrops, DropWithCtrlExtendsTheListAndKeepsTheShownFile) {
    TwoFolders f;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + f.one + "\\x.qvm\""));
    ASSERT_EQ(viewer.TitleNow(), Title(12, 4, "x.qvm"));
    ASSERT_TRUE(viewer.Drop({f.two + "\\a.qvm"}, true));
    EXPECT_EQ(viewer.Items(), (Lines{"one\\a.qvm", "two\\a.qvm", "x.qvm"}));
    EXPECT_EQ(e2e::ListText(viewer.list, viewer.Selection()), "x.qvm");
    EXPECT_EQ(viewer.TitleNow(), Title(12, 4, "x.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerDrops, SamePathIsListedOnceWhateverItsCaseAndSameNamesOfTwoFoldersTwice) {
    TwoFolders f;
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Drop({f.one + "\\a.qvm"}));
    std::string shouted = f.one + "\\A.QVM";
    for (char& c : shouted)
        c = char(toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(viewer.Drop({shouted, f.one + "\\a.qvm"}, true));
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "x.qvm"})); // one document dropped alone lists its folder
    ASSERT_TRUE(viewer.Drop({f.two + "\\a.qvm"}, true));
    EXPECT_EQ(viewer.Items(), (Lines{"one\\a.qvm", "two\\a.qvm", "x.qvm"}));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerDrops, FolderDroppedAgainWithCtrlIsListedAgainAndBecomesRecent) {
    TwoFolders f;
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Drop({f.one}));
    EXPECT_EQ(viewer.TitleNow(), Title(11, 4, "a.qvm"));
    ASSERT_TRUE(viewer.Drop({f.one}, true));
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "a.qvm", "x.qvm", "x.qvm"}));
    EXPECT_EQ(viewer.Close(), 0u);
    const std::string settings = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir1"), f.one);
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir2"), "");
}

TEST(ViewerRecent, EmptyOrMissingFolderEmptiesTheListKeepsThePictureAndBecomesMostRecent) {
    viewer::DocFolder docs;
    const std::string full = docs.Sub("full");
    const std::string empty = docs.Sub("empty");
    const std::string missing = docs.Path() + "\\missing";
    docs.QvmIn(full, "a.qvm", 9, 8);
    Session viewer;
    viewer::SettingsValues seeded;
    seeded.recDir[0] = empty;
    seeded.recDir[1] = missing;
    ASSERT_TRUE(viewer.WriteSettings(seeded.Text()));
    ASSERT_TRUE(viewer.Start(full)); // recent: full, empty, missing
    ASSERT_EQ(viewer.TitleNow(), Title(9, 8, "a.qvm"));
    const int horzMax = viewer.HorzMax();
    ASSERT_TRUE(viewer.Send(viewer::kRecentFirst + 1)); // empty
    EXPECT_TRUE(viewer.Items().empty());
    EXPECT_EQ(viewer.TitleNow(), Title(9, 8, "a.qvm"));
    EXPECT_EQ(viewer.HorzMax(), horzMax);
    ASSERT_TRUE(viewer.Send(viewer::kRecentFirst + 2)); // missing
    EXPECT_TRUE(viewer.Items().empty());
    EXPECT_EQ(viewer.TitleNow(), Title(9, 8, "a.qvm"));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.Close(), 0u);
    const std::string settings = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir1"), missing);
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir2"), empty);
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir3"), full);
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir4"), "");
}

TEST(ViewerRecent, SixFoldersPushTheFirstOutAndReopeningTheThirdMovesItToTheTop) {
    viewer::DocFolder docs;
    std::vector<std::string> folders;
    for (int i = 1; i <= 6; ++i) {
        folders.push_back(docs.Sub("f" + std::to_string(i)));
        docs.QvmIn(folders.back(), "doc" + std::to_string(i) + ".qvm", i, 2);
    }
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    // Each dropped folder becomes the most recent in turn: f6 f5 f4 f3 f2.
    ASSERT_TRUE(viewer.Drop(folders));
    ASSERT_EQ(viewer.Items().size(), 6u);
    ASSERT_TRUE(viewer.Send(viewer::kRecentFirst + 2)); // the third entry: f4
    EXPECT_EQ(viewer.Items(), Lines{"doc4.qvm"});
    EXPECT_EQ(viewer.TitleNow(), Title(4, 2, "doc4.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
    const std::string settings = *viewer.ReadSettings();
    const std::string expected[5] = {folders[3], folders[5], folders[4], folders[2], folders[1]};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(viewer::ValueOf(settings, "RecDir" + std::to_string(i + 1)), expected[i]) << i;
}

TEST(ViewerCommands, OpenFileListsThePickedFilesAndRemembersTheirFolder) {
    viewer::DocFolder docs;
    const std::string picked = docs.Sub("picked");
    docs.QvmIn(picked, "a.qvm", 8, 3);
    docs.QvmIn(picked, "b.qvm", 9, 3);
    docs.QvmIn(picked, "c.qvm", 10, 3);
    Session viewer;
    viewer::SettingsValues values;
    values.openDir = picked; // where the dialog opens
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start(docs.Path()));

    // Cancelled: nothing changes.
    ASSERT_TRUE(viewer.Post(viewer::kOpenFile));
    e2e::Appeared dialog = viewer.process.WaitMessageBox();
    ASSERT_NE(dialog.hwnd, nullptr);
    ASSERT_TRUE(PostMessageA(dialog.hwnd, WM_COMMAND, IDCANCEL, 0));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    EXPECT_TRUE(viewer.Items().empty());

    ASSERT_TRUE(viewer.Post(viewer::kOpenFile));
    dialog = viewer.process.WaitMessageBox();
    ASSERT_NE(dialog.hwnd, nullptr);
    ASSERT_TRUE(e2e::TypeAndConfirm(dialog.hwnd, "\"c.qvm\" \"b.qvm\""));
    waits::WaitUntil([&] { return viewer.Items().size() == 2; });
    EXPECT_EQ(viewer.Items(), (Lines{"b.qvm", "c.qvm"}));
    EXPECT_EQ(viewer.TitleNow(), Title(9, 3, "b.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
    const std::string settings = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(settings, "OpenDir"), picked);
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir1"), docs.Path()); // the picked folder is not made recent
}

TEST(ViewerCommands, OpenFileStartsInTheFolderShown) {
    TwoFolders f;
    viewer::SettingsValues values;
    values.openDir = f.two; // where the dialog opened before
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + f.one + "\""));
    ASSERT_TRUE(viewer.Post(viewer::kOpenFile));
    const e2e::Appeared dialog = viewer.process.WaitMessageBox();
    ASSERT_NE(dialog.hwnd, nullptr);
    // Only the folder shown holds x.qvm.
    ASSERT_TRUE(e2e::TypeAndConfirm(dialog.hwnd, "x.qvm"));
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(12, 4, "x.qvm"); })) << viewer.TitleNow();
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerCommands, AboutConversionOfAnEmptyListAndQuit) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Post(viewer::kAbout));
    const e2e::Appeared about = viewer.process.WaitMessageBox();
    ASSERT_NE(about.hwnd, nullptr);
    std::string texts = "|";
    for (int i = 0; HWND item = e2e::FindChild(about.hwnd, "Static", i); ++i)
        texts += e2e::WindowText(item) + "|";
    EXPECT_NE(texts.find("|" TESSAVEL_ABOUT_TEXT "|"), std::string::npos) << texts;
    ASSERT_TRUE(viewer.process.DismissMessageBox(about.hwnd));
    ASSERT_TRUE(viewer.Post(viewer::kConvertAll));
    EXPECT_EQ(viewer.DismissBox(), msg::kListEmpty);
    // Quit goes through WM_CLOSE: the settings are written.
    ASSERT_TRUE(e2e::PostCommand(viewer.main, viewer::kQuit));
    EXPECT_EQ(viewer.process.WaitExit(), 0u);
    EXPECT_TRUE(viewer.ReadSettings().has_value());
}

} // namespace
