#pragma once
// The frame's "(QVM) Output each layer to alpha PNG" command.

// Writes every layer of the QVM document at selectedPath beside it and says
// how it went in a message box. Null (no selection) does nothing; any
// extension but qvm gets a warning and no file is opened.
void ExportSelectedLayers(const char* selectedPath);
