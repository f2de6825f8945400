#pragma once
// The frame's "(QVM) Output each layer to alpha PNG" command.

#include "app/Language.h"
#include "export/LayerExport.h"

// The boxes speak the language of texts.

// True when selectedPath can be exported: null (no selection) is not, and
// any extension but qvm gets a warning.
bool CanExportLayers(const char* selectedPath, const Texts& texts);

// The box that says how an export went; nothing for one stopped because the
// session ended.
void ReportLayerExport(bool done, const LayerExportReport& report, const Texts& texts);

// Writes every layer of the QVM document at selectedPath beside it and says
// how it went in a message box. Null (no selection) does nothing; any
// extension but qvm gets a warning and no file is opened. Layer names are
// read in namesCodePage (0: the automatic rule).
void ExportSelectedLayers(const char* selectedPath, const Texts& texts, uint32_t namesCodePage = 0);
