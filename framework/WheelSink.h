#pragma once
// The window that decides what the wheel does when it is turned over the file
// list (the list itself never scrolls by it).

class WheelSink {
public:
    // delta: the message's signed wheel delta (WHEEL_DELTA, 120, per notch;
    // positive away from the user).
    virtual void OnWheelDelta(int delta) = 0;

protected:
    ~WheelSink() = default;
};
