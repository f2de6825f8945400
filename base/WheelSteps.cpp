#include "base/WheelSteps.h"

int32_t WheelSteps::Add(int32_t delta) {
    if ((delta > 0 && pending < 0) || (delta < 0 && pending > 0))
        pending = 0;
    // Deltas are 16-bit, so the sum stays far from overflowing.
    pending += delta;
    const int32_t notches = pending / kNotch; // toward zero: a part notch waits
    pending -= notches * kNotch;
    return notches;
}
