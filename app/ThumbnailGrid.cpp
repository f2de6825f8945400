#include "app/ThumbnailGrid.h"

#include <unordered_set>
#include <utility>

void ThumbnailGrid::SetDocuments(const std::vector<std::string>& newPaths) {
    paths = newPaths;
    const std::unordered_set<std::string> listed(paths.begin(), paths.end());
    for (auto it = entries.begin(); it != entries.end();) {
        if (listed.count(it->first) != 0) {
            ++it;
            continue;
        }
        held -= it->second.picture.Bytes();
        if (it->second.state == CellState::Pending)
            --pending;
        it = entries.erase(it);
    }
    ViewChanged();
}

void ThumbnailGrid::Clear() {
    entries.clear();
    held = 0;
    pending = 0;
    ++generation;
}

void ThumbnailGrid::SetView(int32_t newWidth, int32_t newHeight, uint32_t newDpi) {
    width = newWidth;
    height = newHeight;
    dpi = newDpi;
    const int32_t side = layout.ThumbnailSide();
    layout = GridLayout(width, height, dpi);
    if (layout.ThumbnailSide() != side)
        Clear();
    ViewChanged();
}

void ThumbnailGrid::ScrollTo(int32_t position) {
    scroll = position;
    ViewChanged();
}

void ThumbnailGrid::ShowCell(int index) {
    ScrollTo(layout.ScrollToShow(index, scroll, Count()));
}

void ThumbnailGrid::ViewChanged() {
    const int32_t most = layout.MaxScroll(Count());
    scroll = scroll < 0 ? 0 : scroll > most ? most : scroll;
    layout.VisibleRange(scroll, Count(), first, end);
    ++tick;
    for (int i = first; i < end; ++i)
        entries[paths[size_t(i)]].seen = tick;
}

ThumbnailGrid::Entry* ThumbnailGrid::Find(const std::string& path) {
    const auto it = entries.find(path);
    return it == entries.end() ? nullptr : &it->second;
}

const ThumbnailGrid::Entry* ThumbnailGrid::Find(const std::string& path) const {
    const auto it = entries.find(path);
    return it == entries.end() ? nullptr : &it->second;
}

bool ThumbnailGrid::Wantable(int index, bool ahead) const {
    if (index < 0 || index >= Count())
        return false;
    const Entry* entry = Find(paths[size_t(index)]);
    if (entry != nullptr && entry->state != CellState::Wanted)
        return false;
    if (!ahead)
        return true;
    // A cell ahead of the view is made only where it fits beside what is
    // held and being made: it must never push a shown one out.
    const uint64_t cellBytes = uint64_t(layout.ThumbnailSide()) * uint64_t(layout.ThumbnailSide()) * 4;
    return held + cellBytes * uint64_t(pending + 1) <= budget;
}

CellRequest ThumbnailGrid::Take(int index) {
    Entry& entry = entries[paths[size_t(index)]];
    entry.state = CellState::Pending;
    entry.generation = generation;
    ++pending;
    CellRequest request;
    request.index = index;
    request.path = paths[size_t(index)];
    request.side = layout.ThumbnailSide();
    request.generation = generation;
    return request;
}

CellRequest ThumbnailGrid::NextRequest() {
    for (int i = first; i < end; ++i)
        if (Wantable(i, false))
            return Take(i);
    // Then a page on either side, the nearer cells first, the next page
    // before the previous one at the same distance: a grid is mostly read
    // downwards.
    const int page = layout.Columns() * layout.RowsPerPage();
    for (int distance = 0; distance < page; ++distance) {
        if (Wantable(end + distance, true))
            return Take(end + distance);
        if (Wantable(first - 1 - distance, true))
            return Take(first - 1 - distance);
    }
    return CellRequest{};
}

void ThumbnailGrid::Deliver(const CellRequest& request, CellPicture picture, bool failed) {
    Entry* entry = Find(request.path);
    if (entry == nullptr || entry->state != CellState::Pending || entry->generation != request.generation ||
        request.generation != generation)
        return;
    --pending;
    if (failed || picture.pixels.empty()) {
        entry->state = CellState::Failed;
        return;
    }
    entry->state = CellState::Made;
    entry->picture = std::move(picture);
    held += entry->picture.Bytes();
    Evict();
}

void ThumbnailGrid::Abandon(const CellRequest& request) {
    Entry* entry = Find(request.path);
    if (entry == nullptr || entry->state != CellState::Pending || entry->generation != request.generation ||
        request.generation != generation)
        return;
    --pending;
    entry->state = CellState::Wanted;
}

void ThumbnailGrid::Evict() {
    while (held > budget) {
        Entry* oldest = nullptr;
        for (auto& [path, entry] : entries)
            if (entry.state == CellState::Made && entry.seen != tick &&
                (oldest == nullptr || entry.seen < oldest->seen))
                oldest = &entry;
        // Only cells in view are left: they stay, whatever they take.
        if (oldest == nullptr)
            return;
        held -= oldest->picture.Bytes();
        oldest->picture = CellPicture{};
        oldest->state = CellState::Wanted;
        ++evictions;
    }
}

CellState ThumbnailGrid::StateAt(int index) const {
    if (index < 0 || index >= Count())
        return CellState::Wanted;
    const Entry* entry = Find(paths[size_t(index)]);
    return entry != nullptr ? entry->state : CellState::Wanted;
}

const CellPicture* ThumbnailGrid::PictureAt(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    const Entry* entry = Find(paths[size_t(index)]);
    return entry != nullptr && entry->state == CellState::Made ? &entry->picture : nullptr;
}
