// The file and folder pickers: the reading of the dialog's answer, and the
// system dialogs themselves (the item dialog, and the older ones where COM
// is not started) driven from inside their modal loops.
#include "DialogScript.h"
#include "TestWindows.h"

#include "base/Str.h"
#include "framework/AppShell.h"
#include "framework/FilePicker.h"
#include "framework/FolderPicker.h"
#include "tests/e2e/PickerDialog.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
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

TEST(OpenFileList, ItemDialogPathsReadAsTheOlderDialogsAnswer) {
    const struct {
        std::vector<std::string> paths;
        const char* folder;
        std::vector<std::string> names;
    } cases[] = {
        {{"C:\\d\\a.qvm"}, "C:\\d", {"a.qvm"}},
        {{"C:\\d\\b.qvm", "C:\\d\\a.qvm"}, "C:\\d", {"b.qvm", "a.qvm"}},
        {{"C:\\a.qvm"}, "C:", {"a.qvm"}},
        {{"C:\\a.qvm", "C:\\b.qvm"}, "C:", {"a.qvm", "b.qvm"}},
        // 그림 폴더\絵😀.qvm: UTF-8 all through
        {{"C:\\\xEA\xB7\xB8\xEB\xA6\xBC \xED\x8F\xB4\xEB\x8D\x94\\\xE7\xB5\xB5\xF0\x9F\x98\x80.qvm"},
         "C:\\\xEA\xB7\xB8\xEB\xA6\xBC \xED\x8F\xB4\xEB\x8D\x94",
         {"\xE7\xB5\xB5\xF0\x9F\x98\x80.qvm"}},
    };
    for (const auto& c : cases) {
        OpenFileList list;
        list.TakePaths(c.paths);
        EXPECT_STREQ(list.folder.Text(), c.folder) << c.paths.front();
        EXPECT_EQ(Names(list), c.names) << c.paths.front();
    }
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

// 그림 폴더 😀 and 絵😀 café.qvm: names no code page spells whole.
const std::string kUnicodeFolder = "\xEA\xB7\xB8\xEB\xA6\xBC \xED\x8F\xB4\xEB\x8D\x94 \xF0\x9F\x98\x80";
const std::string kUnicodeFile = "\xE7\xB5\xB5\xF0\x9F\x98\x80 caf\xC3\xA9.qvm";

const char kFilter[] = "QVM/QVR\0*.qvm;*.qvr\0";

// The pickers with COM started, as the program runs them: the item dialog.
class ItemPickers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.Started());
        for (const char* name : {"a.qvm", "b.qvm"})
            std::ofstream(dir.File(name)) << "x";
        unicodeFolder = dir.Path() + "\\" + kUnicodeFolder; // TempDir::File takes the code page
        ASSERT_TRUE(CreateDirectoryW(Wide(unicodeFolder).c_str(), nullptr));
        unicodeFile = unicodeFolder + "\\" + kUnicodeFile;
        HANDLE file = CreateFileW(Wide(unicodeFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    static std::wstring Wide(const std::string& utf8) {
        std::wstring wide(utf8.size() + 1, L'\0');
        wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), int(wide.size())) - 1));
        return wide;
    }
    OleApartment com;
    TempDir dir;
    std::string unicodeFolder, unicodeFile;
};

TEST_F(ItemPickers, OpenDialogListsTheTypedFilesWithTheirFolder) {
    const struct {
        std::string typed;
        std::string folder;
        std::vector<std::string> names; // sorted: the order is the dialog's own
    } cases[] = {
        {"\"b.qvm\" \"a.qvm\"", dir.Path(), {"a.qvm", "b.qvm"}},
        {"a.qvm", dir.Path(), {"a.qvm"}},
        {unicodeFile, unicodeFolder, {kUnicodeFile}},
    };
    for (const auto& c : cases) {
        OpenFileList list;
        bool typed = false;
        ModalDriver driver([&](HWND dialog) { typed = e2e::TypeAndConfirm(dialog, c.typed); });
        ASSERT_TRUE(list.Pick(nullptr, kFilter, "qvm", dir.Path().c_str())) << c.typed;
        EXPECT_TRUE(typed) << c.typed;
        EXPECT_EQ(std::string(list.folder.Text()), c.folder) << c.typed;
        std::vector<std::string> names = Names(list);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names) << c.typed;
    }
}

TEST_F(ItemPickers, CancelledPickersAreFalse) {
    const auto cancel = [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); };
    {
        OpenFileList list;
        ModalDriver driver(cancel);
        EXPECT_FALSE(list.Pick(nullptr, kFilter, "qvm", dir.Path().c_str()));
        EXPECT_TRUE(driver.Ran());
    }
    {
        Str out(511);
        ModalDriver driver(cancel);
        EXPECT_FALSE(PickFolder(nullptr, "folder", out, true, dir.Path().c_str()));
        EXPECT_TRUE(driver.Ran());
    }
}

TEST_F(ItemPickers, SingleFilePickerGivesTheFullPath) {
    Str path(511);
    ModalDriver driver([&](HWND dialog) { e2e::TypeAndConfirm(dialog, kUnicodeFile); });
    ASSERT_TRUE(PickFile(nullptr, "*.qvm\0*.qvm\0", "qvm", unicodeFolder.c_str(), path));
    EXPECT_EQ(std::string(path.Text()), unicodeFile);
}

TEST_F(ItemPickers, FolderPickerGivesTheTypedFolder) {
    const struct {
        std::string typed;
        bool stripRoot;
        std::string expected;
    } cases[] = {
        {unicodeFolder, true, unicodeFolder},
        {"C:\\", true, "C:"},
        {"C:\\", false, "C:\\"},
        // A bare name is a folder inside the one the picker opened at.
        {kUnicodeFolder, true, unicodeFolder},
    };
    for (const auto& c : cases) {
        Str out(511);
        ModalDriver driver([&](HWND dialog) { e2e::TypeAndConfirm(dialog, c.typed); });
        ASSERT_TRUE(PickFolder(nullptr, "folder", out, c.stripRoot, dir.Path().c_str())) << c.typed;
        EXPECT_EQ(std::string(out.Text()), c.expected) << c.typed;
    }
}

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

// Without COM the item dialog cannot be made: the older dialogs still pick.
// Each runs on a thread of its own where COM was never started (the older
// open dialog may start it on its thread itself).
TEST(OlderPickers, WithoutComTheOlderDialogsStillPick) {
    TempDir dir;
    std::ofstream(dir.File("b.qvm")) << "x";
    const std::string chosen = dir.Path();
    std::string file, folder;
    std::thread([&] {
        Str out(511);
        ModalDriver driver([&](HWND dialog) {
            SelectFolder(dialog, chosen);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        if (PickFolder(nullptr, "folder", out, true, chosen.c_str()))
            folder = out.Text();
    }).join();
    std::thread([&] {
        Str out(511);
        ModalDriver driver([](HWND dialog) { e2e::TypeAndConfirm(dialog, "b.qvm"); });
        if (PickFile(nullptr, "*.qvm\0*.qvm\0", "qvm", chosen.c_str(), out))
            file = out.Text();
    }).join();
    EXPECT_EQ(folder, chosen);
    EXPECT_EQ(file, dir.File("b.qvm"));
}

} // namespace
