// File > Save as: the document shown written as PNG, BMP, PSD or OpenRaster
// into the file the save dialog names, with the layers the pane shows at
// that moment, on a thread of its own.
#include "app/MainFrame.h"

#include "app/FailureList.h"
#include "app/FrameMessages.h"
#include "app/UserLanguage.h"
#include "framework/MessageBoxes.h"
#include "framework/SaveDialog.h"

void MainFrame::SaveShownAs() {
    const char* document = documents.CurrentPath();
    if (saveJob.Running() || document == nullptr || image.IsEmpty())
        return;
    SaveAsJob::Request request;
    request.document = document;
    // The boxes as they are now: a box changed while the dialog is up is
    // not the user's choice for this file.
    request.visible = layerVisible;
    request.namesCodePage = uint32_t(settings.NamesCodePage);
    std::string folder, name;
    SuggestSaveAs(document, OutputFormat::Png, folder, name);
    SaveDialogRequest dialog;
    dialog.filter = kSaveAsFilter;
    dialog.typeIndex = SaveAsTypeIndex(OutputFormat::Png);
    dialog.defaultExtension = kSaveAsDefaultExtension;
    dialog.startFolder = folder.c_str();
    dialog.fileName = name.c_str();
    uint32_t typeIndex = dialog.typeIndex;
    if (!RunSaveDialog(hwnd, dialog, request.output, typeIndex))
        return;
    request.format = ChooseSaveAs(request.output, typeIndex, document);
    if (saveJob.Start(request, hwnd, kSavedAs))
        return;
    // Without a thread it runs here, as it can.
    saveJob.outcome = SaveDocumentAs(request.document.c_str(), request.output.c_str(), request.format, request.visible,
                                     request.namesCodePage, nullptr, nullptr);
    saveJob.request = request;
    OnSavedAs();
}

void MainFrame::OnSavedAs() {
    saveJob.Finish();
    const SaveAsOutcome& outcome = saveJob.outcome;
    // The session is ending: a box would only hold the logoff up.
    if (outcome.stopped)
        return;
    const Texts& texts = UserTexts(settings);
    if (outcome.result == ItemResult::Converted) {
        ShowMessage(texts.exportDone, texts.exportDoneCaption, MB_ICONINFORMATION);
        return;
    }
    // A document that could not be read is named, a file that could not be
    // written is.
    FailureList failed(texts);
    const bool loadFailed = outcome.result == ItemResult::LoadFailed;
    const std::string& path = loadFailed ? saveJob.request.document : saveJob.request.output;
    const size_t separator = path.find_last_of("\\/");
    const std::string file = separator == std::string::npos ? path : path.substr(separator + 1);
    if (loadFailed)
        failed.Add(file.c_str(), (std::string(texts.loadFailed) + ": " + outcome.loadFailure).c_str());
    else
        failed.Add(file.c_str(), WriteFailureReason(outcome.error, texts).c_str());
    ShowWarning(failed.Text(texts.saveFailed).c_str());
}
