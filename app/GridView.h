#pragma once
// GridView: the thumbnail grid, shown in the image view's place while the
// user browses the folder by its pictures. It draws the cells of its model
// (ThumbnailGrid) with their labels, the current document marked, a cell
// whose document cannot be read saying so; it scrolls by its bar and the
// wheel, and hands clicks and keys to its sink: a click or a move selects,
// Enter and a double click open. The thumbnails are made on a pool of its
// own, a few at a time, so that a scroll puts the cells now in view next in
// line; the pool's work is cancelled and joined whenever the grid closes or
// its list is replaced.

#include "app/ThumbnailGrid.h"
#include "framework/GdiObject.h"
#include "framework/Window.h"

#include <cstdint>
#include <memory>
#include <vector>

class DocumentList;
class WorkPool;
struct Settings;

class GridSink {
public:
    virtual void GridSelected(int index) = 0;
    virtual void GridOpened(int index) = 0;

protected:
    ~GridSink() = default;
};

class GridView : public Window {
public:
    GridView();
    ~GridView();

    // The grid as a hidden child of parent. It reads the background colour
    // and the language from settings and the cells from documents; all
    // three outlive it.
    bool CreateGrid(HWND parent, const Settings& settings, const DocumentList& documents, GridSink& sink);

    // Shown with the documents as they are now; Close hides it, ends its
    // work and drops the thumbnails.
    void Open();
    void Close();
    bool IsOpen() const { return open; }
    // The list's documents or their order changed.
    void DocumentsChanged();
    // The list was replaced (another folder, files picked or dropped): the
    // work for the old one is cancelled and joined, its thumbnails dropped.
    void ListReplaced();
    // The current document changed: it is scrolled into view and marked.
    void SelectionChanged();

    bool OnPaint() override;
    bool OnEraseBkgnd(WPARAM dc, LRESULT* result) override;
    bool OnSize(WPARAM sizeType, uint32_t width, uint32_t height) override;
    bool OnVScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) override;
    bool OnMouseWheel(uint32_t keys, uint32_t delta, uint32_t x, uint32_t y) override;
    bool OnKeyDown(WPARAM key, LPARAM keyData) override;
    bool OnLButtonDown(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnLButtonDblClk(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Slot;

    // Posts requests while a slot is free and the model wants a thumbnail.
    void Pump();
    // Takes the thumbnails made, then posts more.
    void Collect();
    // Cancels the pool's work and joins it; the slots and the pool go.
    void StopWork();
    void UpdateBar();
    void ScrollTo(int32_t position);
    void PaintCell(HDC dc, int index, int current);

    const Settings* settings = nullptr;
    const DocumentList* documents = nullptr;
    GridSink* sink = nullptr;
    ThumbnailGrid model;
    std::unique_ptr<WorkPool> pool;
    std::vector<std::unique_ptr<Slot>> slots;
    GdiObject font;
    uint32_t fontDpi = 0;
    int wheelRest = 0;
    bool open = false;
};
