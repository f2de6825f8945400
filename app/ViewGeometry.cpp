#include "app/ViewGeometry.h"

#include "res/ResourceIds.h"

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

namespace {

const int32_t kSequence[] = {25, 33, 50, 67, 75, 100, 150, 200, 300, 400, 500};
constexpr int kSequenceCount = int(sizeof(kSequence) / sizeof(kSequence[0]));

} // namespace

const int kZoomCommands[] = {IDM_ZOOM_25,  IDM_ZOOM_33,  IDM_ZOOM_50,  IDM_ZOOM_67,  IDM_ZOOM_75, IDM_ZOOM_100,
                             IDM_ZOOM_150, IDM_ZOOM_200, IDM_ZOOM_300, IDM_ZOOM_400, IDM_ZOOM_500};
const int kZoomCommandCount = int(sizeof(kZoomCommands) / sizeof(kZoomCommands[0]));

int32_t ZoomStepScale(int32_t scale, bool up) {
    return SequenceStepScale(scale, up);
}

int32_t SequenceStepScale(int32_t scale, bool up) {
    if (up) {
        for (int32_t value : kSequence)
            if (value > scale)
                return value;
        return scale;
    }
    for (int i = kSequenceCount - 1; i >= 0; --i)
        if (kSequence[i] < scale)
            return kSequence[i];
    return scale;
}

int32_t ScaleForZoomCommand(int id) {
    switch (id) {
    case IDM_ZOOM_33:
        return 33;
    case IDM_ZOOM_67:
        return 67;
    case IDM_ZOOM_150:
        return 150;
    default:
        break;
    }
    if (id >= IDM_ZOOM_25 && id <= IDM_ZOOM_100)
        return 25 * id - 1000225;
    if (id > IDM_ZOOM_100 && id <= IDM_ZOOM_500)
        return 100 * id - 4001200;
    return 0;
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
