#include "framework/ComboBox.h"

#include "base/Str.h"
#include "base/Wide.h"

#include <cstring>

LRESULT ComboBox::AddString(const char* text) {
    return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

int ComboBox::FillFromResource(uint32_t stringId, char separator) {
    Str entry(255);
    entry.Clear();
    entry.LoadFromResource(stringId);
    // Measured before the split: an entry that does not end with the
    // separator must not lead the walk past its end into the unused buffer.
    const char* const end = entry.Text() + entry.Length();
    entry.ReplaceChar(separator, '\0');
    int added = 0;
    for (const char* piece = entry.Text(); piece < end && *piece != '\0'; piece += std::strlen(piece) + 1) {
        AddString(piece);
        ++added;
    }
    return added;
}
