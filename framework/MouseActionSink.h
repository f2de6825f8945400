#pragma once
// The bindable mouse events, and the interface through which a window that
// receives one asks the main frame to run the action bound to it.

enum MouseEvent : int {
    kMouseRightButton = 0,
    kMouseMiddleButton = 1,
    kMouseWheelUp = 2,   // wheel turned away from the user (delta >= 0)
    kMouseWheelDown = 3, // wheel turned toward the user (delta < 0)
    kMouseLeftDouble = 4,
};

class MouseActionSink {
public:
    virtual void RunMouseAction(int event) = 0;

protected:
    ~MouseActionSink() = default;
};
