#pragma once
// The interface through which a window that receives a bindable mouse event
// (MouseEvent) asks the main frame to run the action the user bound to it.

#include "app/MouseAction.h"

class MouseActionSink {
public:
    virtual void RunMouseAction(int event) = 0;
    // The pointer moved over the view, left it, or the picture moved under
    // it: the colour under it may have changed.
    virtual void PointerMoved() {}

protected:
    ~MouseActionSink() = default;
};
