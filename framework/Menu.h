#pragma once
// Menu: a menu handle that belongs to its window, edited by position or id.

#include <windows.h>

class Menu {
public:
    void Attach(HMENU menu) { handle = menu; }
    // An enabled, unchecked string item.
    BOOL InsertString(UINT positionOrId, bool byPosition, UINT commandId, const char* text);
    BOOL DeleteItem(UINT positionOrId, bool byPosition);
    int Count() const { return GetMenuItemCount(handle); }

    HMENU handle = nullptr;
};
