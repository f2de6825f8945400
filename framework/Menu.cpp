#include "framework/Menu.h"

#include "base/Wide.h"

BOOL Menu::InsertString(UINT positionOrId, bool byPosition, UINT commandId, const char* text) {
    std::wstring wide = Widen(text);
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = 0;
    item.wID = commandId;
    item.dwTypeData = &wide[0];
    return InsertMenuItemW(handle, positionOrId, byPosition, &item);
}

BOOL Menu::DeleteItem(UINT positionOrId, bool byPosition) {
    return DeleteMenu(handle, positionOrId, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
}
