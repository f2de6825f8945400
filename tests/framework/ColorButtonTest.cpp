// The colour button drawn into a memory context, and the colour chooser
// driven from inside its modal loop.
#include "Canvas.h"
#include "CommonDialogIds.h"
#include "DialogScript.h"
#include "TestWindows.h"

#include "framework/ColorButton.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr COLORREF kSwatch = RGB(0x99, 0x66, 0x33);
constexpr int kWidth = 40;
constexpr int kHeight = 24;

class ColorButtonDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTestWindow(parent));
        ASSERT_TRUE(button.CreateChild(0, "BUTTON", WS_CHILD | BS_OWNERDRAW, 0, 0, kWidth, kHeight, parent.hwnd, 7));
        button.SetColor(kSwatch);
    }
    DRAWITEMSTRUCT Record(HWND item, UINT state) const {
        DRAWITEMSTRUCT record{};
        record.CtlType = ODT_BUTTON;
        record.CtlID = 7;
        record.itemAction = ODA_DRAWENTIRE;
        record.itemState = state;
        record.hwndItem = item;
        record.hDC = canvas.dc;
        record.rcItem = {0, 0, kWidth, kHeight};
        return record;
    }

    Live<Window> parent;
    ColorButton button;
    Canvas canvas{kWidth, kHeight};
};

TEST_F(ColorButtonDrawing, ReleasedSwatchSitsFivePixelsInsideABlackFrame) {
    ASSERT_TRUE(button.Draw(Record(button.hwnd, 0)));
    const COLORREF black = RGB(0, 0, 0);
    // Frame: the inner rectangle 5..34 x 5..18.
    EXPECT_EQ(canvas.At(5, 5), black);
    EXPECT_EQ(canvas.At(34, 18), black);
    EXPECT_EQ(canvas.At(20, 5), black);
    // Colour: one pixel inside the frame.
    EXPECT_EQ(canvas.At(6, 6), kSwatch);
    EXPECT_EQ(canvas.At(33, 17), kSwatch);
    // Outside the frame: the button face.
    EXPECT_NE(canvas.At(4, 4), black);
    EXPECT_NE(canvas.At(4, 4), kSwatch);
    EXPECT_NE(canvas.At(35, 19), black);
}

TEST_F(ColorButtonDrawing, PressedSwatchMovesOnePixelRightAndDown) {
    ASSERT_TRUE(button.Draw(Record(button.hwnd, ODS_SELECTED)));
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_NE(canvas.At(5, 5), black);
    EXPECT_EQ(canvas.At(6, 6), black);
    EXPECT_EQ(canvas.At(35, 19), black);
    EXPECT_EQ(canvas.At(7, 7), kSwatch);
    EXPECT_EQ(canvas.At(34, 18), kSwatch);
    EXPECT_NE(canvas.At(6, 7), kSwatch); // the frame's left edge
}

TEST_F(ColorButtonDrawing, RecordOfAnotherItemDrawsNothing) {
    EXPECT_FALSE(button.Draw(Record(parent.hwnd, 0)));
    EXPECT_TRUE(canvas.Untouched());
}

TEST_F(ColorButtonDrawing, NewColourIsDrawnNextTime) {
    button.SetColor(RGB(255, 0, 0));
    ASSERT_TRUE(button.Draw(Record(button.hwnd, 0)));
    EXPECT_EQ(canvas.At(20, 12), RGB(255, 0, 0));
}

TEST(PickColor, CancelLeavesTheColour) {
    COLORREF colour = kSwatch;
    ModalDriver driver([](HWND dialog) {
        SetDlgItemTextA(dialog, kChooserRedBox, "255");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(PickColor(nullptr, colour));
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(colour, kSwatch);
}

TEST(PickColor, StartsFromTheCurrentColour) {
    COLORREF colour = kSwatch;
    ModalDriver driver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    EXPECT_TRUE(PickColor(nullptr, colour));
    EXPECT_EQ(colour, kSwatch);
}

TEST(PickColor, OkGivesTheChosenColour) {
    COLORREF colour = kSwatch;
    ModalDriver driver([](HWND dialog) {
        SetDlgItemTextA(dialog, kChooserRedBox, "255");
        SetDlgItemTextA(dialog, kChooserGreenBox, "0");
        SetDlgItemTextA(dialog, kChooserBlueBox, "0");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(PickColor(nullptr, colour));
    EXPECT_EQ(colour, RGB(255, 0, 0));
}

} // namespace
