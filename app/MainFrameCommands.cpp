// The menu commands, the accelerators that stand for them, the mouse
// bindings and the hand-over of a document to Velmora.
#include "app/MainFrame.h"

#include "app/StatusText.h"
#include "app/ViewGeometry.h"
#include "framework/AboutDialog.h"
#include "framework/AppShell.h"
#include "framework/Clipboard.h"
#include "framework/FilePicker.h"
#include "framework/FolderPicker.h"
#include "framework/MessageBoxes.h"
#include "framework/PictureDib.h"
#include "base/Str.h"
#include "app/UserLanguage.h"
#include "res/ResourceIds.h"
#include "base/Wide.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

const char kDocumentFilter[] = "QVM/QVR\0*.qvm;*.qvr\0";
const char kDocumentExtension[] = "qvm";
constexpr int32_t kFolderRoom = 511;
// ShellExecute's result when the program named does not exist.
constexpr INT_PTR kShellFileNotFound = 2;

// Where the pickers open: the folder of the file selected (or of the first
// listed), which is where the user is, else fallback.
void StartFolder(const DocumentList& documents, const char* fallback, Str& out) {
    const int index = documents.Current();
    if (const char* path = documents.PathAt(index < 0 ? 0 : index)) {
        out.Assign(path);
        out.RemoveFileName();
    } else {
        out.Assign(fallback);
    }
}

} // namespace

bool MainFrame::OnCommand(uint32_t id, uint32_t code, LPARAM) {
    if (id == IDC_FILE_LIST) {
        // Only a change the user made; selecting by program sends nothing.
        // With the grid up the document is read once the view comes back.
        if (code == LBN_SELCHANGE && grid.IsOpen())
            SelectInGrid(list.Selected());
        else if (code == LBN_SELCHANGE)
            ShowFile(list.Selected());
        return true;
    }
    // Any key ends the slideshow, those of a command too, which then acts.
    if (id != IDM_SLIDESHOW)
        StopSlideshow();
    if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + RECENT_FOLDER_COUNT) {
        // OpenFolder rewrites the entries: open a copy of the one chosen.
        Str folder;
        folder.Assign(settings.RecDir[id - IDM_RECENT_FIRST].Text());
        OpenFolder(folder.Text());
        return true;
    }
    if (const int32_t scale = ScaleForZoomCommand(static_cast<int>(id))) {
        view.SetScale(scale);
        UpdateStatus();
        return true;
    }
    switch (id) {
    case IDM_OPEN_FILE:
        OpenFile();
        return true;
    case IDM_OPEN_FOLDER:
        PickAndOpenFolder();
        return true;
    case IDM_OPTION:
        RunOptionDialog();
        return true;
    case IDM_QUIT:
        // Through WM_CLOSE, so the settings are saved.
        Send(WM_CLOSE, 0, 0);
        return true;
    case IDM_PREVIOUS_FILE:
        StepFile(false);
        return true;
    case IDM_NEXT_FILE:
        StepFile(true);
        return true;
    case IDM_OPEN_IN_VELMORA:
        OpenInVelmora();
        return true;
    case IDM_COPY_TO_CLIPBOARD:
        CopyPicture();
        return true;
    case IDM_CONVERT_ALL:
        RunConversion();
        return true;
    case IDM_EXPORT_LAYERS:
        ExportSelectedLayers();
        return true;
    case IDM_SAVE_AS:
        SaveShownAs();
        return true;
    case IDM_FIT_TO_WINDOW:
        view.FitToWindow();
        UpdateStatus();
        return true;
    case IDM_FULL_SCREEN:
        SetFullScreen(!fullScreen);
        return true;
    case IDM_LEAVE_FULL_SCREEN:
        SetFullScreen(false);
        return true;
    case IDM_LAYERS_PANE:
        ToggleLayersPane();
        return true;
    case IDM_STEP_STARTS_TOP_LEFT:
        settings.StepKeepsPlace = !settings.StepKeepsPlace;
        return true;
    case IDM_CARRY_HIDDEN_LAYERS:
        ToggleCarryHiddenLayers();
        return true;
    case IDM_SOLO_LAYER:
        SoloFocusedLayer(code == 1);
        return true;
    case IDM_THUMBNAILS:
        ToggleGrid();
        return true;
    case IDM_SLIDESHOW:
        if (slideshow)
            StopSlideshow();
        else
            StartSlideshow();
        return true;
    case IDM_NEXT_PANE:
        SwitchPane();
        return true;
    case IDM_REFRESH:
        // The folder listed again, and the document shown read again: a
        // save the watch missed, or one that failed half-way, is shown now.
        if (!RefreshFolder())
            ReloadShown();
        return true;
    case IDM_SORT_NAME:
    case IDM_SORT_MODIFIED:
    case IDM_SORT_SIZE:
    case IDM_SORT_REVERSE:
        SortList(id);
        return true;
    case IDM_EXTEND:
        view.ZoomStep(true);
        UpdateStatus();
        return true;
    case IDM_REDUCE:
        view.ZoomStep(false);
        UpdateStatus();
        return true;
    case IDM_FLIP_HORIZONTAL:
        view.SetTurn(Flipped(view.Turn()));
        UpdateStatus();
        return true;
    case IDM_ROTATE_RIGHT:
        view.SetTurn(TurnedRight(view.Turn()));
        UpdateStatus();
        return true;
    case IDM_ROTATE_LEFT:
        view.SetTurn(TurnedLeft(view.Turn()));
        UpdateStatus();
        return true;
    case IDM_FIT_ENLARGE:
        ToggleFitEnlarge();
        return true;
    case IDM_COPY_COLOUR:
        CopyColourUnderPointer();
        return true;
    case IDM_ABOUT: {
        AboutDialog about(IDD_ABOUT);
        about.Run(hwnd);
        return true;
    }
    case IDM_RECENT_PLACEHOLDER:
        return true;
    default:
        return false;
    }
}

void MainFrame::OpenFile() {
    Str start;
    StartFolder(documents, settings.OpenDir.Text(), start);
    OpenFileList picked;
    if (!picked.Pick(hwnd, kDocumentFilter, kDocumentExtension, start.Text()))
        return;
    settings.OpenDir.Assign(picked.folder.Text());
    std::vector<std::string> paths;
    Str name;
    while (picked.Next(name))
        paths.push_back(std::string(picked.folder.Text()) + "\\" + name.Text());
    // One document picked opens its folder, with it shown.
    if (paths.size() == 1 && OpenDocument(paths[0].c_str()))
        return;
    ForgetFolder();
    ClearList();
    documents.AddFiles(paths, false);
    RedrawList();
    SelectFirst();
}

void MainFrame::PickAndOpenFolder() {
    Str start;
    StartFolder(documents, settings.RecDir[0].Text(), start);
    Str folder;
    folder.Reserve(kFolderRoom);
    if (!PickFolder(hwnd, UserTexts(settings).folderPrompt, folder, true, start.Text()))
        return;
    OpenFolder(folder.Text());
}

void MainFrame::CopyPicture() {
    // An empty picture would replace what the user had on the clipboard
    // with nothing.
    if (!image.IsEmpty())
        CopyPictureToClipboard(image);
}

void MainFrame::ToggleFitEnlarge() {
    // The setting of the mode the user is in: full screen has its own.
    bool& enlarge = fullScreen ? settings.FitEnlargeFullScreen : settings.FitEnlarge;
    enlarge = !enlarge;
    view.UpdateScroll(false);
    UpdateStatus();
}

void MainFrame::CopyColourUnderPointer() {
    // Off the picture there is no colour, and the clipboard keeps what the
    // user had on it.
    uint8_t rgb[3];
    if (view.ColourUnderPointer(rgb))
        CopyTextToClipboard(hwnd, HexColourText(rgb[0], rgb[1], rgb[2]).c_str());
}

void MainFrame::OpenInVelmora() {
    const char* path = documents.CurrentPath();
    if (path == nullptr)
        return;
    if (settings.VelmoraPath.IsEmpty()) {
        ShowWarning(UserTexts(settings).setVelmoraLocation);
        return;
    }
    // A relative path in the settings is taken from the program's folder.
    AppShell::SetCurrentFolderToModule();
    // Quoted: a path with a space would reach Velmora as several arguments.
    Str document;
    document.Assign("\"");
    document.Append(path);
    document.Append("\"");
    const INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        hwnd, L"open", Widen(settings.VelmoraPath.Text()).c_str(), Widen(document.Text()).c_str(), nullptr, SW_SHOW));
    if (result == kShellFileNotFound)
        ShowWarning(UserTexts(settings).velmoraMissing);
}

void MainFrame::RunMouseAction(int event) {
    if (event < 0 || event >= kMouseEventCount)
        return;
    // Any stored value outside the actions (-1 from an empty choice) does
    // nothing.
    switch (static_cast<MouseAction>(settings.Mouse[event])) {
    case MouseAction::None:
        break;
    case MouseAction::ToggleMaximize:
        Show(IsZoomed(hwnd) ? SW_SHOWNORMAL : SW_MAXIMIZE);
        break;
    case MouseAction::PreviousFile:
        StepFile(false);
        break;
    case MouseAction::NextFile:
        StepFile(true);
        break;
    case MouseAction::ZoomIn:
        view.ZoomStep(true);
        break;
    case MouseAction::ZoomOut:
        view.ZoomStep(false);
        break;
    case MouseAction::ActualSize:
        view.SetScale(100);
        break;
    case MouseAction::OpenInVelmora:
        OpenInVelmora();
        break;
    }
    UpdateStatus();
}
