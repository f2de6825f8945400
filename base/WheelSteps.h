#pragma once
// Turns wheel deltas into whole notches. A high-resolution wheel or a
// touchpad sends many small deltas per notch (three of 40, say); acting on
// each would step through several documents for one notch. Deltas add up
// until they make a notch of WHEEL_DELTA (120); the rest waits for the next.

#include <cstdint>

class WheelSteps {
public:
    static constexpr int32_t kNotch = 120;

    // Adds a signed delta and returns the whole notches it completes:
    // positive away from the user, negative toward. Turning back drops what
    // was gathered the other way, so a reversal acts after one notch of its
    // own, not after first undoing the remainder.
    int32_t Add(int32_t delta);

private:
    int32_t pending = 0;
};
