#pragma once

#include <cstdint>
// The bindable mouse events and the actions a binding can name. The values
// are stored in the settings file, so they never change.

enum MouseEvent {
    kMouseRight = 0, // right button pressed on the image
    kMouseMid = 1,   // middle button pressed on the image
    kMouseUp = 2,    // wheel turned away from the user
    kMouseDown = 3,  // wheel turned toward the user
    kMouseLDbl = 4,  // left double click on the image
    kMouseEventCount = 5
};

enum class MouseAction : int32_t {
    None = 0,
    ToggleMaximize = 1,
    PreviousFile = 2,
    NextFile = 3,
    ZoomIn = 4,
    ZoomOut = 5,
    ActualSize = 6,
    OpenInVelmora = 7
};
