#include "base/ScrollMath.h"

#include <cstdint>

namespace {

// Scroll codes of the platform.
enum : uint32_t {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
};

} // namespace

int32_t NextScrollPosition(uint32_t code, uint32_t thumb, const ScrollState& state) {
    // 64-bit steps: a position near the end of a 32-bit range plus a page
    // must not overflow.
    int64_t p;
    switch (code) {
    case kLineUp:
        p = int64_t{state.position} - 1;
        break;
    case kLineDown:
        p = int64_t{state.position} + 1;
        break;
    case kPageUp:
        p = int64_t{state.position} - state.page;
        break;
    case kPageDown:
        p = int64_t{state.position} + state.page;
        break;
    case kThumbPosition:
    case kThumbTrack:
        p = thumb;
        break;
    case kTop:
        p = state.minimum;
        break;
    case kBottom:
        p = state.maximum;
        break;
    default:
        p = state.position;
        break;
    }
    if (p < state.minimum)
        p = state.minimum;
    if (p > state.maximum)
        p = state.maximum;
    if (p + state.page > int64_t{state.maximum} + 1)
        p = int64_t{state.maximum} - state.page + 1;
    if (p < INT32_MIN)
        p = INT32_MIN;
    return static_cast<int32_t>(p);
}

int32_t ThumbPosition(uint32_t messageThumb, int32_t trackPosition) {
    if ((static_cast<uint32_t>(trackPosition) & 0xFFFFu) == (messageThumb & 0xFFFFu))
        return trackPosition;
    return static_cast<int32_t>(messageThumb & 0xFFFFu);
}
