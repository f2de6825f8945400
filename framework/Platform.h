#pragma once
// One-call platform helpers.

#include <windows.h>

#include <cstdint>

enum class PathKind { Missing, File, Folder };
// What path names: nothing (or nothing this program may look at), a file or
// a folder. Has no state, so the conversion worker may call it too.
PathKind KindOfPath(const char* path);
// Icon resourceId of the program at size x size pixels. Not destroyed: the
// icons serve a window class for the whole run.
HICON LoadIconImage(uint32_t resourceId, int size);
// Enables or greys the Close command of window's system menu.
void EnableSystemClose(HWND window, bool enable);
