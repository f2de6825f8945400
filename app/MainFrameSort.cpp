// The file list's order, chosen in View > Sort by and kept in the settings.
#include "app/MainFrame.h"

#include "res/ResourceIds.h"

void MainFrame::ApplySortOrder() {
    documents.SetOrder({static_cast<SortKey>(settings.SortOrder), settings.SortReverse});
}

void MainFrame::SortList(uint32_t command) {
    if (command == IDM_SORT_REVERSE)
        settings.SortReverse = !settings.SortReverse;
    else
        settings.SortOrder = int32_t(command - IDM_SORT_NAME);
    ApplySortOrder();
    RedrawList();
    // The files beside the shown one are others now: those are read ahead.
    if (documents.Current() >= 0)
        DecodeAhead();
}
