#include "app/ViewGeometry.h"

namespace {

constexpr int64_t kMaxInt32 = 0x7FFFFFFF;
constexpr int64_t kMinInt32 = -kMaxInt32 - 1;

int32_t Clamp32(int64_t value) {
    return int32_t(value > kMaxInt32 ? kMaxInt32 : value < kMinInt32 ? kMinInt32 : value);
}

} // namespace

int32_t UsableScale(int32_t scale) {
    return scale > 0 ? scale : 100;
}

int32_t ZoomStepScale(int32_t scale, bool up) {
    if (up) {
        if (scale < 100)
            return scale + 25;
        return scale == 500 ? scale : Clamp32(int64_t(scale) + 100);
    }
    if (scale > 100)
        return scale - 100;
    // A scale from the settings file below 25 stops before it would reach 0.
    return scale <= 25 ? scale : scale - 25;
}

int32_t SequenceStepScale(int32_t scale, bool up) {
    static const int32_t kSequence[] = {25, 50, 75, 100, 200, 300, 400, 500};
    if (up) {
        for (int32_t value : kSequence)
            if (value > scale)
                return value;
        return scale;
    }
    for (int i = int(sizeof(kSequence) / sizeof(kSequence[0])) - 1; i >= 0; --i)
        if (kSequence[i] < scale)
            return kSequence[i];
    return scale;
}

int32_t ScaleForZoomCommand(int id) {
    return id <= 40013 ? 25 * id - 1000225 : 100 * id - 4001200;
}

int32_t DisplayedSize(int32_t pixels, int32_t scale) {
    return Clamp32(int64_t(pixels) * UsableScale(scale) / 100);
}

PaintPlan PlanPaint(int32_t width, int32_t height, int32_t scale, int32_t horizontalPos, int32_t verticalPos) {
    const int64_t s = UsableScale(scale);
    PaintPlan plan;
    if (width != 0) {
        plan.sourceX = Clamp32(int64_t(horizontalPos) * 100 / s);
        plan.sourceY = Clamp32(int64_t(verticalPos) * 100 / s);
    }
    plan.shownWidth = Clamp32(s * (int64_t(width) - plan.sourceX) / 100);
    plan.shownHeight = Clamp32(s * (int64_t(height) - plan.sourceY) / 100);
    return plan;
}

int32_t DragScrollPosition(int32_t position, int32_t last, int32_t now, int32_t scale) {
    return Clamp32(int64_t(position) + (int64_t(last) - now) * UsableScale(scale) / 100);
}
