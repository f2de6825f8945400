#include "app/LayerExportCommand.h"

#include "app/FailureList.h"
#include "decode/DocumentKind.h"
#include "export/LayerExport.h"
#include "framework/MessageBoxes.h"
#include "base/Str.h"

bool CanExportLayers(const char* selectedPath, const Texts& texts) {
    if (selectedPath == nullptr)
        return false;
    if (KindByExtension(selectedPath) != DocumentKind::Qvm) {
        ShowWarning(texts.qvmOnly);
        return false;
    }
    return true;
}

void ReportLayerExport(bool done, const LayerExportReport& report, const Texts& texts) {
    // The session is ending: the box would only hold the logoff up.
    if (report.status == LayerExportStatus::Stopped)
        return;
    if (done && report.failures.empty()) {
        ShowMessage(texts.exportDone, texts.exportDoneCaption, MB_ICONINFORMATION);
        return;
    }
    // A layer that could not be written is lost data: the export failed, and
    // the box names every such file and why.
    FailureList failed(texts);
    for (const LayerExportReport::Failure& failure : report.failures) {
        Str file;
        Str name;
        file.Assign(failure.file.c_str());
        file.GetFileName(name);
        failed.Add(name.Text(), WriteFailureReason(failure.error, texts).c_str());
    }
    ShowMessage(failed.Text(texts.exportFailed).c_str(), texts.exportFailedCaption, MB_ICONINFORMATION);
}

void ExportSelectedLayers(const char* selectedPath, const Texts& texts, uint32_t namesCodePage) {
    if (!CanExportLayers(selectedPath, texts))
        return;
    LayerExportOptions options;
    options.namesCodePage = namesCodePage;
    LayerExportReport report;
    const bool done = ExportLayers(selectedPath, options, report);
    ReportLayerExport(done, report, texts);
}
