#include "framework/ColorButton.h"

#include <commdlg.h>

namespace {

constexpr int kSwatchInset = 5;

} // namespace

void ColorButton::SetColor(COLORREF value) {
    color = value;
    Invalidate();
}

bool ColorButton::Draw(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != hwnd || hwnd == nullptr)
        return false;
    const int pressed = (item.itemState & ODS_SELECTED) != 0 ? 1 : 0;
    RECT face = item.rcItem;
    RECT inner = item.rcItem;
    InflateRect(&inner, -kSwatchInset, -kSwatchInset);
    OffsetRect(&inner, pressed, pressed);

    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    FrameRect(item.hDC, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&inner, -1, -1);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(item.hDC, &inner, brush);
    DeleteObject(brush);
    // No focus rectangle: the swatch is the whole face.
    return true;
}

bool PickColor(HWND owner, COLORREF& colour) {
    COLORREF custom[16];
    custom[0] = colour;
    for (int i = 1; i < 16; ++i)
        custom[i] = RGB(255, 255, 255);
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.rgbResult = colour;
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT;
    if (!ChooseColorA(&dialog))
        return false;
    colour = dialog.rgbResult;
    return true;
}
