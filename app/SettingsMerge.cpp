#include "app/SettingsMerge.h"

#include <cstring>

namespace {

int32_t Pick(int32_t loaded, int32_t current, int32_t onDisk) {
    return current != loaded ? current : onDisk;
}

bool Same(const Str& a, const Str& b) {
    return std::strcmp(a.Text(), b.Text()) == 0;
}

void PickText(const Str& loaded, const Str& current, const Str& onDisk, Str& out) {
    out.Assign(Same(current, loaded) ? onDisk.Text() : current.Text());
}

} // namespace

void MergeSettings(const Settings& loaded, const Settings& current, const Settings& onDisk, Settings& out) {
    out.Scale = Pick(loaded.Scale, current.Scale, onDisk.Scale);
    out.ColBk = Pick(loaded.ColBk, current.ColBk, onDisk.ColBk);
    for (int i = 0; i < kMouseEventCount; ++i)
        out.Mouse[i] = Pick(loaded.Mouse[i], current.Mouse[i], onDisk.Mouse[i]);
    out.ConvType = Pick(loaded.ConvType, current.ConvType, onDisk.ConvType);
    out.FitToWindow = Pick(loaded.FitToWindow, current.FitToWindow, onDisk.FitToWindow);
    out.LayersPane = Pick(loaded.LayersPane, current.LayersPane, onDisk.LayersPane);
    out.FitEnlarge = Pick(loaded.FitEnlarge, current.FitEnlarge, onDisk.FitEnlarge);
    out.FitEnlargeFullScreen =
        Pick(loaded.FitEnlargeFullScreen, current.FitEnlargeFullScreen, onDisk.FitEnlargeFullScreen);
    out.Thumbnails = Pick(loaded.Thumbnails, current.Thumbnails, onDisk.Thumbnails) != 0;
    out.SlideshowSeconds = Pick(loaded.SlideshowSeconds, current.SlideshowSeconds, onDisk.SlideshowSeconds);
    out.NamesCodePage = Pick(loaded.NamesCodePage, current.NamesCodePage, onDisk.NamesCodePage);
    // The order and its direction are one choice, made in one menu.
    const bool sortChanged = loaded.SortOrder != current.SortOrder || loaded.SortReverse != current.SortReverse;
    out.SortOrder = sortChanged ? current.SortOrder : onDisk.SortOrder;
    out.SortReverse = sortChanged ? current.SortReverse : onDisk.SortReverse;
    out.StepKeepsPlace = Pick(loaded.StepKeepsPlace, current.StepKeepsPlace, onDisk.StepKeepsPlace);
    out.CarryLayerChoices = Pick(loaded.CarryLayerChoices, current.CarryLayerChoices, onDisk.CarryLayerChoices);
    PickText(loaded.VelmoraPath, current.VelmoraPath, onDisk.VelmoraPath, out.VelmoraPath);
    PickText(loaded.OpenDir, current.OpenDir, onDisk.OpenDir, out.OpenDir);
    PickText(loaded.ConvDir, current.ConvDir, onDisk.ConvDir, out.ConvDir);
    PickText(loaded.Language, current.Language, onDisk.Language, out.Language);
    // The last file names an item of the most recent folder, and each
    // recent folder's file one of its own: they go with the list, or a start would look for one folder's file in
    // another.
    bool recentChanged = !Same(loaded.LastFile, current.LastFile);
    for (int i = 0; i < 5; ++i)
        recentChanged =
            recentChanged || !Same(loaded.RecDir[i], current.RecDir[i]) || !Same(loaded.RecFile[i], current.RecFile[i]);
    const Settings& recent = recentChanged ? current : onDisk;
    for (int i = 0; i < 5; ++i) {
        out.RecDir[i].Assign(recent.RecDir[i].Text());
        out.RecFile[i].Assign(recent.RecFile[i].Text());
    }
    out.LastFile.Assign(recent.LastFile.Text());
}

void MergeWindowState(const WindowState& loaded, const WindowState& current, const WindowState& onDisk,
                      WindowState& out) {
    // The placement is one rectangle with its show state: a window moved in
    // this viewer is written whole, one left alone keeps the file's.
    const bool placementChanged = current.left != loaded.left || current.top != loaded.top ||
                                  current.right != loaded.right || current.bottom != loaded.bottom ||
                                  current.showCmd != loaded.showCmd;
    const WindowState& placement = placementChanged ? current : onDisk;
    out.left = placement.left;
    out.top = placement.top;
    out.right = placement.right;
    out.bottom = placement.bottom;
    out.showCmd = placement.showCmd;
    out.listWidth = Pick(loaded.listWidth, current.listWidth, onDisk.listWidth);
}
