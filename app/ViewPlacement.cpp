#include "app/ViewPlacement.h"

namespace {

int32_t Centred(int32_t shown, int32_t client) {
    return shown < client ? (client - shown) / 2 : 0;
}

} // namespace

ViewPlacement PlaceInView(int32_t shownWidth, int32_t shownHeight, int32_t fullWidth, int32_t fullHeight,
                          int32_t barWidth, int32_t barHeight) {
    ViewPlacement place;
    place.clientWidth = fullWidth;
    place.clientHeight = fullHeight;
    // Two rounds: a bar that appears narrows the other direction, which may
    // then need its bar as well; a third round cannot add anything.
    for (int round = 0; round < 2; ++round) {
        if (!place.horizontalBar && shownWidth > place.clientWidth) {
            place.horizontalBar = true;
            place.clientHeight = fullHeight - barHeight;
        }
        if (!place.verticalBar && shownHeight > place.clientHeight) {
            place.verticalBar = true;
            place.clientWidth = fullWidth - barWidth;
        }
    }
    if (place.clientWidth < 0)
        place.clientWidth = 0;
    if (place.clientHeight < 0)
        place.clientHeight = 0;
    place.offsetX = Centred(shownWidth, place.clientWidth);
    place.offsetY = Centred(shownHeight, place.clientHeight);
    return place;
}

int32_t FitScale(int32_t width, int32_t height, int32_t fullWidth, int32_t fullHeight, bool enlarge) {
    if (width <= 0 || height <= 0 || fullWidth <= 0 || fullHeight <= 0)
        return 100;
    const int64_t across = int64_t(fullWidth) * 100 / width;
    const int64_t down = int64_t(fullHeight) * 100 / height;
    int64_t scale = across < down ? across : down;
    const int64_t most = enlarge ? kMaxFitScale : 100;
    if (scale > most)
        scale = most;
    return scale < 1 ? 1 : int32_t(scale);
}

int32_t ZoomAnchoredPosition(int32_t position, int32_t offset, int32_t anchor, int32_t oldScale, int32_t newScale,
                             int32_t newShown, int32_t page) {
    if (oldScale <= 0 || newScale <= 0)
        return 0;
    // The picture point under the anchor, in displayed pixels at the old
    // scale; scaled to the new one and put back under the anchor. A picture
    // that becomes smaller than the view is centred and does not scroll.
    const int64_t pointOld = int64_t(position) + anchor - offset;
    const int64_t pointNew = (pointOld * newScale * 2 + oldScale) / (int64_t(oldScale) * 2);
    int64_t next = pointNew - anchor;
    const int64_t last = int64_t(newShown) - page;
    if (next > last)
        next = last;
    if (next < 0)
        next = 0;
    return int32_t(next);
}
