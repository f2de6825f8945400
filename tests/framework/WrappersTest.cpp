// The one-handle wrappers and free helpers on the real platform: scroll bars,
// folder search, menus, fonts, the settings reader, file existence, the
// system menu's Close command and the metrics.
#include "TestWindows.h"

#include "framework/FileFind.h"
#include "framework/GdiObject.h"
#include "framework/Menu.h"
#include "framework/MouseInput.h"
#include "framework/Platform.h"
#include "framework/ScrollBar.h"
#include "base/Str.h"
#include "base/Wide.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTestWindow(window, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL));
        vertical.Init(window.hwnd, SB_VERT);
    }
    Live<Window> window;
    ScrollBar vertical;
};

TEST_F(ScrollBarTest, PageDownStopsWhereTheLastPageEndsAtTheMaximum) {
    vertical.SetRange(0, 999, 300, true, false);
    vertical.SetPos(650, false);
    EXPECT_EQ(vertical.HandleScroll(SB_PAGEDOWN, 0, nullptr), 700);
    EXPECT_EQ(vertical.GetPos(), 700);
}

TEST_F(ScrollBarTest, ThumbTrackTakesTheMessageThumb) {
    vertical.SetRange(0, 999, 100, true, false);
    vertical.SetPos(5, false);
    EXPECT_EQ(vertical.HandleScroll(SB_THUMBTRACK, 120, nullptr), 120);
    EXPECT_EQ(vertical.GetPos(), 120);
}

TEST_F(ScrollBarTest, EndScrollLeavesThePosition) {
    vertical.SetRange(0, 999, 100, true, false);
    vertical.SetPos(321, false);
    EXPECT_EQ(vertical.HandleScroll(SB_ENDSCROLL, 0, nullptr), 321);
    EXPECT_EQ(vertical.GetPos(), 321);
}

TEST_F(ScrollBarTest, ContentSmallerThanTheViewKeepsTheStoredPositionAtTheMinimum) {
    vertical.SetRange(0, 199, 300, true, false);
    vertical.SetPos(0, false);
    // The platform keeps a page of at most the range (200 positions), so the
    // last page already starts at the minimum and a line down stays there.
    EXPECT_EQ(vertical.HandleScroll(SB_LINEDOWN, 0, nullptr), 0);
    EXPECT_EQ(vertical.GetPos(), 0);
}

TEST_F(ScrollBarTest, MessageOfAScrollBarControlIsNotForTheWindowsOwnBar) {
    HWND control = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_HORZ, 0, 0, 100, 16, window.hwnd, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    ScrollBar horizontal;
    horizontal.Init(window.hwnd, SB_HORZ);
    horizontal.SetRange(0, 999, 100, true, false);
    horizontal.SetPos(50, false);
    EXPECT_EQ(horizontal.HandleScroll(SB_LINEDOWN, 0, control), -1);
    EXPECT_EQ(horizontal.GetPos(), 50);

    ScrollBar own;
    own.Init(control, SB_CTL);
    own.SetRange(0, 99, 10, false, false);
    EXPECT_EQ(own.HandleScroll(SB_PAGEDOWN, 0, window.hwnd), -1); // another window's message
    EXPECT_EQ(own.HandleScroll(SB_PAGEDOWN, 0, control), 10);
    EXPECT_EQ(own.GetPos(), 10);
}

TEST(FileFind, FolderScanYieldsEveryEntryWithItsDirectoryFlag) {
    TempDir dir;
    docwriter::WriteText(dir.File("a.qvm"), "x");
    docwriter::WriteText(dir.File("b.txt"), "x");
    CreateDirectoryA(dir.File("sub").c_str(), nullptr);
    std::map<std::string, bool> entries;
    FileFind find;
    const std::string pattern = dir.Path() + "\\*.*";
    for (bool more = find.FindFirst(pattern.c_str()); more; more = find.FindNext())
        entries[find.Name()] = find.IsDirectory();
    EXPECT_TRUE(find.Close());
    EXPECT_FALSE(find.Close()); // nothing open any more
    EXPECT_EQ(entries, (std::map<std::string, bool>{
                           {".", true}, {"..", true}, {"a.qvm", false}, {"b.txt", false}, {"sub", true}}));
}

TEST(FileFind, MissingFolderOpensNoSearch) {
    TempDir dir;
    FileFind find;
    const std::string pattern = dir.File("missing") + "\\*.*";
    EXPECT_FALSE(find.FindFirst(pattern.c_str()));
    EXPECT_EQ(find.handle, nullptr);
    EXPECT_FALSE(find.FindNext());
}

TEST(Menu, RecentFolderItemsAreInsertedAndDeletedByPosition) {
    Menu menu;
    menu.Attach(CreatePopupMenu());
    EXPECT_TRUE(menu.InsertString(0, true, 41000, "C:\\first"));
    EXPECT_TRUE(menu.InsertString(0, true, 41001, "C:\\second")); // in front of the first
    ASSERT_EQ(menu.Count(), 2);
    char text[32] = {};
    GetMenuStringA(menu.handle, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "C:\\second");
    EXPECT_EQ(GetMenuItemID(menu.handle, 1), 41000u);
    EXPECT_EQ(GetMenuState(menu.handle, 41000, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), 0u);
    EXPECT_TRUE(menu.DeleteItem(0, true));
    EXPECT_EQ(menu.Count(), 1);
    EXPECT_TRUE(menu.DeleteItem(41000, false));
    EXPECT_EQ(menu.Count(), 0);
    DestroyMenu(menu.handle);
}

TEST(GdiObject, CreatingASecondFontDeletesTheFirst) {
    GdiObject font;
    ASSERT_TRUE(font.CreateFont(12, FW_NORMAL, ANSI_CHARSET, "Tahoma"));
    HGDIOBJ first = font.handle;
    ASSERT_TRUE(font.CreateFont(14, FW_BOLD, ANSI_CHARSET, "Tahoma"));
    EXPECT_NE(font.handle, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u); // no longer a drawing object
    EXPECT_EQ(GetObjectType(font.handle), static_cast<DWORD>(OBJ_FONT));
    HGDIOBJ second = font.handle;
    font.DeleteHandle();
    EXPECT_EQ(font.handle, nullptr);
    EXPECT_EQ(GetObjectType(second), 0u);
}

// A dropped or named path opens a folder or a document, and nothing at all
// when it is missing; a name beyond MAX_PATH is looked up all the same.
TEST(Platform, PathKindTellsFoldersFilesAndMissingPaths) {
    TempDir dir;
    docwriter::WriteText(dir.File("a.qvm"), "x");
    const std::string deep = dir.File(std::string(150, 'd'));
    ASSERT_TRUE(CreateDirectoryW(WidePath(deep.c_str()).c_str(), nullptr));
    const std::string deepFile = deep + "\\" + std::string(150, 'f') + ".qvm";
    const HANDLE created = CreateFileW(WidePath(deepFile.c_str()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    const std::pair<std::string, PathKind> cases[] = {
        {dir.Path(), PathKind::Folder}, {dir.File("a.qvm"), PathKind::File}, {dir.File("b.qvm"), PathKind::Missing},
        {deep, PathKind::Folder},       {deepFile, PathKind::File},          {deep + "\\b.qvm", PathKind::Missing},
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(KindOfPath(path.c_str()), kind) << path;
}

// Points left of or above an origin and a wheel turned toward the user come
// in the halves as large unsigned numbers.
TEST(MouseInput, HalvesGiveSignedPointsAndWheelTurns) {
    const struct {
        uint32_t x, y;
        LONG pointX, pointY;
    } points[] = {{0, 0, 0, 0}, {65535, 5, -1, 5}, {10, 65526, 10, -10}, {32767, 32768, 32767, -32768}};
    for (const auto& p : points) {
        const POINT point = PointOf(p.x, p.y);
        EXPECT_EQ(point.x, p.pointX) << p.x;
        EXPECT_EQ(point.y, p.pointY) << p.y;
    }
    EXPECT_EQ(WheelDeltaOf(120), 120);
    EXPECT_EQ(WheelDeltaOf(65416), -120);
}

TEST(Platform, SystemCloseIsGreyedAndEnabledAgain) {
    Live<Window> window;
    ASSERT_TRUE(CreateTestWindow(window));
    EnableSystemClose(window.hwnd, false);
    EXPECT_TRUE(GetMenuState(GetSystemMenu(window.hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EnableSystemClose(window.hwnd, true);
    EXPECT_FALSE(GetMenuState(GetSystemMenu(window.hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM data) {
    RECT& all = *reinterpret_cast<RECT*>(data);
    UnionRect(&all, &all, area);
    return TRUE;
}

// The virtual screen is the smallest rectangle around every monitor, found
// here from the monitors themselves rather than from the metrics it reads.
TEST(Metrics, VirtualScreenSpansEveryMonitor) {
    RECT monitors{};
    ASSERT_TRUE(EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors)));
    ASSERT_FALSE(IsRectEmpty(&monitors));
    RECT screen{};
    GetVirtualScreenRect(screen);
    EXPECT_EQ(screen.left, monitors.left);
    EXPECT_EQ(screen.top, monitors.top);
    EXPECT_EQ(screen.right, monitors.right);
    EXPECT_EQ(screen.bottom, monitors.bottom);
}

} // namespace
