#include "app/LayerExportCommand.h"

#include "export/LayerExport.h"
#include "framework/MessageBoxes.h"
#include "framework/Str.h"
#include "res/Messages.h"

void ExportSelectedLayers(const char* selectedPath) {
    if (selectedPath == nullptr)
        return;
    Str path;
    path.Assign(selectedPath);
    Str extension;
    path.GetExtension(extension);
    if (extension.CompareNoCase("qvm") != 0) {
        ShowWarning(msg::kQvmOnly);
        return;
    }
    if (ExportLayers(path.Text()))
        ShowMessage(msg::kExportDone, msg::kExportDoneCaption, MB_ICONINFORMATION);
    else
        ShowMessage(msg::kExportFailed, msg::kExportFailedCaption, MB_ICONINFORMATION);
}
