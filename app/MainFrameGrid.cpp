// The thumbnail grid in the view's place: shown and left, and the selection
// it shares with the list.
#include "app/MainFrame.h"

#include <string>

void MainFrame::ToggleGrid() {
    if (grid.IsOpen())
        LeaveGrid();
    else
        EnterGrid();
}

void MainFrame::EnterGrid() {
    // The grid is a way through the folder beside the list: full screen
    // shows the picture alone.
    StopSlideshow();
    SetFullScreen(false);
    settings.Thumbnails = true;
    int32_t listWidth = 0, listHeight = 0;
    list.GetWindowSize(listWidth, listHeight);
    LayOut(listWidth);
    ShowWindow(view.hwnd, SW_HIDE);
    grid.Open();
    SetFocus(grid.hwnd);
    UpdateStatus();
}

void MainFrame::LeaveGrid() {
    if (!grid.IsOpen())
        return;
    const bool hadFocus = GetFocus() == grid.hwnd;
    grid.Close();
    settings.Thumbnails = false;
    ShowWindow(view.hwnd, SW_SHOW);
    if (hadFocus)
        SetFocus(list.hwnd);
    // The document selected in the grid is the one the view shows now.
    const char* current = documents.CurrentPath();
    if (current != nullptr && std::string(current) != settings.LastFile.Text())
        ShowFile(documents.Current());
    UpdateStatus();
}

void MainFrame::SelectInGrid(int index) {
    if (!documents.Select(index))
        return;
    list.Select(index);
    dropNote.clear();
    grid.SelectionChanged();
    UpdateStatus();
}

void MainFrame::GridSelected(int index) {
    SelectInGrid(index);
}

void MainFrame::GridOpened(int index) {
    SelectInGrid(index);
    LeaveGrid();
    SetFocus(list.hwnd);
}
