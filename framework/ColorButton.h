#pragma once
// ColorButton: an owner-drawn push button of a dialog that shows a colour
// swatch, and PickColor, the system colour chooser. The button is attached
// only, never taken over: the owner dialog hands it the WM_DRAWITEM records
// it receives, and the button draws the ones meant for it.

#include "framework/Control.h"

class ColorButton : public Control {
public:
    // Stores the colour (0x00BBGGRR) and has the swatch redrawn.
    void SetColor(COLORREF value);
    // Draws the button face and the swatch: 5 pixels inside the item's
    // rectangle, a black frame one pixel wide, the colour inside the frame,
    // all shifted by the frame's width right and down while pressed, and a
    // focus rectangle between the face's edge and the swatch when the button
    // has the focus. The pixel sizes are for 96 DPI and grow with the
    // button's DPI. A record for another item draws nothing and returns false.
    bool Draw(const DRAWITEMSTRUCT& item);

    COLORREF color = 0;
};

// The colour dialog, starting from colour, which is also the first of its
// 16 custom colours (the other 15 white; the table is not kept between
// calls). On OK colour becomes the choice and the result is true; on cancel
// it is left alone.
bool PickColor(HWND owner, COLORREF& colour);
