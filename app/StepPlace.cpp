#include "app/StepPlace.h"

namespace {

constexpr int64_t kWhole = 1000000;

} // namespace

AxisPlace PlaceOnAxis(int32_t position, int32_t shown, int32_t page) {
    AxisPlace place;
    const int32_t last = shown - page;
    if (last <= 0 || position <= 0)
        return place;
    if (position >= last) {
        place.edge = AxisPlace::Edge::End;
        return place;
    }
    place.edge = AxisPlace::Edge::Middle;
    const int64_t middle = int64_t(position) * 2 + page;
    place.centre = int32_t((middle * kWhole + shown) / (int64_t(shown) * 2));
    return place;
}

int32_t PositionOnAxis(const AxisPlace& place, int32_t shown, int32_t page) {
    const int64_t last = int64_t(shown) - page;
    if (last <= 0)
        return 0;
    switch (place.edge) {
    case AxisPlace::Edge::Start:
        return 0;
    case AxisPlace::Edge::End:
        return int32_t(last);
    case AxisPlace::Edge::Middle:
        break;
    }
    // The centre's picture point, put back under the view's centre: in
    // halves of a pixel, so that an odd page comes back to the same place.
    const int64_t halves = int64_t(place.centre) * shown * 2 - int64_t(page) * kWhole;
    int64_t position = (halves + kWhole) / (kWhole * 2);
    if (position > last)
        position = last;
    if (position < 0)
        position = 0;
    return int32_t(position);
}
