#include "framework/ColorButton.h"

#include "framework/Dpi.h"

#include <commdlg.h>

namespace {

// At 96 DPI; scaled to the button's DPI when drawn.
constexpr int kSwatchInset = 5;
constexpr int kFrameWidth = 1;

} // namespace

void ColorButton::SetColor(COLORREF value) {
    color = value;
    Invalidate();
}

bool ColorButton::Draw(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != hwnd || hwnd == nullptr)
        return false;
    const uint32_t dpi = WindowDpi(hwnd);
    const int inset = ScaleForDpi(kSwatchInset, dpi);
    const int frame = ScaleForDpi(kFrameWidth, dpi);
    const int pressed = (item.itemState & ODS_SELECTED) != 0 ? frame : 0;
    RECT face = item.rcItem;
    RECT inner = item.rcItem;
    InflateRect(&inner, -inset, -inset);
    OffsetRect(&inner, pressed, pressed);

    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < frame; ++i) {
        FrameRect(item.hDC, &inner, black);
        InflateRect(&inner, -1, -1);
    }
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(item.hDC, &inner, brush);
    DeleteObject(brush);
    // The focus rectangle goes in the margin between the face's edge and the
    // swatch, so the keyboard user sees where the focus is.
    if ((item.itemState & ODS_FOCUS) != 0 && inset > 2) {
        RECT focus = item.rcItem;
        const int margin = (inset + 1) / 2;
        InflateRect(&focus, -margin, -margin);
        OffsetRect(&focus, pressed, pressed);
        DrawFocusRect(item.hDC, &focus);
    }
    return true;
}

bool PickColor(HWND owner, COLORREF& colour) {
    COLORREF custom[16];
    custom[0] = colour;
    for (int i = 1; i < 16; ++i)
        custom[i] = RGB(255, 255, 255);
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.rgbResult = colour;
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT;
    if (!ChooseColorW(&dialog))
        return false;
    colour = dialog.rgbResult;
    return true;
}
