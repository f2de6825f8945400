#pragma once
// MainFrame: the program's one top-level window. It owns the menu commands,
// the file list on the left and the image view on the right with a splitter
// gap between them (6 pixels at 96 DPI, more at higher DPI), decides what the list holds and which file is
// shown, keeps the recent folders and runs the user's mouse bindings. It
// reads the settings before it is first shown and writes them when it closes.

#include "app/DecodeWorker.h"
#include "app/DocumentList.h"
#include "app/FileStamp.h"
#include "app/FolderWatch.h"
#include "app/GridView.h"
#include "app/ImageView.h"
#include "app/LayerChoices.h"
#include "app/LayersPane.h"
#include "app/LayerExportJob.h"
#include "app/SaveAsJob.h"
#include "app/ThumbnailJob.h"
#include "app/MouseActionSink.h"
#include "app/PicturesAhead.h"
#include "app/Settings.h"
#include "decode/DocumentLayers.h"
#include "pixels/ImageBuffer.h"
#include "framework/FileListBox.h"
#include "framework/StatusBar.h"
#include "base/Str.h"
#include "framework/WheelSink.h"
#include "base/WheelSteps.h"
#include "framework/Window.h"

#include <shellapi.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class MainFrame : public Window, public MouseActionSink, public WheelSink, public GridSink {
public:
    // Creates the window, its list and view, reads the settings, opens the
    // path of commandTail (the text after the program's name) if there is one
    // and shows the window. False when a window cannot be created.
    bool CreateFrame(const char* commandTail);

private:
    // Window handlers
    bool OnClose() override;
    bool OnDestroy() override;
    bool OnDropFiles(WPARAM drop) override;
    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override;
    bool OnLButtonDown(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnMouseMove(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnLButtonUp(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnMouseWheel(uint32_t keys, uint32_t delta, uint32_t x, uint32_t y) override;
    // In full screen the frame has the keys the hidden list would have:
    // they step as they do there (MainFrameStatus.cpp).
    bool OnKeyDown(WPARAM key, LPARAM keyData) override;
    bool OnCaptureChanged(LPARAM gainingCapture) override;
    bool OnSize(WPARAM sizeType, uint32_t width, uint32_t height) override;
    // Keeps the keyboard focus where it was across deactivation (dialogs,
    // message boxes, other programs), as dialog boxes do; the list has it
    // first.
    bool OnActivate(uint32_t state, LPARAM otherWindow, uint32_t minimised) override;
    bool OnEndSession(WPARAM ending) override;
    bool OnInitMenuPopup(WPARAM menu, uint32_t position, uint32_t systemMenu) override;
    bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(WPARAM controlId, LPARAM header, LRESULT* result) override;
    bool OnTimer(WPARAM timerId) override;
    // A button pressed on a child: a click that stops the slideshow.
    bool OnParentNotify(uint32_t event, uint32_t childId, LPARAM point) override;
    bool PreFilter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The list (MainFrameFiles.cpp). ShowFile makes item index current and
    // shows it; keepPlace (the same document read again) keeps the zoom, the
    // scroll position and the layers shown.
    void ShowFile(int index, bool keepPlace = false);
    void StepFile(bool forward);
    void SelectFirst();
    // The list control shows the document list as it is now, and the status
    // bar its place.
    void RedrawList();
    // The list's order from the settings (MainFrameSort.cpp); SortList takes
    // a Sort by command and orders the list anew, the shown file kept.
    void ApplySortOrder();
    void SortList(uint32_t command);
    // Opens folder (made the most recent) at the document last shown there,
    // else at its first.
    void OpenFolder(const char* folder);
    void PushRecentFolder(const char* folder);
    void RebuildRecentMenu();
    // Fills the list from the path and selects its first file, naming it in
    // the title; that file is read later (kShowStartFile).
    void OpenCommandLinePath(const char* commandTail);
    // Empties the list and drops what was decoded ahead for it.
    void ClearList();
    // Selects item index and names it in the title; it is read once the
    // window is up. Nothing for an index outside the list.
    void NameStartFile(int index);

    // One document opens its folder (MainFrameFolder.cpp). ListDocumentFolder
    // makes document a full path, lists its folder (made the most recent)
    // and watches it; the document's index. OpenDocument does so and shows
    // it; false for a path that is no qvm or qvr document.
    int ListDocumentFolder(Str& document);
    bool OpenDocument(const char* path);
    // A drop of one document: its folder listed, it shown. False for
    // anything else, which the drop then handles as before.
    bool OpenDroppedDocument(HDROP drop);
    // A start without a path: RecDir[0] listed again; the index of LastFile
    // in it (the first item when it is gone), -1 with nothing listed.
    int ReopenLastFolder();
    // The document last shown in folder: this run's, else the one kept for
    // it as a recent folder, else LastFile when it lies there; null for none.
    void NoteShownIn(const char* folder, const char* path);
    const char* LastShownIn(const char* folder) const;
    // The list now shows folder alone: watched for files coming and going.
    void WatchFolder(const char* folder);
    // The list is no longer one folder's (files picked, several dropped).
    void ForgetFolder();
    // F5 and a change seen in the folder: the folder listed again, the
    // selection kept on its file. Whether another file (or the same under
    // its new name) was shown for it.
    bool RefreshFolder();
    void OnFolderChanged(WPARAM generation);

    // The shown file followed (MainFrameFollow.cpp): a change seen in its
    // folder that changed its stamp waits until the writer is done with it,
    // then the document is read again in place.
    void FollowShownFile(const char* path);
    void OnShownFolderChanged(WPARAM generation);
    void CheckShownFile();
    // The document shown read again, keeping the view (F5, a save seen).
    void ReloadShown();

    // Decoding ahead (MainFrameAhead.cpp). LoadShownFile puts the picture
    // of item index (at path) into image, from what was decoded ahead when
    // still fresh; false when it cannot be loaded, image then unchanged and
    // failure saying why.
    bool LoadShownFile(int index, const char* path, LoadResult& failure);
    // Collects a finished decode and starts the next one that is wanted.
    void DecodeAhead();
    void CollectDecoded(bool wait);
    // Ends the decode thread (waiting for a decode running) and drops the
    // pictures held ahead.
    void StopDecodingAhead();

    // Commands (MainFrameCommands.cpp)
    void OpenFile();
    void PickAndOpenFolder();
    void OpenInVelmora();
    void RunMouseAction(int event) override;
    // The wheel over the frame or the list: the wheel bindings once per whole
    // notch.
    void OnWheelDelta(int delta) override;
    // The wheel with the pointer at cursor (screen): Ctrl over the view
    // zooms about that point.
    void WheelAt(int delta, POINT cursor);
    // Copies the picture on display; with none, the clipboard is left alone.
    void CopyPicture();
    // View > Enlarge small pictures to fit: the window's setting, or full
    // screen's own there.
    void ToggleFitEnlarge();
    // The colour under the pointer as "#RRGGBB" text; nothing off the
    // picture.
    void CopyColourUnderPointer();
    // The status bar's colour part follows the pointer (MainFrameStatus.cpp).
    void PointerMoved() override;

    // Menu states (MainFrameMenus.cpp): greys what cannot act now and marks
    // the zoom in use.
    void UpdateMenuStates();

    // The dialogs and the layer export (MainFrameDialogs.cpp)
    void RunOptionDialog();
    void RunConversion();
    void ExportSelectedLayers();
    // The export's thread has ended: joined, and the box says how it went.
    void OnLayersExported();

    // File > Save as (MainFrameSaveAs.cpp): the document shown, with the
    // layers the pane shows, into the file the save dialog names.
    void SaveShownAs();
    // The save's thread has ended: joined, and a failure told.
    void OnSavedAs();

    // The layers pane (MainFrameLayers.cpp): View > Layers shows or hides
    // it; FillLayersPane lists the layers of the file at path (shown now);
    // ShowLayers flattens the shown file again with the layers layerVisible
    // shows.
    void ToggleLayersPane();
    // Tab: the keyboard focus from the list to the layers pane (when it is
    // up and has rows) and back.
    void SwitchPane();
    void FillLayersPane(const char* path);
    void ShowLayers();

    // Stepping and the pane's choices beyond one document
    // (MainFrameChoices.cpp). CarryHiddenLayers hides the layers of the
    // document at path (shown now) whose names the user hid before, reading
    // its layers when the pane is away; true when it hid any, the picture
    // then to be flattened again. BoxesChanged takes a change of the pane's
    // boxes from before: Alt held shows the layer alone (or puts the boxes
    // back), else the names are noted.
    bool CarryHiddenLayers(const char* path);
    void BoxesChanged(const std::vector<uint8_t>& before);
    void SoloLayer(int layer);
    // Alt+Space: the focused layer alone when the pane has the keys; the
    // window menu, as ever, elsewhere.
    void SoloFocusedLayer(bool fromKeys);
    void ToggleCarryHiddenLayers();
    // The shown layers' names as the pane shows them, file order.
    std::vector<std::string> ShownLayerNames() const;
    // Where the view stood in the last picture shown: the next one shows
    // the same place.
    StepPlace stepPlace;
    HiddenLayerNames hiddenNames; // for the session only
    LayerSolo solo;
    // The pane's thumbnails of the shown document, made on their thread;
    // OnThumbnailsMade puts them beside its layers.
    ThumbnailJob thumbnails;
    void OnThumbnailsMade();

    // The settings file (MainFrameSettings.cpp): LoadSettings places the
    // window and lays out the children, and returns the show command.
    int LoadSettings();
    void SaveSettings();

    // The thumbnail grid (MainFrameGrid.cpp): View > Thumbnails shows it in
    // the view's place, or the view again with the document selected in
    // the grid. The grid and the list select the same document; Enter or a
    // double click in the grid shows it in the view.
    void ToggleGrid();
    void EnterGrid();
    void LeaveGrid();
    void GridSelected(int index) override;
    void GridOpened(int index) override;
    // A selection made while the grid is up: marked in the list and the
    // grid, named in the status bar, read only when the view comes back.
    void SelectInGrid(int index);

    // The slideshow (MainFrameSlideshow.cpp): full screen, one step every
    // SlideshowSeconds after the document shown came up, until the last
    // document, a key or a click; full screen stays after it.
    void StartSlideshow();
    void StopSlideshow();
    void SlideshowStep();

    // The status bar and full screen (MainFrameStatus.cpp). UpdateStatus
    // names the shown file's place, size, zoom, format and date.
    bool CreateStatus();
    void UpdateStatus();
    void SetFullScreen(bool on);

    DocumentList documents; // what the list holds and which is shown
    FileListBox list;       // draws documents
    ImageView view;
    GridView grid; // in the view's place while shown
    bool slideshow = false;
    StatusBar status;
    bool fullScreen = false;
    LONG_PTR windowedStyle = 0; // the frame's style and rectangle before full screen
    RECT windowedRect{};
    HMENU windowedMenu = nullptr;
    ImageBuffer image; // the picture on display
    Settings settings;
    // The settings as read at start, so that a save writes only what this
    // viewer changed over what another one saved meanwhile.
    Settings loadedSettings;
    WindowState loadedWindow;
    PicturesAhead ahead; // the pictures of the files beside the one shown
    DecodeWorker worker;
    FolderWatch folderWatch;
    // The shown file: its stamp when it was read, the watch of its folder
    // for writes, and the stamp seen last while a save is waited out.
    FileStamp shownStamp;
    FolderWatch shownWatch;
    std::string shownFolder;
    FileStamp settling;
    // The document last shown in each folder opened this session, so that a
    // recent folder reopens where the user left it.
    std::vector<std::pair<std::string, std::string>> lastShownIn;
    // Why a drop changed nothing, shown in the status bar until the next
    // document is shown.
    std::string dropNote;
    LayerExportJob exportJob;
    SaveAsJob saveJob;
    LayersPane layersPane;
    DocumentLayers shownLayers;        // of the file shown, while the pane is up
    std::vector<uint8_t> layerVisible; // as the pane's boxes say, file order

    int dragging = 0; // 1 while a splitter drag holds the mouse capture
    POINT lastCursor{};
    HWND focusChild = nullptr; // the child that had the focus when the frame was deactivated
    WheelSteps wheel;
    uint32_t dpi = 96; // the DPI the frame's pixel sizes are scaled to

    // WM_DPICHANGED (MainFrameDpi.cpp): the window moved to a monitor of
    // another scale, or the scale changed. Takes the suggested rectangle,
    // makes the list's font again and lays out at newDpi.
    bool OnDpiChanged(uint32_t newDpi, const RECT& suggested);
    // WM_SETTINGCHANGE: after the user's text size or the system's fonts
    // changed, the list, pane and status bar fonts are made again and the
    // frame laid out with them.
    void OnSettingChange(WPARAM setting);

    // Scales the frame's own pixel sizes and the list's font to newDpi; the
    // list's width too when scaleListWidth (a width set at the old scale).
    // Loads the class icons again at dpi: the title bar and the task
    // switcher show them.
    void UpdateIcons();
    void ApplyDpi(uint32_t newDpi, bool scaleListWidth);
    // A frame size given for 96 DPI, at the frame's DPI.
    int32_t Scaled(int32_t pixels) const;
    // Sizes the list to width listWidth and the view to the rest of the
    // client area beside the gap.
    void LayOut(int32_t listWidth);
    // LayOut with the list's width limited to the client area: a saved
    // width wider than it becomes half of it.
    void FitListWidth(int32_t listWidth);
    // The saved list width, kept until a maximised window has its real
    // client area.
    int32_t savedListWidth = 0;
    // The command line named a file to show once the window is up.
    bool startFilePending = false;
    // Set once CreateFrame has returned and the file of the command line,
    // if any, has been shown (kStartupEndedMessageName).
    bool startupEnded = false;
    // Its registered number, asked for once: every message meets the check.
    UINT startupEndedMessage = 0;
};
