// Reading tessavel.ini at start-up (with the window's placement) and writing
// it when the window closes or the session ends.
#include "app/MainFrame.h"

#include "app/SettingsLocation.h"
#include "app/SettingsLock.h"
#include "app/SettingsMerge.h"
#include "export/TempOutput.h"
#include "base/Str.h"

namespace {

// Without saved settings the window takes this share of its monitor's work
// area each way: room for the picture, with the desktop still in sight.
constexpr int32_t kFirstSizeNumerator = 3;
constexpr int32_t kFirstSizeDenominator = 4;

} // namespace

int MainFrame::LoadSettings() {
    SettingsPaths paths;
    FindSettingsPaths(paths);
    WindowState state;
    ReadSettingsFile(paths.read.Text(), state, settings);
    // A second read rather than a copy: the texts own their buffers.
    ReadSettingsFile(paths.read.Text(), loadedWindow, loadedSettings);

    int showCommand = state.showCmd;
    if (state.left == kNoSavedPlacement) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        Resize((work.right - work.left) * kFirstSizeNumerator / kFirstSizeDenominator,
               (work.bottom - work.top) * kFirstSizeNumerator / kFirstSizeDenominator);
        // A first start: the list's width is the default for 96 DPI too.
        state.listWidth = Scaled(state.listWidth);
        CenterWindow(nullptr);
        showCommand = SW_SHOWNORMAL;
    } else {
        WINDOWPLACEMENT placement{};
        placement.rcNormalPosition = {state.left, state.top, state.right, state.bottom};
        // Applied hidden: the window appears only once the command-line file
        // has been opened, in the show state returned here (a maximised
        // window keeps the restored rectangle set now).
        placement.showCmd = SW_HIDE;
        SetPlacement(placement);
    }
    // A hand-edited show command that would keep the window hidden for good
    // opens it normally instead.
    if (showCommand == SW_HIDE || showCommand < 0 || showCommand > SW_MAX)
        showCommand = SW_SHOWNORMAL;
    if (showCommand != SW_SHOWMAXIMIZED)
        KeepInVirtualScreen();

    layersPane.Show(settings.LayersPane != 0);
    ApplySortOrder();
    savedListWidth = state.listWidth;
    if (showCommand == SW_SHOWMAXIMIZED)
        LayOut(savedListWidth); // measured once the window is maximised
    else
        FitListWidth(savedListWidth);
    return showCommand;
}

void MainFrame::FitListWidth(int32_t listWidth) {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    if (listWidth > clientWidth)
        listWidth = clientWidth / 2;
    LayOut(listWidth);
}

void MainFrame::SaveSettings() {
    WindowState state;
    WINDOWPLACEMENT placement{};
    GetPlacement(placement);
    state.left = placement.rcNormalPosition.left;
    state.top = placement.rcNormalPosition.top;
    state.right = placement.rcNormalPosition.right;
    state.bottom = placement.rcNormalPosition.bottom;
    state.showCmd = static_cast<int32_t>(placement.showCmd);
    int32_t listHeight = 0;
    list.GetWindowSize(state.listWidth, listHeight);
    SettingsPaths paths;
    if (!FindSettingsPaths(paths))
        return;
    // Another viewer may have saved since this one started: its keys stay,
    // only those changed here are written over them. Held to the write, so
    // another viewer closing now cannot save between the read and it.
    const SettingsLock lock;
    WindowState onDiskWindow;
    Settings onDisk;
    ReadSettingsFile(paths.read.Text(), onDiskWindow, onDisk);
    WindowState mergedWindow;
    Settings merged;
    MergeWindowState(loadedWindow, state, onDiskWindow, mergedWindow);
    MergeSettings(loadedSettings, settings, onDisk, merged);
    // A file that cannot be written is not reported; the old one stays.
    // What was read at start stays the measure of what changed here, also
    // for a later save (logging off after the close).
    SaveSettingsTo(paths, mergedWindow, merged);
}

bool MainFrame::OnEndSession(WPARAM ending) {
    // Logging off or shutting down ends the process without WM_CLOSE: what
    // changed in this session is written now, as a close would.
    if (ending == FALSE)
        return true;
    SaveSettings();
    // The process is ended once this returns: a conversion or a layer export
    // under way would leave its half-written temporaries. They go now, and
    // no new one is begun (the conversion dialog stops its run as well).
    exportJob.Cancel();
    saveJob.Cancel();
    RemovePendingTemporaries();
    exportJob.Finish();
    saveJob.Finish();
    return true;
}
