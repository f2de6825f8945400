// Choices in the layers pane that reach past one document: layers hidden by
// name stay hidden in the documents shown next (View > Keep hidden layers
// hidden), and one layer shown alone by Alt+click on its box or Alt+Space,
// the boxes put back by the next. The picture is always flattened again from
// the file with the boxes as they then stand.
#include "app/MainFrame.h"

#include "base/LayerName.h"

std::vector<std::string> MainFrame::ShownLayerNames() const {
    std::vector<std::string> names;
    for (const LayerEntry& entry : shownLayers.layers)
        names.push_back(text::DecodeLayerName(entry.name.c_str(), uint32_t(settings.NamesCodePage)));
    return names;
}

bool MainFrame::CarryHiddenLayers(const char* path) {
    if (!settings.CarryLayerChoices || hiddenNames.Empty() || path == nullptr || image.IsEmpty())
        return false;
    if (shownLayers.kind == DocumentLayers::Kind::None) {
        // The pane is away: the layers are read for this alone, and the
        // choice stays with the view until the pane shows it.
        ReadDocumentLayers(path, shownLayers);
        layerVisible.clear();
        for (const LayerEntry& entry : shownLayers.layers)
            layerVisible.push_back(entry.visible ? 1 : 0);
    }
    if (!hiddenNames.Apply(ShownLayerNames(), shownLayers.kind == DocumentLayers::Kind::Qvr, layerVisible))
        return false;
    if (layersPane.Visible())
        layersPane.SetBoxes(layerVisible);
    return true;
}

void MainFrame::BoxesChanged(const std::vector<uint8_t>& before) {
    int changedLayer = -1, changes = 0;
    for (size_t i = 0; i < before.size() && i < layerVisible.size(); ++i)
        if (before[i] != layerVisible[i]) {
            changedLayer = int(i);
            ++changes;
        }
    if (changes == 1 && GetKeyState(VK_MENU) < 0) {
        // Alt+click: the box's own flip is no choice of the user's.
        layerVisible = before;
        SoloLayer(changedLayer);
        return;
    }
    // A box changed by hand ends the solo: the boxes are the user's again.
    solo.Forget();
    if (settings.CarryLayerChoices)
        hiddenNames.NoteChange(ShownLayerNames(), shownLayers.kind == DocumentLayers::Kind::Qvr, before, layerVisible);
    ShowLayers();
    UpdateStatus();
}

void MainFrame::SoloLayer(int layer) {
    if (!solo.Toggle(layer, layerVisible))
        return;
    // The boxes set in place: this runs inside the pane's own notice of the
    // click, while the pane still handles it.
    layersPane.SetBoxes(layerVisible);
    ShowLayers();
    UpdateStatus();
}

void MainFrame::SoloFocusedLayer(bool fromKeys) {
    if (fromKeys && GetFocus() != layersPane.hwnd) {
        // Alt+Space anywhere else opens the window menu, as it always did.
        Send(WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return;
    }
    if (layersPane.Visible())
        SoloLayer(layersPane.FocusedLayer());
}

void MainFrame::ToggleCarryHiddenLayers() {
    settings.CarryLayerChoices = !settings.CarryLayerChoices;
    hiddenNames.Clear();
    if (!settings.CarryLayerChoices || solo.Layer() >= 0)
        return;
    // The layers already hidden by hand in the document shown are carried
    // from now on.
    std::vector<uint8_t> stored;
    for (const LayerEntry& entry : shownLayers.layers)
        stored.push_back(entry.visible ? 1 : 0);
    hiddenNames.NoteChange(ShownLayerNames(), shownLayers.kind == DocumentLayers::Kind::Qvr, stored, layerVisible);
}
