// What the menus show when they open: items that cannot act now are greyed,
// and the Zoom submenu marks the zoom in use. The accelerators go through
// the same states (the system asks for them before it runs a key's command),
// so a greyed command has no key either.
#include "app/MainFrame.h"

#include "app/ViewGeometry.h"
#include "decode/DocumentKind.h"
#include "res/ResourceIds.h"

namespace {

void Enable(HMENU bar, UINT id, bool enabled) {
    EnableMenuItem(bar, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool IsQvmPath(const char* path) {
    return path != nullptr && KindByExtension(path) == DocumentKind::Qvm;
}

} // namespace

bool MainFrame::OnInitMenuPopup(WPARAM, uint32_t, uint32_t systemMenu) {
    if (systemMenu != 0)
        return false;
    UpdateMenuStates();
    return true;
}

void MainFrame::UpdateMenuStates() {
    HMENU bar = GetMenu(hwnd);
    if (bar == nullptr)
        return;
    const int count = documents.Count();
    const int selection = documents.Current();
    Enable(bar, IDM_COPY_TO_CLIPBOARD, !image.IsEmpty());
    Enable(bar, IDM_EXPORT_LAYERS, !exportJob.Running() && selection >= 0 && IsQvmPath(documents.PathAt(selection)));
    Enable(bar, IDM_SAVE_AS, !saveJob.Running() && selection >= 0 && !image.IsEmpty());
    Enable(bar, IDM_CONVERT_ALL, count > 0);
    Enable(bar, IDM_REFRESH, !documents.Folder().empty() || selection >= 0);
    CheckMenuItem(bar, IDM_THUMBNAILS, MF_BYCOMMAND | (grid.IsOpen() ? MF_CHECKED : MF_UNCHECKED));
    Enable(bar, IDM_SLIDESHOW, count > 0);
    CheckMenuItem(bar, IDM_LAYERS_PANE, MF_BYCOMMAND | (layersPane.Visible() ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(bar, IDM_STEP_STARTS_TOP_LEFT, MF_BYCOMMAND | (settings.StepKeepsPlace ? MF_UNCHECKED : MF_CHECKED));
    CheckMenuItem(bar, IDM_CARRY_HIDDEN_LAYERS,
                  MF_BYCOMMAND | (settings.CarryLayerChoices ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(bar, IDM_SOLO_LAYER, MF_BYCOMMAND | (solo.Layer() >= 0 ? MF_CHECKED : MF_UNCHECKED));
    // A fitted picture marks Fit to window alone, whatever scale it shows at.
    const int32_t scale = settings.FitToWindow ? 0 : UsableScale(settings.Scale);
    for (int i = 0; i < kZoomCommandCount; ++i)
        CheckMenuItem(bar, static_cast<UINT>(kZoomCommands[i]),
                      MF_BYCOMMAND | (ScaleForZoomCommand(kZoomCommands[i]) == scale ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(bar, IDM_FLIP_HORIZONTAL, MF_BYCOMMAND | (view.Turn().mirrored ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(bar, IDM_FIT_ENLARGE, MF_BYCOMMAND | (settings.FitEnlarge ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(bar, IDM_FIT_TO_WINDOW, MF_BYCOMMAND | (settings.FitToWindow ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuRadioItem(bar, IDM_SORT_NAME, IDM_SORT_SIZE, UINT(IDM_SORT_NAME + settings.SortOrder), MF_BYCOMMAND);
    CheckMenuItem(bar, IDM_SORT_REVERSE, MF_BYCOMMAND | (settings.SortReverse ? MF_CHECKED : MF_UNCHECKED));
}
