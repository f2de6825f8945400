#include "framework/Menu.h"

BOOL Menu::InsertString(UINT positionOrId, bool byPosition, UINT commandId, const char* text) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = 0;
    item.wID = commandId;
    item.dwTypeData = const_cast<char*>(text);
    return InsertMenuItemA(handle, positionOrId, byPosition, &item);
}

BOOL Menu::DeleteItem(UINT positionOrId, bool byPosition) {
    return DeleteMenu(handle, positionOrId, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
}
