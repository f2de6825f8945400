#pragma once
// Keys and mouse for another process's windows, two roads:
//
// Posted (PressKey, PostClick, ...): the messages are posted to the given
// window, with the modifier keys held in the target thread's keyboard state
// (AttachThreadInput + SetKeyboardState, so GetKeyState and
// TranslateAccelerator see Ctrl) until the program has handled them (Sync).
// Needs no foreground and no screen; works with Wine's null and X11 drivers.
// A posted WM_KEYDOWN alone does not work for accelerators: the thread's key
// state does not show Ctrl.
//
// Hardware (SendKey, SendClick, ...): SendInput with the program's window in
// the foreground, as a user's keyboard and mouse: the system routes each
// event (keys to the focus, buttons and the wheel to the window under the
// cursor), synthesises double clicks for CS_DBLCLKS classes, updates
// GetKeyState, and then waits for the marker (SyncInput). It needs the
// foreground, one per Wine desktop: use it in SCREEN tests, whose prefix runs
// one test at a time (tests of the null-driver prefix beside them show
// windows of their own). Neither road shows keys to GetAsyncKeyState under
// Wine 8 here: the program must read modifiers with GetKeyState.

#include <windows.h>

#include <vector>

namespace e2e {

enum Modifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4 };
enum class Button { kLeft, kRight, kMiddle };

// While alive, the thread of target sees the modifiers as held in its
// keyboard state (GetKeyState). Its own posted messages are handled in Sync.
class HeldKeys {
public:
    HeldKeys(HWND target, unsigned modifiers);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    bool active = false;
    DWORD other = 0;
    bool attached = false;
    BYTE saved[256] = {};
};

// Posted road. Coordinates are client coordinates of target. Each returns
// after the program handled the messages (false if it did not in time).
bool PressKey(HWND target, UINT vk, unsigned modifiers = kNoModifier);
bool PostClick(HWND target, int x, int y, Button button = Button::kLeft, unsigned modifiers = kNoModifier);
// Down, up, double click, up: the order the system gives a double click.
bool PostDoubleClick(HWND target, int x, int y, Button button = Button::kLeft, unsigned modifiers = kNoModifier);
// One wheel message of delta (WHEEL_DELTA = 120 per notch, positive away from
// the user) with the pointer at client point (x, y) of target.
bool PostWheel(HWND target, int delta, int x = 1, int y = 1, unsigned modifiers = kNoModifier);
// A left-button drag from one client point to another in steps moves: the
// cursor is moved too (MoveCursor), for programs that read GetCursorPos.
bool PostDrag(HWND target, POINT from, POINT to, int steps = 4);
// The cursor to client point (x, y) of hwnd, moved by the thread of hwnd
// itself (see MoveCursorFromProgram); its move message comes with its input.
bool MoveCursor(HWND hwnd, int x, int y);

// Hardware road.
// Makes top the foreground window (it then has the keyboard focus or gives it
// to its focus child).
bool BringToFront(HWND top);
// Key with modifiers to whatever has the focus; waits until target's thread
// handled it.
bool SendKey(HWND target, UINT vk, unsigned modifiers = kNoModifier);
// clicks presses of button at client point (x, y) of target.
bool SendClick(HWND target, int x, int y, Button button = Button::kLeft, int clicks = 1,
               unsigned modifiers = kNoModifier);
bool SendWheel(HWND target, int x, int y, int delta);
// The left button pressed at client point from of target, moved to to in
// steps moves, and released there. Points may lie outside the client area
// (on a window's scroll bar).
bool SendDrag(HWND target, POINT from, POINT to, int steps = 4);

} // namespace e2e
