#pragma once
// The frame's "(QVM) Output each layer to alpha PNG" command.

#include "export/LayerExport.h"

// True when selectedPath can be exported: null (no selection) is not, and
// any extension but qvm gets a warning.
bool CanExportLayers(const char* selectedPath);

// The box that says how an export went; nothing for one stopped because the
// session ended.
void ReportLayerExport(bool done, const LayerExportReport& report);

// Writes every layer of the QVM document at selectedPath beside it and says
// how it went in a message box. Null (no selection) does nothing; any
// extension but qvm gets a warning and no file is opened. Layer names are
// read in namesCodePage (0: the automatic rule).
void ExportSelectedLayers(const char* selectedPath, uint32_t namesCodePage = 0);
