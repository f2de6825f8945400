#include "base/PlacementMath.h"

namespace placement {

namespace {

// Metric indices of the platform.
constexpr int32_t kScreenWidth = 0;        // SM_CXSCREEN
constexpr int32_t kScreenHeight = 1;       // SM_CYSCREEN
constexpr int32_t kVirtualLeft = 76;       // SM_XVIRTUALSCREEN
constexpr int32_t kVirtualTop = 77;        // SM_YVIRTUALSCREEN
constexpr int32_t kVirtualWidth = 78;      // SM_CXVIRTUALSCREEN
constexpr int32_t kVirtualHeight = 79;     // SM_CYVIRTUALSCREEN
constexpr int32_t kMonitorCount = 80;      // SM_CMONITORS
constexpr int32_t kSameDisplayFormat = 81; // SM_SAMEDISPLAYFORMAT

// One axis of the centring rule: start in the middle of the area, then keep
// the far edge and, winning over it, the near edge on the virtual screen.
int32_t CenterAxis(int32_t areaStart, int32_t areaSize, int32_t size, int32_t screenStart, int32_t screenEnd) {
    int32_t position = areaStart;
    if (areaSize > size)
        position += (areaSize - size) / 2;
    if (position + size > screenEnd)
        position = screenEnd - size;
    if (position < screenStart)
        position = screenStart;
    return position;
}

// One axis of the keep-inside rule. The far edge is only pulled in when the
// window fits, so a window larger than the screen keeps its near edge on it.
int32_t KeepAxis(int32_t position, int32_t size, int32_t screenStart, int32_t screenEnd) {
    const int32_t maximum = screenEnd - size;
    if (position < screenStart)
        position = screenStart;
    if (position > maximum && maximum > screenStart)
        position = maximum;
    return position;
}

} // namespace

Rect VirtualScreenFromMetrics(int32_t x, int32_t y, int32_t cx, int32_t cy) {
    return {x, y, x + cx, y + cy};
}

Point CenteredTopLeft(const Rect& area, int32_t width, int32_t height, const Rect& virtualScreen) {
    return {CenterAxis(area.left, area.right - area.left, width, virtualScreen.left, virtualScreen.right),
            CenterAxis(area.top, area.bottom - area.top, height, virtualScreen.top, virtualScreen.bottom)};
}

Point KeptTopLeft(Point topLeft, int32_t width, int32_t height, const Rect& virtualScreen) {
    return {KeepAxis(topLeft.x, width, virtualScreen.left, virtualScreen.right),
            KeepAxis(topLeft.y, height, virtualScreen.top, virtualScreen.bottom)};
}

void MoveTopLeft(Rect& r, int32_t x, int32_t y) {
    r.right += x - r.left;
    r.bottom += y - r.top;
    r.left = x;
    r.top = y;
}

int32_t FallbackMetric(int32_t index, int32_t (*systemMetric)(int32_t)) {
    switch (index) {
    case kVirtualLeft:
    case kVirtualTop:
        return 0;
    case kVirtualWidth:
        return systemMetric(kScreenWidth);
    case kVirtualHeight:
        return systemMetric(kScreenHeight);
    case kMonitorCount:
    case kSameDisplayFormat:
        return 1;
    default:
        return systemMetric(index);
    }
}

} // namespace placement
