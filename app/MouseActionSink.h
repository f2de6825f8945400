#pragma once
// The interface through which a window that receives a bindable mouse event
// (MouseEvent) asks the main frame to run the action the user bound to it.

#include "app/MouseAction.h"

class MouseActionSink {
public:
    virtual void RunMouseAction(int event) = 0;

protected:
    ~MouseActionSink() = default;
};
