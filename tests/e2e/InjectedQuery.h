#pragma once
// Questions answered by the program's own interface thread, through the hook
// DLL the harness loads into it (HarnessHook.cpp). Wine 8 answers
// GetScrollInfo only for windows of the calling process, and a posted
// message gives no sign of when it has been handled; both are solved here.

#include <windows.h>

#include <optional>
#include <string>

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

// After SendInput: sends a marker key-up and waits until the thread of hwnd
// has taken it, so every input event sent before it has been handled. The
// marker reaches the thread only while one of its windows is in the
// foreground with the focus.
bool SyncInput(HWND hwnd, DWORD timeoutMs = kAnswerTimeoutMs);

} // namespace e2e
