#pragma once
// The signed values inside the halves a mouse handler is given (Window.h
// passes a message's parameters as they come, zero-extended): a point left
// of or above the origin of its window or of the screen is negative, and so
// is a wheel turned toward the user.

#include <windows.h>
#include <windowsx.h>

#include <cstdint>

// The point of a mouse message's x and y halves.
inline POINT PointOf(uint32_t x, uint32_t y) {
    const LPARAM both = MAKELPARAM(x, y);
    return POINT{GET_X_LPARAM(both), GET_Y_LPARAM(both)};
}

// The turn of WM_MOUSEWHEEL's delta half, in steps of WHEEL_DELTA.
inline int WheelDeltaOf(uint32_t delta) {
    return GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, delta));
}
