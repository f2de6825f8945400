#pragma once
// Text on the system clipboard, as Unicode text (CF_UNICODETEXT), which
// every program reads whatever its code page.

#include <windows.h>

// Replaces the clipboard's content with text (UTF-8); owner is the window
// that owns the clipboard meanwhile. False when memory is short or the
// clipboard could not be opened (it is then left as it was).
bool CopyTextToClipboard(HWND owner, const char* text);
