// The layers pane below the file list: filled for the file shown, and the
// picture flattened again with the layers the user shows or hides there. The
// file is never written; the picture so made is the one copied.
#include "app/MainFrame.h"

#include "app/FrameMessages.h"

#include "decode/DocumentLoader.h"
#include "framework/MessageBoxes.h"
#include "app/UserLanguage.h"
#include "res/ResourceIds.h"

#include <string>

void MainFrame::ToggleLayersPane() {
    if (fullScreen)
        return; // the picture stays alone until full screen is left
    settings.LayersPane = layersPane.Visible() ? 0 : 1;
    layersPane.Show(settings.LayersPane != 0);
    int32_t listWidth = 0, listHeight = 0;
    list.GetWindowSize(listWidth, listHeight);
    LayOut(listWidth);
    if (settings.LayersPane == 0)
        return;
    // The view keeps the layers chosen while the pane was away, so the pane
    // shows that choice again, not the stored one.
    const std::vector<uint8_t> chosen = layerVisible;
    FillLayersPane(documents.CurrentPath());
    if (!chosen.empty() && chosen.size() == layerVisible.size() && chosen != layerVisible) {
        layerVisible = chosen;
        layersPane.Fill(shownLayers, layerVisible, uint32_t(settings.NamesCodePage));
    }
}

void MainFrame::FillLayersPane(const char* path) {
    shownLayers = DocumentLayers();
    layerVisible.clear();
    // Read only while the pane is up: the records of a large document are
    // seeks through the whole file.
    if (!layersPane.Visible() || path == nullptr || image.IsEmpty()) {
        thumbnails.Drop();
        layersPane.Clear();
        return;
    }
    ReadDocumentLayers(path, shownLayers);
    for (const LayerEntry& entry : shownLayers.layers)
        layerVisible.push_back(entry.visible ? 1 : 0);
    layersPane.ResetThumbnails(int(shownLayers.layers.size()));
    layersPane.Fill(shownLayers, layerVisible, uint32_t(settings.NamesCodePage));
    if (shownLayers.layers.empty())
        thumbnails.Drop();
    else
        thumbnails.Request(path, layersPane.ThumbnailSide(), hwnd, kThumbnailsMade);
}

void MainFrame::OnThumbnailsMade() {
    const ThumbnailJob::Made* made = thumbnails.Collect();
    if (made == nullptr)
        return;
    const char* shown = documents.CurrentPath();
    if (shown != nullptr && made->path == shown && layersPane.Visible())
        layersPane.SetThumbnails(made->thumbnails, made->side);
}

void MainFrame::ShowLayers() {
    const char* path = documents.CurrentPath();
    if (path == nullptr)
        return;
    HCURSOR kept = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ImageBuffer flattened;
    const LoadResult read = LoadDocumentShowing(flattened, path, layerVisible, &ahead.Pool());
    SetCursor(kept);
    if (!read) {
        // Worded as the status bar words a file that fails to load.
        ShowWarning((std::string(UserTexts(settings).loadFailed) + ": " + read.reason).c_str());
        return;
    }
    image.Swap(flattened);
    // No longer the file's picture as stored: never kept for it.
    ahead.Disown();
    view.PictureReplaced();
}

void MainFrame::SwitchPane() {
    if (fullScreen)
        return;
    if (GetFocus() == layersPane.hwnd)
        SetFocus(list.hwnd);
    else if (layersPane.Visible())
        layersPane.TakeFocus();
}

bool MainFrame::OnNotify(WPARAM controlId, LPARAM header, LRESULT*) {
    if (controlId != IDC_LAYERS_PANE)
        return false;
    // A click in an empty pane would leave the keys where nothing answers
    // them: they stay with the list.
    if (layersPane.GotFocus(header) && layersPane.Empty()) {
        SetFocus(list.hwnd);
        return false;
    }
    const std::vector<uint8_t> before = layerVisible;
    if (layersPane.CheckChanged(header, layerVisible))
        BoxesChanged(before);
    return false;
}
