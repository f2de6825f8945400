#pragma once
// StatusBar: the system's status bar control along the bottom of a frame,
// with parts whose widths are given at 96 DPI and scaled to the window's,
// in the system's status-bar font at the window's DPI.

#include "framework/Control.h"
#include "framework/GdiObject.h"

#include <cstdint>
#include <string>

class StatusBar : public Control {
public:
    // Creates the bar as a child of parent with the given control id.
    bool CreateBar(HWND parent, int childId);
    // Parts: widths at 96 DPI, the last one taking what is left; at most 8.
    void SetParts(const int32_t* widths, int count, uint32_t dpi);
    void SetPartText(int part, const char* text);
    // Parts of at least widths (at 96 DPI), each widened to show its text
    // whole in the bar's font, the last one taking what is left, and the
    // texts set; each text is also the part's tooltip, which the system
    // shows where a part is cut all the same (a window too narrow).
    void SetPartsAndTexts(const int32_t* widths, const char* const* texts, int count, uint32_t dpi);
    // Makes the bar's font again for dpi; the bar's height follows at the
    // next Fit.
    void SetDpi(uint32_t dpi);
    // Moves the bar to the parent's bottom edge after the parent resized;
    // returns its height.
    int32_t Fit();

private:
    // The width text takes in the bar's font, in pixels.
    int32_t TextWidth(const std::wstring& text);

    int32_t partWidths[8] = {};
    int partCount = 0;
    GdiObject font;
};
