#include "app/GridLayout.h"

namespace {

int32_t Scale(int32_t pixels, uint32_t dpi) {
    return int32_t((int64_t(pixels) * dpi + 48) / 96);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : value > high ? high : value;
}

} // namespace

GridLayout::GridLayout(int32_t width, int32_t height, uint32_t dpi) {
    if (dpi == 0)
        dpi = 96;
    side = Scale(kGridThumbnailSide, dpi);
    padding = Scale(kGridCellPadding, dpi);
    labelHeight = Scale(kGridLabelHeight, dpi);
    cellWidth = side + 2 * padding;
    cellHeight = side + labelHeight + 3 * padding;
    columns = width > cellWidth ? width / cellWidth : 1;
    viewHeight = height > 0 ? height : 0;
}

int32_t GridLayout::RowsPerPage() const {
    const int32_t rows = viewHeight / cellHeight;
    return rows > 1 ? rows : 1;
}

int32_t GridLayout::Rows(int count) const {
    return count > 0 ? int32_t((int64_t(count) + columns - 1) / columns) : 0;
}

int32_t GridLayout::ContentHeight(int count) const {
    return Rows(count) * cellHeight;
}

int32_t GridLayout::MaxScroll(int count) const {
    const int32_t beyond = ContentHeight(count) - viewHeight;
    return beyond > 0 ? beyond : 0;
}

GridRect GridLayout::CellRect(int index, int32_t scroll) const {
    GridRect cell;
    cell.left = (index % columns) * cellWidth;
    cell.top = (index / columns) * cellHeight - scroll;
    cell.right = cell.left + cellWidth;
    cell.bottom = cell.top + cellHeight;
    return cell;
}

GridRect GridLayout::ThumbnailRect(int index, int32_t scroll) const {
    const GridRect cell = CellRect(index, scroll);
    return {cell.left + padding, cell.top + padding, cell.left + padding + side, cell.top + padding + side};
}

GridRect GridLayout::LabelRect(int index, int32_t scroll) const {
    const GridRect square = ThumbnailRect(index, scroll);
    return {square.left, square.bottom + padding, square.right, square.bottom + padding + labelHeight};
}

int GridLayout::IndexAt(int32_t x, int32_t y, int32_t scroll, int count) const {
    if (x < 0 || y < 0 || x >= columns * cellWidth)
        return -1;
    const int64_t row = (int64_t(y) + scroll) / cellHeight;
    const int64_t index = row * columns + x / cellWidth;
    return index < count ? int(index) : -1;
}

void GridLayout::VisibleRange(int32_t scroll, int count, int& first, int& end) const {
    first = 0;
    end = 0;
    if (count <= 0 || viewHeight <= 0)
        return;
    const int64_t firstRow = scroll > 0 ? scroll / cellHeight : 0;
    const int64_t endRow = (int64_t(scroll) + viewHeight + cellHeight - 1) / cellHeight;
    const int64_t from = firstRow * columns;
    const int64_t to = endRow * columns;
    first = from < count ? int(from) : count;
    end = to < count ? int(to) : count;
}

int32_t GridLayout::ScrollToShow(int index, int32_t scroll, int count) const {
    if (index < 0 || index >= count)
        return Clamp(scroll, 0, MaxScroll(count));
    const int32_t top = (index / columns) * cellHeight;
    if (top < scroll || cellHeight > viewHeight)
        scroll = top;
    else if (top + cellHeight > scroll + viewHeight)
        scroll = top + cellHeight - viewHeight;
    return Clamp(scroll, 0, MaxScroll(count));
}

int MoveInGrid(int current, int count, int32_t columns, int32_t rowsPerPage, GridKey key) {
    if (count <= 0)
        return -1;
    if (current < 0 || current >= count)
        return 0;
    if (columns < 1)
        columns = 1;
    if (rowsPerPage < 1)
        rowsPerPage = 1;
    const int64_t page = int64_t(columns) * rowsPerPage;
    int64_t next = current;
    switch (key) {
    case GridKey::Left:
        next = current - 1;
        break;
    case GridKey::Right:
        next = current + 1;
        break;
    case GridKey::Up:
        next = current >= columns ? current - columns : current;
        break;
    case GridKey::Down:
        // Onto a shorter last row: its last cell, as file managers do.
        if ((current / columns) < (count - 1) / columns)
            next = current + columns < count ? current + columns : count - 1;
        break;
    case GridKey::PageUp:
        next = current - page;
        break;
    case GridKey::PageDown:
        next = current + page;
        break;
    case GridKey::Home:
        next = 0;
        break;
    case GridKey::End:
        next = count - 1;
        break;
    }
    if (next < 0)
        next = key == GridKey::PageUp ? current % columns : 0;
    if (next >= count)
        next = count - 1;
    return int(next);
}
