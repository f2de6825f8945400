// The commands that open the Option and Conversion dialogs and export the
// layers of the selected document.
#include "app/MainFrame.h"

#include "app/ConversionDialog.h"
#include "app/FrameMessages.h"
#include "app/LayerExportCommand.h"
#include "app/OptionDialog.h"
#include "app/UserLanguage.h"

void MainFrame::RunOptionDialog() {
    // Only the background needs the view repainted: the bindings and the
    // Velmora path are read where they are used.
    if (EditOptions(hwnd, settings))
        view.Invalidate();
}

void MainFrame::RunConversion() {
    ConvertAllFiles(hwnd, documents, settings);
}

void MainFrame::ExportSelectedLayers() {
    // No selection gives no path, and the export does nothing.
    const char* path = documents.CurrentPath();
    if (exportJob.Running() || !CanExportLayers(path, UserTexts(settings)))
        return;
    // On its thread the export leaves the window free for the end of the
    // session, which stops it. Without a thread it runs here, as it can.
    if (!exportJob.Start(path, hwnd, kLayersExported, uint32_t(settings.NamesCodePage)))
        ::ExportSelectedLayers(path, UserTexts(settings), uint32_t(settings.NamesCodePage));
}

void MainFrame::OnLayersExported() {
    if (const LayerExportJob::Outcome* done = exportJob.Finish())
        ReportLayerExport(done->succeeded, done->report, UserTexts(settings));
}
