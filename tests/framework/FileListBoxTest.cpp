// The file list on a real system list box: sorted items with their path
// copies, the duplicate check, the horizontal extent, the freeing of the
// copies and the wheel bindings.
#include "TestWindows.h"

#include "app/FileListFont.h"
#include "framework/FileListBox.h"
#include "base/Str.h"
#include "framework/WheelSink.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

// Array allocations are tracked while `tracking` is on, to see that the list
// frees every path copy it made. Only the test's own allocations run then.
namespace {
bool tracking = false;
void* tracked[64];
int trackedCount = 0;
} // namespace

void* operator new[](std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    if (tracking && trackedCount < 64)
        tracked[trackedCount++] = p;
    return p;
}

void operator delete[](void* p) noexcept {
    for (int i = 0; i < trackedCount; ++i) {
        if (tracked[i] == p) {
            tracked[i] = tracked[--trackedCount];
            break;
        }
    }
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    operator delete[](p);
}

namespace {

class RecordingSink : public WheelSink {
public:
    void OnWheelDelta(int delta) override { deltas.push_back(delta); }
    std::vector<int> deltas;
};

// The style each window of the thread is created with.
HHOOK creationHook = nullptr;
std::vector<DWORD> createdStyles;
LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND)
        createdStyles.push_back(reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->style);
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

class FileListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTestWindow(frame));
        createdStyles.clear();
        creationHook = SetWindowsHookExA(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
        const bool created = CreateFileList(list, frame.hwnd);
        UnhookWindowsHookEx(creationHook);
        ASSERT_TRUE(created);
    }
    void TearDown() override { list.ClearFiles(); }

    bool Add(const char* path, bool check) {
        Str full;
        full.Assign(path);
        return list.AddFile(full, check);
    }
    int Count() { return static_cast<int>(list.Send(LB_GETCOUNT, 0, 0)); }
    std::string TextAt(int index) {
        Str text;
        list.GetText(index, text);
        return text.Text();
    }
    int TextWidth(const char* text) {
        HDC dc = GetDC(list.hwnd);
        HGDIOBJ previous = SelectObject(dc, list.font.Font());
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
        SelectObject(dc, previous);
        ReleaseDC(list.hwnd, dc);
        return size.cx;
    }

    Live<Window> frame;
    Live<FileListBox> list;
};

// The list's font as the list holds it.
LOGFONTW ListFontOf(const FileListBox& list) {
    LOGFONTW font{};
    EXPECT_NE(GetObjectW(list.font.handle, sizeof(font), &font), 0);
    return font;
}

TEST_F(FileListBoxTest, ListIsTheSortedChildInTheSystemsMessageFont) {
    // The list box drops the scroll-bar bits while nothing scrolls, so the
    // style is read as it was given at creation.
    ASSERT_EQ(createdStyles.size(), 1u);
    EXPECT_EQ(createdStyles[0], 0x50300101u); // sorted by the list's own order, not the list box's
    EXPECT_TRUE(GetWindowLongA(list.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetDlgCtrlID(list.hwnd), IDC_FILE_LIST);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list.hwnd, GWLP_WNDPROC)), FrameworkWindowProc);
    ASSERT_NE(list.font.handle, nullptr);
    EXPECT_EQ(list.GetFont(), list.font.Font());
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    const LOGFONTW font = ListFontOf(list);
    EXPECT_EQ(std::wstring(font.lfFaceName), metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight); // the test window is at the system DPI
    // Any character set, so that the system's font linking can show every
    // script: a Japanese one would turn other scripts into boxes.
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
}

TEST_F(FileListBoxTest, FontFollowsTheDpiOfTheWindow) {
    const LONG at96 = ListFontOf(list).lfHeight;
    ASSERT_NE(at96, 0);
    for (const uint32_t dpi : {144u, 192u, 96u}) {
        list.SetDpi(dpi);
        const LOGFONTW font = ListFontOf(list);
        EXPECT_NEAR(font.lfHeight, MulDiv(at96, int(dpi), 96), 1) << dpi;
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET) << dpi;
        EXPECT_EQ(list.GetFont(), list.font.Font()) << dpi;
    }
}

TEST_F(FileListBoxTest, SortedInsertionKeepsEachPathWithItsItem) {
    ASSERT_TRUE(Add("C:\\d\\b.qvm", false));
    ASSERT_TRUE(Add("C:\\e\\a.qvm", false));
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(TextAt(0), "a.qvm");
    EXPECT_STREQ(list.PathAt(0), "C:\\e\\a.qvm");
    EXPECT_EQ(TextAt(1), "b.qvm");
    EXPECT_STREQ(list.PathAt(1), "C:\\d\\b.qvm");
    EXPECT_EQ(list.Send(LB_GETCURSEL, 0, 0), LB_ERR); // adding never selects
}

TEST_F(FileListBoxTest, NamesWithNumbersAreOrderedByTheirValue) {
    for (const char* path : {"C:\\d\\pic10.qvm", "C:\\d\\pic1.qvm", "C:\\e\\Pic2.qvm", "C:\\d\\pic100.qvm",
                             "C:\\d\\a.qvm", "C:\\d\\pic2b.qvm"})
        ASSERT_TRUE(Add(path, false));
    const std::vector<std::string> expected = {"a.qvm", "pic1.qvm", "Pic2.qvm", "pic2b.qvm", "pic10.qvm", "pic100.qvm"};
    ASSERT_EQ(Count(), int(expected.size()));
    for (int i = 0; i < Count(); ++i) {
        EXPECT_EQ(TextAt(i), expected[size_t(i)]) << i;
        const std::string path = list.PathAt(i);
        EXPECT_EQ(path.substr(path.rfind('\\') + 1), expected[size_t(i)]) << i; // each path stays with its item
    }
    // Emptied and filled again, the order starts afresh.
    list.ClearFiles();
    ASSERT_TRUE(Add("C:\\d\\z9.qvm", false));
    ASSERT_TRUE(Add("C:\\d\\z10.qvm", false));
    EXPECT_EQ(TextAt(0), "z9.qvm");
    EXPECT_EQ(TextAt(1), "z10.qvm");
}

TEST_F(FileListBoxTest, DuplicateCheckComparesWholePathsIgnoringCase) {
    ASSERT_TRUE(Add("C:\\d\\a.qvm", false));
    EXPECT_FALSE(Add("c:\\D\\A.QVM", true));
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Add("C:\\other\\a.qvm", true)); // same name, other folder
    EXPECT_TRUE(Add("C:\\d\\a.qvm", false));    // no check: listed twice
    EXPECT_EQ(Count(), 3);
}

TEST_F(FileListBoxTest, SameNamesFromOtherFoldersShowTheFoldersThatTellThemApart) {
    ASSERT_TRUE(Add("C:\\w\\art\\m041.qvm", true));
    ASSERT_TRUE(Add("C:\\w\\art\\b.qvm", true));
    list.SetCurSel(1);
    ASSERT_TRUE(Add("C:\\w\\art\\sub\\m041.qvm", true));
    ASSERT_TRUE(Add("C:\\x\\sub\\m041.qvm", true));
    const struct {
        const char* text;
        const char* path;
    } expected[] = {{"b.qvm", "C:\\w\\art\\b.qvm"},
                    {"art\\m041.qvm", "C:\\w\\art\\m041.qvm"},
                    {"art\\sub\\m041.qvm", "C:\\w\\art\\sub\\m041.qvm"},
                    {"x\\sub\\m041.qvm", "C:\\x\\sub\\m041.qvm"}};
    ASSERT_EQ(Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(TextAt(i), expected[i].text) << i;
        EXPECT_STREQ(list.PathAt(i), expected[i].path) << i; // each path stays with its item
    }
    EXPECT_EQ(list.Send(LB_GETCURSEL, 0, 0), 1); // the first m041.qvm, still selected after its relabelling
}

TEST_F(FileListBoxTest, HorizontalExtentMeasuresTheFirstOfTheLongestItems) {
    const char* narrow = "iiiiiiiiiiiiiiiiiiiii.qvm"; // 25 bytes, sorts first
    const char* wide = "WWWWWWWWWWWWWWWWWWWWW.qvm";   // 25 bytes, drawn wider
    ASSERT_TRUE(Add((std::string("C:\\x\\") + wide).c_str(), false));
    ASSERT_TRUE(Add("C:\\x\\short1.qvm", false)); // 10 bytes
    ASSERT_TRUE(Add((std::string("C:\\x\\") + narrow).c_str(), false));
    ASSERT_EQ(TextAt(0), narrow);
    // A proportional font, so that the two longest names differ in width
    // (the prefix may stand in a fixed-pitch face for the Japanese one). The
    // IPA fonts come with the build set-up.
    HFONT proportional =
        CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "IPAPGothic");
    list.SetFont(proportional, false);
    list.font.DeleteHandle();
    list.font.handle = proportional; // owned by the list from here on
    ASSERT_NE(TextWidth(narrow), TextWidth(wide));
    list.UpdateHorizontalExtent();
    EXPECT_EQ(list.Send(LB_GETHORIZONTALEXTENT, 0, 0), TextWidth(narrow) + 8);
}

TEST_F(FileListBoxTest, EmptyListLeavesTheExtentAsItWas) {
    list.SetHorizontalExtent(123);
    list.UpdateHorizontalExtent();
    EXPECT_EQ(list.Send(LB_GETHORIZONTALEXTENT, 0, 0), 123);
}

TEST_F(FileListBoxTest, ClearFilesFreesEveryPathCopy) {
    trackedCount = 0;
    tracking = true;
    Add("C:\\d\\a.qvm", false);
    Add("C:\\d\\b.qvm", false);
    Add("C:\\d\\c.qvr", false);
    tracking = false;
    const int copies = trackedCount;
    list.ClearFiles();
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(trackedCount, 0);
    EXPECT_EQ(Count(), 0);
}

TEST_F(FileListBoxTest, WheelGoesToItsOwnerInsteadOfScrolling) {
    RecordingSink sink;
    list.SetWheelSink(&sink);
    list.Resize(100, 60);
    for (int i = 0; i < 40; ++i)
        Add(("C:\\d\\file" + std::to_string(100 + i) + ".qvm").c_str(), false);
    list.Send(LB_SETTOPINDEX, 10, 0);
    const LRESULT top = list.Send(LB_GETTOPINDEX, 0, 0);
    ASSERT_EQ(top, 10);

    list.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(5, 5));
    list.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(5, 5));
    list.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-480)), MAKELPARAM(5, 5));
    list.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 0), MAKELPARAM(5, 5));
    EXPECT_EQ(sink.deltas, (std::vector<int>{-120, 120, -480, 0})); // signed, whole
    EXPECT_EQ(list.Send(LB_GETTOPINDEX, 0, 0), top);

    // The system list box itself would have scrolled.
    list.Unsubclass();
    HWND plain = GetDlgItem(frame.hwnd, IDC_FILE_LIST);
    SendMessageA(plain, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(5, 5));
    EXPECT_NE(SendMessageA(plain, LB_GETTOPINDEX, 0, 0), top);
    list.hwnd = plain; // for the clean-up
}

} // namespace
