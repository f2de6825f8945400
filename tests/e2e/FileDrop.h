#pragma once
// Dropping files on a window of another process as the shell does it.
//
// A WM_DROPFILES carries an HDROP, a memory handle of the receiving process;
// Wine does not copy it across processes (an HDROP of the test process makes
// the program's DragQueryPoint read unmapped memory and crash). So the
// DROPFILES block is written into the program's own memory
// (VirtualAllocEx + WriteProcessMemory) and its address posted as the HDROP:
// GlobalLock and DragQueryFile take a fixed block's address as its handle.
// DragFinish cannot free that block (Wine warns and goes on); it is released
// here once the program handled the drop. Works with the null and the X11
// driver, no screen needed.

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/Input.h"

namespace e2e {

// Drops paths (Windows paths, ANSI) on target at client point at, with the
// modifiers (Ctrl for an extending drop) held in the program's keyboard state
// while it handles the drop. process must be a handle of the program with
// PROCESS_VM_OPERATION and PROCESS_VM_WRITE rights (CreateProcess's handle
// has them). Returns after the drop was handled, false when that took
// longer than timeoutMs.
bool DropFiles(HANDLE process, HWND target, const std::vector<std::string>& paths, POINT at = {8, 8},
               unsigned modifiers = kNoModifier, DWORD timeoutMs = 5000);

} // namespace e2e
