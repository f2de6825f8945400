// Controls on real windows: taking a window over and handing it back, the
// combo box filler, and the self-painted progress bar rendered into a
// memory context.
#include "Canvas.h"
#include "TestWindows.h"

#include "framework/AppShell.h"
#include "framework/ComboBox.h"
#include "framework/Control.h"
#include "framework/ProgressBar.h"
#include "res/ResourceIds.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<UINT> originalSaw;

LRESULT CALLBACK OriginalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    originalSaw.push_back(message);
    if (message == WM_USER + 9)
        return 31;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char* OriginalClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = OriginalProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TessavelOriginal";
        RegisterClassA(&windowClass);
        registered = true;
    }
    return "TessavelOriginal";
}

class TakenOver : public Control {
public:
    bool OnCommand(uint32_t, uint32_t, LPARAM) override { return true; }
};

bool Saw(UINT message) {
    return std::find(originalSaw.begin(), originalSaw.end(), message) != originalSaw.end();
}

TEST(Control, TakenOverWindowPassesOnlyUnhandledMessagesToItsOwnProcedure) {
    Live<Window> parent;
    ASSERT_TRUE(CreateTestWindow(parent));
    TakenOver control;
    ASSERT_TRUE(control.CreateChild(0, OriginalClass(), WS_CHILD, 0, 0, 10, 10, parent.hwnd, 5));
    ASSERT_TRUE(control.Subclass());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control.hwnd, GWLP_WNDPROC)), FrameworkWindowProc);

    originalSaw.clear();
    SendMessageA(control.hwnd, WM_COMMAND, 1, 0);
    EXPECT_FALSE(Saw(WM_COMMAND));
    EXPECT_EQ(SendMessageA(control.hwnd, WM_USER + 9, 0, 0), 31); // not handled: the own procedure answers
    EXPECT_TRUE(Saw(WM_USER + 9));

    originalSaw.clear();
    DestroyWindow(control.hwnd);
    EXPECT_TRUE(Saw(WM_DESTROY)); // the control's own procedure frees what it made
    EXPECT_TRUE(Saw(WM_NCDESTROY));
}

TEST(Control, UnsubclassHandsTheWindowBack) {
    Live<Window> parent;
    ASSERT_TRUE(CreateTestWindow(parent));
    TakenOver control;
    ASSERT_TRUE(control.CreateChild(0, OriginalClass(), WS_CHILD, 0, 0, 10, 10, parent.hwnd, 5));
    HWND window = control.hwnd;
    ASSERT_TRUE(control.Subclass());
    control.Unsubclass();
    EXPECT_EQ(control.hwnd, nullptr);
    EXPECT_EQ(control.prevProc, nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), OriginalProc);
    originalSaw.clear();
    SendMessageA(window, WM_COMMAND, 1, 0);
    EXPECT_TRUE(Saw(WM_COMMAND));
    DestroyWindow(window);
}

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTestWindow(parent));
        ASSERT_TRUE(combo.CreateChild(0, "COMBOBOX", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 100, 200,
                                      parent.hwnd, 1003));
    }
    std::vector<std::string> Items() {
        std::vector<std::string> items;
        const int count = static_cast<int>(combo.Send(CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            SendMessageA(combo.hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        return items;
    }
    Live<Window> parent;
    Live<ComboBox> combo;
};

TEST_F(ComboBoxTest, MouseActionEntryGivesEightItemsInValueOrder) {
    EXPECT_EQ(combo.FillFromResource(IDS_MOUSE_ACTIONS, ';'), 8);
    const std::vector<std::string> items = Items();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0], "None");
    EXPECT_EQ(items[4], "Scaling up");
    EXPECT_EQ(items[5], "Scaling down");
    EXPECT_EQ(items[7], "Open in Velmora");
    combo.SetCurSel(5);
    EXPECT_EQ(combo.GetCurSel(), 5);
}

TEST_F(ComboBoxTest, EntryWithoutFinalSeparatorStopsAtItsEnd) {
    EXPECT_EQ(combo.FillFromResource(9001, ';'), 2);
    EXPECT_EQ(Items(), (std::vector<std::string>{"alpha", "beta"}));
}

TEST_F(ComboBoxTest, FillingStopsAtTheFirstEmptyPiece) {
    EXPECT_EQ(combo.FillFromResource(9002, ';'), 1);
    EXPECT_EQ(Items(), (std::vector<std::string>{"one"}));
}

TEST_F(ComboBoxTest, MissingEntryAddsNothing) {
    EXPECT_EQ(combo.FillFromResource(9999, ';'), 0);
    EXPECT_TRUE(Items().empty());
}

// The parent answers WM_GETFONT with a font drawn without smoothing, so
// every text pixel has exactly the text colour.
class FontParent : public Window {
public:
    HFONT font = nullptr;
    bool PreFilter(UINT message, WPARAM, LPARAM, LRESULT* result) override {
        if (message != WM_GETFONT)
            return false;
        *result = reinterpret_cast<LRESULT>(font);
        return true;
    }
};

class ProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppShell::Init(true);
        parent.font = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                                  NONANTIALIASED_QUALITY, 0, "Tahoma");
        ASSERT_TRUE(CreateTestWindow(parent));
        ASSERT_TRUE(bar.CreateChild(0, PROGRESS_CLASSA, WS_CHILD | PBS_SMOOTH, 0, 0, kWidth, kHeight, parent.hwnd,
                                    IDC_CONVERSION_PROGRESS));
        ASSERT_TRUE(bar.Subclass());
        highlight = GetSysColor(COLOR_HIGHLIGHT);
        face = GetSysColor(COLOR_BTNFACE);
        highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        windowText = GetSysColor(COLOR_WINDOWTEXT);
        ASSERT_EQ((std::set<COLORREF>{highlight, face, highlightText, windowText}).size(), 4u);
    }
    void TearDown() override { DeleteObject(parent.font); }

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 30;
    Live<FontParent> parent;
    Live<ProgressBar> bar;
    COLORREF highlight, face, highlightText, windowText;
};

TEST_F(ProgressBarTest, PositionIsClampedToTheRange) {
    bar.SetRange(10, 20);
    bar.SetPos(3);
    EXPECT_EQ(bar.GetPos(), 10);
    bar.SetPos(25);
    EXPECT_EQ(bar.GetPos(), 20);
    bar.SetPos(17);
    EXPECT_EQ(bar.position, 17);
}

TEST_F(ProgressBarTest, FilledPartEndsAtItsShareOfTheWidth) {
    bar.SetRange(0, 4);
    bar.SetPos(1);
    Canvas canvas(kWidth, kHeight);
    bar.Paint(canvas.dc, {0, 0, kWidth, kHeight});
    EXPECT_EQ(canvas.ColoursIn(0, 50), std::set<COLORREF>{highlight});
    EXPECT_EQ(canvas.ColoursIn(50, kWidth), std::set<COLORREF>{face});
}

TEST_F(ProgressBarTest, CentredCaptionChangesColourAtTheBarEdge) {
    bar.SetRange(0, 4);
    bar.SetPos(1);
    bar.SetCaption("WWWWWWWWWWWWWWWW"); // wide enough to cross x = 50
    Canvas canvas(kWidth, kHeight);
    bar.Paint(canvas.dc, {0, 0, kWidth, kHeight});
    EXPECT_EQ(canvas.ColoursIn(0, 50), (std::set<COLORREF>{highlight, highlightText}));
    EXPECT_EQ(canvas.ColoursIn(50, kWidth), (std::set<COLORREF>{face, windowText}));
    // Text on both sides of the edge, right at it.
    EXPECT_EQ(canvas.ColoursIn(45, 50).count(highlightText), 1u);
    EXPECT_EQ(canvas.ColoursIn(50, 55).count(windowText), 1u);
}

TEST_F(ProgressBarTest, EmptyCaptionDrawsNoText) {
    bar.SetRange(0, 4);
    bar.SetPos(3);
    bar.SetCaption("");
    Canvas canvas(kWidth, kHeight);
    bar.Paint(canvas.dc, {0, 0, kWidth, kHeight});
    EXPECT_EQ(canvas.ColoursIn(0, 150), std::set<COLORREF>{highlight});
    EXPECT_EQ(canvas.ColoursIn(150, kWidth), std::set<COLORREF>{face});
}

TEST_F(ProgressBarTest, EmptyRangeOrPositionOutsideANewRangeStaysInsideTheBar) {
    Canvas canvas(kWidth, kHeight);
    bar.SetRange(0, 10);
    bar.SetPos(10);
    bar.SetRange(0, 5); // position 10 is now beyond the maximum
    bar.Paint(canvas.dc, {0, 0, kWidth, kHeight});
    EXPECT_EQ(canvas.ColoursIn(0, kWidth), std::set<COLORREF>{highlight});
    bar.SetRange(3, 3);
    bar.Paint(canvas.dc, {0, 0, kWidth, kHeight});
    EXPECT_EQ(canvas.ColoursIn(0, kWidth), std::set<COLORREF>{face});
}

} // namespace
