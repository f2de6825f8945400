#pragma once
// GridLayout: where the thumbnail grid puts its cells. Each cell is a square
// for the thumbnail with the document's label under it, laid out in rows as
// wide as the view holds (at least one column), scrolled vertically. Every
// size is given at 96 DPI and scaled to the window's DPI here, so a cell
// covers the same share of the screen at every scale.

#include <cstdint>

// Sizes at 96 DPI.
inline constexpr int32_t kGridThumbnailSide = 160; // the thumbnail's longest side
inline constexpr int32_t kGridCellPadding = 6;     // around the thumbnail and the label
inline constexpr int32_t kGridLabelHeight = 18;    // one line of the message font

struct GridRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class GridLayout {
public:
    GridLayout() = default;
    // The layout for a view of width x height pixels at dpi (96 when 0).
    GridLayout(int32_t width, int32_t height, uint32_t dpi);

    int32_t ThumbnailSide() const { return side; }
    int32_t CellWidth() const { return cellWidth; }
    int32_t CellHeight() const { return cellHeight; }
    int32_t Columns() const { return columns; }
    int32_t ViewHeight() const { return viewHeight; }
    // Whole rows the view shows at once, at least 1: a page for the keys.
    int32_t RowsPerPage() const;

    int32_t Rows(int count) const;
    // The height of all count cells, and the furthest the view scrolls.
    int32_t ContentHeight(int count) const;
    int32_t MaxScroll(int count) const;
    // Cell index's rectangle with the view scrolled to scroll; the
    // thumbnail's square inside it, and the label's line under it.
    GridRect CellRect(int index, int32_t scroll) const;
    GridRect ThumbnailRect(int index, int32_t scroll) const;
    GridRect LabelRect(int index, int32_t scroll) const;
    // The cell under view point (x, y), -1 over no cell (beside the last
    // column, after the last cell).
    int IndexAt(int32_t x, int32_t y, int32_t scroll, int count) const;
    // The cells the view shows partly or wholly: first to end (past the
    // last), empty for no cell.
    void VisibleRange(int32_t scroll, int count, int& first, int& end) const;
    // The scroll position, nearest to scroll, that shows cell index whole
    // (or its top, when the view is lower than a cell).
    int32_t ScrollToShow(int index, int32_t scroll, int count) const;

private:
    int32_t side = kGridThumbnailSide;
    int32_t padding = kGridCellPadding;
    int32_t labelHeight = kGridLabelHeight;
    int32_t cellWidth = kGridThumbnailSide + 2 * kGridCellPadding;
    int32_t cellHeight = kGridThumbnailSide + kGridLabelHeight + 3 * kGridCellPadding;
    int32_t columns = 1;
    int32_t viewHeight = 0;
};

// The keys that move the grid's selection.
enum class GridKey { Left, Right, Up, Down, PageUp, PageDown, Home, End };

// Where key moves the selection from current among count cells in columns
// columns, rowsPerPage rows to a page. Left and Right go through the row
// ends into the rows beside; Up and Down keep the column and stop at the
// first and last rows (Down onto a shorter last row goes to its last cell);
// the pages stop at the ends. With nothing selected every key selects the
// first cell; -1 for an empty grid.
int MoveInGrid(int current, int count, int32_t columns, int32_t rowsPerPage, GridKey key);
