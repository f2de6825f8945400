// The view's place in the picture, carried from one document to the next.
#include "app/ImageView.h"

#include "app/ViewGeometry.h"
#include "pixels/ImageBuffer.h"

StepPlace ImageView::Place() {
    const int32_t scale = ShownScale();
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    StepPlace place;
    place.across = PlaceOnAxis(horzBar.GetPos(), DisplayedSize(image->width, scale), clientWidth);
    place.down = PlaceOnAxis(vertBar.GetPos(), DisplayedSize(image->height, scale), clientHeight);
    return place;
}

void ImageView::ShowAtPlace(const StepPlace& place) {
    UpdateScroll(true);
    // The client size once the new picture's bars are placed.
    const int32_t scale = ShownScale();
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    horzBar.SetPos(PositionOnAxis(place.across, DisplayedSize(image->width, scale), clientWidth), true);
    vertBar.SetPos(PositionOnAxis(place.down, DisplayedSize(image->height, scale), clientHeight), true);
    Invalidate();
}
