// The file list on a real system list box: the labels it is given in their
// order with the current one marked, the horizontal extent and the wheel
// bindings.
#include "TestWindows.h"

#include "app/FileListFont.h"
#include "framework/FileListBox.h"
#include "base/Str.h"
#include "framework/WheelSink.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(FileListBoxTest, ShowsTheLabelsInTheirOrderWithTheSelectedOneMarked) {
    // In the order given, not the list box's: pic10 after pic2.
    list.ShowItems({"a.qvm", "pic2.qvm", "pic10.qvm", "art\\m041.qvm"}, 2);
    ASSERT_EQ(Count(), 4);
    EXPECT_EQ(TextAt(0), "a.qvm");
    EXPECT_EQ(TextAt(1), "pic2.qvm");
    EXPECT_EQ(TextAt(2), "pic10.qvm");
    EXPECT_EQ(TextAt(3), "art\\m041.qvm");
    EXPECT_EQ(list.Selected(), 2);
    // Shown again, the items before go; -1 marks none.
    list.ShowItems({"b.qvm"}, -1);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(TextAt(0), "b.qvm");
    EXPECT_EQ(list.Selected(), -1);
    list.Select(0);
    EXPECT_EQ(list.Selected(), 0);
    list.ShowItems({}, -1);
    EXPECT_EQ(Count(), 0);
}

TEST_F(FileListBoxTest, HorizontalExtentMeasuresTheFirstOfTheLongestItems) {
    const char* narrow = "iiiiiiiiiiiiiiiiiiiii.qvm"; // 25 bytes, sorts first
    const char* wide = "WWWWWWWWWWWWWWWWWWWWW.qvm";   // 25 bytes, drawn wider
    list.ShowItems({narrow, "short1.qvm", wide}, -1); // 10 bytes between
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

TEST_F(FileListBoxTest, WheelGoesToItsOwnerInsteadOfScrolling) {
    RecordingSink sink;
    list.SetWheelSink(&sink);
    list.Resize(100, 60);
    std::vector<std::string> labels;
    for (int i = 0; i < 40; ++i)
        labels.push_back("file" + std::to_string(100 + i) + ".qvm");
    list.ShowItems(labels, -1);
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
