#pragma once
// ListBox: a system list box; each operation sends it one message.

#include "framework/Control.h"

class Str;

class ListBox : public Control {
public:
    bool Create(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND parent, int childId) {
        return CreateChild(exStyle, "LISTBOX", style, x, y, width, height, parent, childId);
    }
    // The index where the sorted list put the text (negative on failure).
    int AddString(const char* text);
    LRESULT SetItemData(int index, LPARAM value) { return Send(LB_SETITEMDATA, static_cast<WPARAM>(index), value); }
    LRESULT GetItemData(int index) { return Send(LB_GETITEMDATA, static_cast<WPARAM>(index), 0); }
    LRESULT SetCurSel(int index) { return Send(LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    // In UTF-16 units.
    int GetTextLen(int index) { return static_cast<int>(Send(LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)); }
    // Reserves out to the item's length first. LB_ERR for a missing item.
    LRESULT GetText(int index, Str& out);
    LRESULT SetHorizontalExtent(int width) { return Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0); }
    // Sets the horizontal scrolling width from the first of the longest
    // items (by bytes, not by drawn width), measured in the list's font, plus
    // 8 pixels. An empty list leaves it as it was.
    void UpdateHorizontalExtent();
};
