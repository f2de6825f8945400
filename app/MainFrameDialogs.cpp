// The commands that open the Option and Conversion dialogs and export the
// layers of a document. The dialogs and the export are not part of the
// program yet: their commands are accepted and do nothing, except that the
// conversion already refuses an empty list.
#include "app/MainFrame.h"

#include "framework/MessageBoxes.h"
#include "res/Messages.h"

void MainFrame::RunOptionDialog() {}

void MainFrame::RunConversion() {
    if (list.Send(LB_GETCOUNT, 0, 0) <= 0) {
        ShowWarning(msg::kListEmpty);
        return;
    }
}

void MainFrame::ExportSelectedLayers() {}
