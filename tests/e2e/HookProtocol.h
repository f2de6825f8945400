#pragma once
// How the test process and the harness hook DLL (HarnessHook.cpp), loaded into
// the program under test as a WH_GETMESSAGE hook, talk to each other.
//
// The test posts kQueryMessage to a window of the program: wParam is the
// Query, lParam holds the test's process id (low 32 bits) and a sequence
// number (high 32 bits). When the program's thread takes the message from its
// queue, the hook answers in the shared memory named ReplyName(pid), sets the
// event DoneName(pid) and turns the message into WM_NULL.

#include <windows.h>

#include <cstdio>

namespace hookproto {

constexpr const char* kQueryMessage = "TessavelHarnessQuery";
constexpr const char* kHookProcName = "HarnessGetMessage";

enum Query : WPARAM {
    kSync = 0,        // only the answer: everything posted before it has been handled
    kScrollHorz = 1,  // GetScrollInfo(SB_HORZ) of the message's window
    kScrollVert = 2,  // GetScrollInfo(SB_VERT)
    kThreadState = 3, // focus, capture and active window of the program's thread
    kInputMarker = 4, // answered by the hook when it sees the marker key below
    // The state (position: GetMenuState flags) and text of the menu-bar item
    // whose command id is requestId, after the window was told
    // that each of its menus opens (WM_INITMENUPOPUP), as a user opening
    // them would.
    kMenuItem = 5,
    // ok: the thread is in a single-threaded COM apartment already.
    kComApartment = 6,
    kDpiState = 10,   // DPI, awareness and font height of the message's window (HookMeasure.cpp)
    kTextFit = 11,    // the controls of the message's window (a dialog) whose text is cut off
    kDpiChanged = 12, // sends the message's window WM_DPICHANGED with the request below
    kCursor = 13,     // GetCursorPos as the program's thread sees it
    // The program's thread moves the pointer to requestMove itself, with
    // SendInput. Wine's X11 driver warps the X pointer in the thread that
    // moved it and later hands the program the X server's motion event of
    // every warp as input of its own; only the warping thread knows to drop
    // those of warps older than its last one. Moved from the test process,
    // a late event of an earlier move can put the pointer back after the
    // next move, in the middle of a drag.
    kMoveCursor = 14,
    // The user's text size changed: the program's process scales the
    // message and status fonts of the system's metrics to requestTextPercent
    // of what they were at the first such query (100 puts them back), and
    // the message's window is sent WM_SETTINGCHANGE, as the system sends it.
    kTextSize = 15,
};

// The hardware marker: a key-up of VK_F24 closes a batch of SendInput
// events; its extra info holds kMarkerTag in the high 32 bits and the test's
// process id in the low 32 bits. The hook answers (sequence 0) when the
// program's thread reaches it, after every input event sent before it.
// The test's other keys carry the same extra info, so that the hook counts
// them apart from keys the system posts.
constexpr UINT kMarkerKey = VK_F24;
constexpr UINT64 kMarkerTag = 0x7E55A7E1;

struct Reply {
    LONG sequence; // the sequence number of the query answered
    LONG ok;       // the queried call succeeded
    INT minimum, maximum, page, position, trackPosition;
    UINT64 focus, capture, active; // window handles, 0 for none
    char text[260];                // kMenuItem: the item's text
    // kDpiState: the window's DPI, its DPI awareness (0 unaware, 1 system,
    // 2 per monitor; -1 when the system cannot say) and the height of the
    // font it was given (LOGFONT lfHeight; 0 without one), and the width of
    // its class's large icon (0 without one).
    INT dpi, awareness, fontHeight, iconSize;
    // kTextFit: controls with text measured, how many of them cut it off (or
    // stick out of the dialog), the first such control's id and by how many
    // pixels it falls short.
    INT controls, cutOff, firstCutOffId, shortBy;
    // kDpiChanged, written by the test before it asks: the new DPI and the
    // suggested window rectangle.
    INT requestDpi;
    RECT requestRect;
    // kMenuItem, written by the test before it asks: the item's command id.
    UINT requestId;
    // kCursor: the pointer's screen position.
    POINT cursor;
    // kMoveCursor, written by the test before it asks: where to, in the
    // 0..65535 units of an absolute SendInput move over the primary screen.
    POINT requestMove;
    // kInputMarker: the modifiers (Ctrl 1, Shift 2, Alt 4, as Input.h's
    // Modifier) the thread's key state holds at the marker, and the key
    // presses it took since the previous marker: how many, and the last
    // one's virtual key and the modifiers held with it.
    UINT heldModifiers;
    UINT keyPresses;
    UINT lastKey;
    UINT lastKeyModifiers;
    // kTextSize, written by the test before it asks: the percentage. The
    // answer: the message and status fonts' heights (lfHeight) at the
    // window's DPI, as the program reads them afterwards.
    INT requestTextPercent;
    INT messageFontHeight, statusFontHeight;
};

inline void ReplyName(char* out, size_t size, DWORD pid) {
    std::snprintf(out, size, "TessavelHarnessReply-%lu", pid);
}
inline void DoneName(char* out, size_t size, DWORD pid) {
    std::snprintf(out, size, "TessavelHarnessDone-%lu", pid);
}

} // namespace hookproto
