#pragma once
// Questions answered by the program's own interface thread, through the hook
// DLL the harness loads into it (HarnessHook.cpp). Wine 8 answers
// GetScrollInfo only for windows of the calling process, and a posted
// message gives no sign of when it has been handled; both are solved here.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/WindowQuery.h"

namespace e2e {

struct ScrollState {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = 0;
};

struct ThreadState {
    HWND focus = nullptr;   // the window with the keyboard focus
    HWND capture = nullptr; // the window holding the mouse capture
    HWND active = nullptr;
};

// Waits until the thread of hwnd has taken from its queue, and so handled,
// every message posted to it before this call (a message loop takes the
// next message only after dispatching the previous one; a modal loop counts).
// WM_PAINT and timers come after posted messages and are not waited for.
// False when the thread did not get there in time (busy or hung).
bool Sync(HWND hwnd, DWORD timeoutMs = kAnswerTimeoutMs);

// The window scroll bar bar (SB_HORZ or SB_VERT) of hwnd, read by its own
// process; nothing when the program did not answer or has no such bar.
std::optional<ScrollState> ReadScroll(HWND hwnd, int bar);

std::optional<ThreadState> ReadThreadState(HWND hwnd);

// The pointer's screen position as the thread of hwnd sees it. Under Wine's
// X11 driver a program takes pointer moves from its own X connection, so it
// can see a move made by another process later than that process does.
std::optional<POINT> ReadCursor(HWND hwnd);
// Has the thread of hwnd move the pointer itself to absolute (the 0..65535
// units of an absolute SendInput move), so that the X server's late report of
// an earlier move cannot put it back (HookProtocol.h, kMoveCursor). True once
// the move is sent; the thread takes it with its other input.
bool MoveCursorFromProgram(HWND hwnd, POINT absolute);

struct MenuItemState {
    UINT flags = 0; // GetMenuState: MF_GRAYED, MF_CHECKED, ...
    std::string text;
};

// The menu-bar item of command id of the top-level window hwnd, as the
// program shows it when its menus open (each is sent WM_INITMENUPOPUP
// first). Wine answers menu questions only inside the menu's process.
std::optional<MenuItemState> ReadMenuItem(HWND hwnd, UINT id);

// True when the thread of hwnd runs in a single-threaded COM apartment.
bool InComApartment(HWND hwnd);

struct DpiState {
    int dpi = 0;
    int awareness = -1; // 0 unaware, 1 system, 2 per monitor, 3 per monitor v2
    int fontHeight = 0; // lfHeight of the window's font, 0 without one
    int iconSize = 0;   // width of its class's large icon, 0 without one
};
std::optional<DpiState> ReadDpiState(HWND hwnd);

// Every visible control of a dialog measured with its own font by the
// program: how many have text (or might stick out), and how many of those
// cut their text off or lie partly outside the dialog.
struct TextFit {
    int controls = 0;
    int cutOff = 0;
    int firstCutOffId = 0;
    int shortBy = 0; // pixels missing at the first control cut off
};
std::optional<TextFit> ReadTextFit(HWND dialog);

// Has the program's thread send hwnd WM_DPICHANGED for dpi with the suggested
// window rectangle, as the system does when a window moves to a monitor of
// another scale; true once it has been handled.
bool SendDpiChanged(HWND hwnd, int dpi, const RECT& suggested);

// Has the program's process change the user's text size to percent of what
// it was at the first call (100 restores it), the message and status fonts
// of the system's metrics scaled, and hwnd told with WM_SETTINGCHANGE; the
// two fonts' heights at hwnd's DPI afterwards.
struct TextFonts {
    int messageHeight, statusHeight;
};
std::optional<TextFonts> ChangeTextSize(HWND hwnd, int percent);

// After SendInput: sends a marker key-up and waits until the thread of hwnd
// has taken it, so every input event sent before it has been handled. The
// marker reaches the thread only while one of its windows is in the
// foreground with the focus.
bool SyncInput(HWND hwnd, DWORD timeoutMs = kAnswerTimeoutMs);

// What the thread of hwnd took of a batch of input (InputThrough).
struct InputSeen {
    unsigned heldModifiers = 0;    // held in its key state at the marker (Input.h's Modifier)
    unsigned keyPresses = 0;       // key presses other than the modifiers'
    unsigned lastKey = 0;          // the last one's virtual key
    unsigned lastKeyModifiers = 0; // and the modifiers held when it arrived
};

// Sends events with SendInput and then the marker, with the hook in place
// beforehand, and returns what the thread of hwnd took up to the marker;
// nothing when the marker did not arrive in time.
std::optional<InputSeen> InputThrough(HWND hwnd, const std::vector<INPUT>& events, DWORD timeoutMs = kAnswerTimeoutMs);

} // namespace e2e
