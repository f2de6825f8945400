#pragma once
// ComboBox: an attached combo box of a dialog.

#include "framework/Control.h"

#include <cstdint>

class ComboBox : public Control {
public:
    LRESULT AddString(const char* text);
    // An index without an entry (or -1) leaves no selection shown.
    LRESULT SetCurSel(int index) { return Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    // -1 when nothing is selected.
    int GetCurSel() { return static_cast<int>(Send(CB_GETCURSEL, 0, 0)); }

    // Adds the pieces of string-table entry stringId, split at separator, in
    // order, up to the first empty piece. Returns the number of items added.
    int FillFromResource(uint32_t stringId, char separator);
};
