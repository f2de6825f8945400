#pragma once
// LayersPane: the list of the shown document's layers below the file list
// (View > Layers). A document's layers are listed top first with their name,
// blend mode (a QVR layer: its colour), opacity and visibility as stored,
// each with a check box that shows or hides the layer in the view only; a
// QVR document that stores a flattened picture gets one line that sums it
// up. The frame owns the pane and acts on its check boxes (CheckChanged); the
// file is never written.

#include "app/LayerThumbnails.h"
#include "decode/DocumentLayers.h"
#include "framework/GdiObject.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

class LayersPane {
public:
    LayersPane() = default;
    ~LayersPane();
    LayersPane(const LayersPane&) = delete;
    LayersPane& operator=(const LayersPane&) = delete;
    // Creates the list view as a hidden child of parent with id childId.
    bool Create(HWND parent, int childId);
    void Show(bool show);
    // Makes the pane's font again at dpi (also at the same dpi, after the
    // user's text size changed) and fits the columns to their texts in it.
    void SetDpi(uint32_t newDpi);
    // Whether it is meant to be seen, also while the frame is still hidden.
    bool Visible() const { return shown; }
    // Lists layers, each check box as visible[i] says (file order).
    // Names are read in codePage (0: the automatic rule, base/LayerName.h).
    void Fill(const DocumentLayers& layers, const std::vector<uint8_t>& visible, uint32_t codePage);
    // Sets the boxes as visible (file order) says, rows and focus kept; no
    // user's change (CheckChanged) comes of it.
    void SetBoxes(const std::vector<uint8_t>& visible);
    void Clear();
    bool Empty() const;
    // Gives the pane the keyboard focus, with a row focused for Space to
    // toggle; false (and the focus left alone) when it has no rows.
    bool TakeFocus();
    // The side of the layers' thumbnails at the pane's DPI: two lines high.
    int32_t ThumbnailSide() const;
    // The side of the thumbnails shown now, which a change of DPI leaves
    // behind ThumbnailSide until they are made again.
    int32_t ShownThumbnailSide() const { return imageSide; }
    // Shows thumbnails (file order, side pixels square) beside the layers
    // filled last; the rows show blank squares until then.
    void SetThumbnails(const std::vector<Thumbnail>& thumbnails, int32_t side);
    // Blank squares for count layers: another document's thumbnails are
    // coming (Fill makes them too when the count changes).
    void ResetThumbnails(int count);
    // The layer (file order) of the focused row, else of the selected one;
    // -1 for none.
    int FocusedLayer() const;
    // The notification says the pane got the focus.
    bool GotFocus(LPARAM header) const;
    // A notification of the pane: true when the user ticked or cleared a
    // layer's box, visible (file order) then as the boxes say.
    bool CheckChanged(LPARAM header, std::vector<uint8_t>& visible) const;

    HWND hwnd = nullptr;

private:
    void AddRow(int row, int layer, const std::wstring& name, const std::wstring& blend, const std::wstring& opacity,
                const std::wstring& stored, bool checked);
    void UpdateFont();
    // The layer record row stands for, -1 for none or one not below records.
    int RowRecord(int row, size_t records) const;
    // Sizes each column to its title and texts, never below its least width.
    void FitColumns();
    // The thumbnails' list, one image per layer in file order, its images
    // imageSide pixels square.
    HIMAGELIST images = nullptr;
    int32_t imageSide = 0;
    uint32_t dpi = 96;    // the DPI the column widths are at
    GdiObject font;       // the system's message font at dpi
    bool filling = false; // the boxes set while filling are no user's change
    bool shown = false;
};
