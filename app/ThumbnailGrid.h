#pragma once
// ThumbnailGrid: what the thumbnail grid holds and asks for, apart from the
// window that draws it. It knows the documents in the list's order, the
// layout and the scroll position, and for each document its thumbnail:
// wanted, being made, made (its pixels) or failed. It decides which
// thumbnail is made next: the cells in view first, in reading order, so a
// scroll puts the cells now shown ahead of the ones left; then a page on
// either side, only while they fit the budget. The thumbnails themselves are
// made wherever the caller likes (the grid window's pool, MakeCellThumbnail)
// and come back through Deliver. Thumbnails are kept by path, so a list
// ordered anew or listed again keeps those already made.
//
// Memory: the pixels held stay within a budget. When a thumbnail made goes
// over it, those seen longest ago that are not in view are dropped first;
// they are made again when they come back into view.

#include "app/GridLayout.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// What the thumbnails of one grid hold at most: 64 MiB, some four hundred
// cells at 160 pixels, pages of them at any common screen size.
inline constexpr uint64_t kGridMemoryBudget = uint64_t(64) << 20;

// One thumbnail's pixels: rows of width pixels (blue, green, red, 255),
// the top row first, no gap between rows.
struct CellPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
    uint64_t Bytes() const { return pixels.size(); }
};

enum class CellState { Wanted, Pending, Made, Failed };

// A thumbnail to make: of the document at path, its longest side side.
// generation tells a late answer from one the grid still waits for.
struct CellRequest {
    int index = -1; // -1: nothing to make
    std::string path;
    int32_t side = 0;
    uint64_t generation = 0;
};

class ThumbnailGrid {
public:
    explicit ThumbnailGrid(uint64_t budget = kGridMemoryBudget) : budget(budget) {}

    // The documents in the list's order. Thumbnails of paths still listed
    // are kept (made or being made); the others go.
    void SetDocuments(const std::vector<std::string>& paths);
    // Forgets every thumbnail; answers to requests made before are ignored.
    void Clear();
    int Count() const { return int(paths.size()); }

    // The view's size and DPI. Another thumbnail size drops every thumbnail
    // made at the old one.
    void SetView(int32_t width, int32_t height, uint32_t dpi);
    const GridLayout& Layout() const { return layout; }
    // The scroll position, kept within the content.
    void ScrollTo(int32_t scroll);
    int32_t Scroll() const { return scroll; }
    // Scrolls as little as shows cell index whole.
    void ShowCell(int index);
    // The cells in view: first to end.
    int FirstVisible() const { return first; }
    int EndVisible() const { return end; }

    // The next thumbnail to make, marked as being made; index -1 when every
    // cell in view is made or being made and the pages beside would not
    // fit the budget.
    CellRequest NextRequest();
    // The answer to request: its picture, or failed (the document could not
    // be read). Ignored for a request the grid no longer waits for.
    void Deliver(const CellRequest& request, CellPicture picture, bool failed);
    // A request that was never made (its work cancelled): wanted again.
    void Abandon(const CellRequest& request);

    CellState StateAt(int index) const;
    // The picture of cell index when made, else null.
    const CellPicture* PictureAt(int index) const;
    uint64_t HeldBytes() const { return held; }
    uint64_t Budget() const { return budget; }
    // Thumbnails dropped for the budget so far.
    uint64_t Evictions() const { return evictions; }
    int PendingCount() const { return pending; }

private:
    struct Entry {
        CellState state = CellState::Wanted;
        CellPicture picture;
        uint64_t seen = 0; // the view change that last showed it
        uint64_t generation = 0;
    };

    Entry* Find(const std::string& path);
    const Entry* Find(const std::string& path) const;
    // After the layout, the documents or the scroll changed: the cells in
    // view are worked out again and marked as seen now.
    void ViewChanged();
    // Drops thumbnails out of view, seen longest ago first, until the held
    // pixels fit the budget.
    void Evict();
    bool Wantable(int index, bool ahead) const;
    CellRequest Take(int index);

    uint64_t budget;
    std::vector<std::string> paths;
    std::unordered_map<std::string, Entry> entries;
    GridLayout layout;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t dpi = 96;
    int32_t scroll = 0;
    int first = 0;
    int end = 0;
    uint64_t tick = 0;
    uint64_t generation = 1;
    uint64_t held = 0;
    uint64_t evictions = 0;
    int pending = 0;
};
