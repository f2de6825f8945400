#pragma once
// The system clipboard: text as Unicode text (CF_UNICODETEXT), which every
// program reads whatever its code page, and the one step every copy ends in.

#include <windows.h>

// Replaces the clipboard's content with text (UTF-8); owner is the window
// that owns the clipboard meanwhile. False when memory is short or the
// clipboard could not be opened (it is then left as it was).
bool CopyTextToClipboard(HWND owner, const char* text);

// Makes block (moveable, unlocked) the clipboard's only content, in format;
// owner as above. The block is the clipboard's once placed and freed here
// when it cannot be, so the caller never frees it.
bool PlaceOnClipboard(HWND owner, UINT format, HGLOBAL block);
