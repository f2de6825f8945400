// The file and folder pickers: the reading of the dialog's answer, and the
// system dialogs themselves driven from inside their modal loops.
#include "DialogScript.h"
#include "TestWindows.h"

#include "framework/FilePicker.h"
#include "framework/FolderPicker.h"
#include "base/Str.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"
#include "CommonDialogIds.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Fills the list's buffer as the open-file dialog leaves it.
void Answer(OpenFileList& list, const char* bytes, size_t size) {
    list.buffer.Reserve(8000);
    std::memset(list.buffer.data, 0, 8000);
    std::memcpy(list.buffer.data, bytes, size);
}

std::vector<std::string> Names(OpenFileList& list) {
    std::vector<std::string> names;
    Str name;
    while (list.Next(name))
        names.emplace_back(name.Text());
    return names;
}

TEST(OpenFileList, OneFileGivesItsFolderAndName) {
    OpenFileList list;
    const char answer[] = "C:\\d\\a.qvm\0";
    Answer(list, answer, sizeof(answer));
    list.ReadSelection(5);
    EXPECT_STREQ(list.folder.Text(), "C:\\d");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a.qvm"}));
}

TEST(OpenFileList, SeveralFilesFollowTheirFolderInTheDialogsOrder) {
    OpenFileList list;
    const char answer[] = "C:\\d\0b.qvm\0a.qvm\0";
    Answer(list, answer, sizeof(answer));
    list.ReadSelection(5);
    EXPECT_STREQ(list.folder.Text(), "C:\\d");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"b.qvm", "a.qvm"}));
}

TEST(OpenFileList, FileInADriveRootGivesTheDriveAlone) {
    OpenFileList list;
    const char answer[] = "C:\\a.qvm\0";
    Answer(list, answer, sizeof(answer));
    list.ReadSelection(3);
    EXPECT_STREQ(list.folder.Text(), "C:");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a.qvm"}));
}

TEST(OpenFileList, NextStopsAtAnOffsetOutsideTheBuffer) {
    OpenFileList list;
    Str name;
    EXPECT_FALSE(list.Next(name)); // never picked
    const char answer[] = "C:\\d\\a.qvm\0";
    Answer(list, answer, sizeof(answer));
    list.ReadSelection(0xFFFF);
    EXPECT_FALSE(list.Next(name));
}

TEST(FolderPicker, DriveRootLosesItsBackslash) {
    const std::pair<const char*, const char*> cases[] = {{"D:\\", "D:"}, {"D:\\x", "D:\\x"}, {"D:", "D:"}, {"", ""}};
    for (const auto& [path, expected] : cases) {
        Str s;
        s.Assign(path);
        StripDriveRoot(s);
        EXPECT_STREQ(s.Text(), expected) << path;
    }
}

class PickerDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.qvm", "b.qvm"})
            std::ofstream(dir.File(name)) << "x";
    }
    TempDir dir;
};

// The folder tree of a folder dialog, searched among all its descendants.
HWND FindFolderTree(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            char name[32] = {};
            GetClassNameA(child, name, sizeof(name));
            if (std::strcmp(name, WC_TREEVIEWA) != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(param) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string SelectedFolderName(HWND tree) {
    char text[MAX_PATH] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(tree);
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    if (item.hItem == nullptr || !TreeView_GetItem(tree, &item))
        return {};
    return text;
}

// The folder dialog fills its tree while it starts, and a selection asked
// for before the tree holds the folder's branch can be lost; under load that
// happens. So the selection is asked for until the tree shows the folder
// selected (at most about two seconds).
void SelectFolder(HWND dialog, const std::string& path) {
    const std::string leaf = path.substr(path.find_last_of('\\') + 1);
    const HWND tree = FindFolderTree(dialog);
    waits::WaitUntil(
        [&] {
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
            PumpMessages();
            return tree == nullptr || SelectedFolderName(tree) == leaf;
        },
        2000);
}

TEST_F(PickerDialogs, OpenDialogWithSeveralFilesListsFolderAndNames) {
    OpenFileList list;
    ModalDriver driver([](HWND dialog) {
        SetDlgItemTextA(dialog, kFileNameBox, "\"b.qvm\" \"a.qvm\"");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(list.Pick(nullptr, "QVM/QVR\0*.qvm;*.qvr\0", "qvm", dir.Path().c_str()));
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(std::string(list.folder.Text()), dir.Path());
    std::vector<std::string> names = Names(list);
    std::sort(names.begin(), names.end()); // the order is the dialog's own
    EXPECT_EQ(names, (std::vector<std::string>{"a.qvm", "b.qvm"}));
}

TEST_F(PickerDialogs, OpenDialogWithOneFileGivesItsFolder) {
    OpenFileList list;
    ModalDriver driver([](HWND dialog) {
        SetDlgItemTextA(dialog, kFileNameBox, "a.qvm");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(list.Pick(nullptr, "QVM/QVR\0*.qvm;*.qvr\0", "qvm", dir.Path().c_str()));
    EXPECT_EQ(std::string(list.folder.Text()), dir.Path());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a.qvm"}));
}

TEST_F(PickerDialogs, CancelledOpenDialogIsFalse) {
    OpenFileList list;
    ModalDriver driver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(list.Pick(nullptr, "QVM/QVR\0*.qvm;*.qvr\0", "qvm", dir.Path().c_str()));
    EXPECT_TRUE(driver.Ran());
}

TEST_F(PickerDialogs, SingleFilePickerGivesTheFullPath) {
    Str path(511);
    ModalDriver driver([](HWND dialog) {
        SetDlgItemTextA(dialog, kFileNameBox, "b.qvm");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(PickFile(nullptr, "*.qvm\0*.qvm\0", "qvm", dir.Path().c_str(), path));
    EXPECT_EQ(std::string(path.Text()), dir.File("b.qvm"));
}

TEST_F(PickerDialogs, FolderPickerReturnsTheChosenFolder) {
    const std::string chosen = dir.Path();
    Str out(511);
    ModalDriver driver([&](HWND dialog) {
        SelectFolder(dialog, chosen);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(PickFolder(nullptr, "folder", out, true));
    EXPECT_EQ(std::string(out.Text()), chosen);
}

TEST_F(PickerDialogs, FolderPickerStripsTheRootOfADrive) {
    for (bool strip : {true, false}) {
        Str out(511);
        ModalDriver driver([](HWND dialog) {
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>("C:\\"));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        ASSERT_TRUE(PickFolder(nullptr, "folder", out, strip));
        EXPECT_STREQ(out.Text(), strip ? "C:" : "C:\\");
    }
}

// Waits until the folder tree shows leaf selected.
bool WaitForSelection(HWND dialog, const std::string& leaf) {
    const HWND tree = FindFolderTree(dialog);
    return tree != nullptr && waits::WaitUntil([&] {
               PumpMessages();
               return SelectedFolderName(tree) == leaf;
           });
}

TEST_F(PickerDialogs, FolderPickerOpensAtTheStartFolder) {
    const std::string start = dir.File("start here");
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));
    Str out(511);
    bool shown = false;
    ModalDriver driver([&](HWND dialog) {
        shown = WaitForSelection(dialog, "start here");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(PickFolder(nullptr, "folder", out, true, start.c_str()));
    EXPECT_TRUE(shown);
    EXPECT_EQ(std::string(out.Text()), start);
}

TEST_F(PickerDialogs, FolderPickerTakesATypedPath) {
    const std::string typed = dir.File("typed");
    ASSERT_TRUE(CreateDirectoryA(typed.c_str(), nullptr));
    Str out(511);
    bool hasEditBox = false;
    ModalDriver driver([&](HWND dialog) {
        HWND edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
        hasEditBox = edit != nullptr;
        if (edit != nullptr)
            SetWindowTextA(edit, typed.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    const bool picked = PickFolder(nullptr, "folder", out, true);
    ASSERT_TRUE(hasEditBox);
    ASSERT_TRUE(picked);
    EXPECT_EQ(std::string(out.Text()), typed);
}

} // namespace
