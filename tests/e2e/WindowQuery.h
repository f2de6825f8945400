#pragma once
// Finding and reading the windows of another process. Every question is a
// message sent with a timeout, so a hung program fails the test instead of
// hanging it. Texts come back in the ANSI code page (CP932 under the tests'
// Japanese locale), the code page the viewer itself uses.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// How long a cross-process question may take before it counts as failed.
constexpr DWORD kAnswerTimeoutMs = 5000;

std::string ClassOf(HWND hwnd);
// The window's text (title of a top-level window) via WM_GETTEXT.
std::string WindowText(HWND hwnd);

// Top-level windows of process pid whose class is className (all of them when
// className is null), visible ones only unless includeHidden.
std::vector<HWND> TopWindows(DWORD pid, const char* className = nullptr, bool includeHidden = false);
// The index-th direct child of parent with that class ("LISTBOX", "View"), or null.
HWND FindChild(HWND parent, const char* className, int index = 0);
// The first descendant of parent with that class, at any depth.
HWND FindDescendant(HWND parent, const char* className);

RECT ClientRect(HWND hwnd);
// The client rectangle in screen coordinates.
RECT ClientRectOnScreen(HWND hwnd);

// WM_COMMAND with the id as a menu or accelerator would send it (notification
// code 0, no control). SendCommand waits until the program has handled it,
// which never happens while the handler runs a modal dialog or message box:
// use PostCommand (and then Sync, InjectedQuery.h) for those.
bool SendCommand(HWND hwnd, int id);
bool PostCommand(HWND hwnd, int id);

// A message sent with the answer timeout; false when it timed out.
bool SendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

// List box queries (works on "LISTBOX" children of another process). Item
// texts are read with LB_GETTEXT, which Wine copies across processes; item
// data values are pointers of the other process and are not read.
int ListCount(HWND list);     // -1 on failure
int ListSelection(HWND list); // LB_ERR (-1) when nothing is selected
std::string ListText(HWND list, int index);
std::vector<std::string> ListTexts(HWND list);

// The text of a message box ("#32770"): its static text control, not the icon.
std::string MessageBoxText(HWND box);

// The programs' texts as UTF-8, as the viewer keeps them, and back: every
// name reads back whole whatever the system's code page.
std::string Narrow(const std::wstring& wide);
std::wstring Widen(const std::string& text);

} // namespace e2e
