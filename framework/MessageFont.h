#pragma once
// The system's message font: the face and size the user's Windows shows file
// names in (Explorer, message boxes), which differs by language (Segoe UI on
// a Western system, Yu Gothic UI or Meiryo UI on a Japanese one) and by the
// user's text-size setting. It reaches every script through the system's
// font linking.

#include <windows.h>

#include <cstdint>

class GdiObject;

// The message font sized for a window drawn at dpi. False when the system
// cannot say; font is then left as it was.
bool MessageFontAt(uint32_t dpi, LOGFONTW& font);
// The system's status-bar font, likewise.
bool StatusFontAt(uint32_t dpi, LOGFONTW& font);

// Gives window the message font at dpi for text of any language (the
// character set left to the system's font linking), held in font; the font
// it had before is deleted once the window no longer uses it. False, and
// the window's font as it was, when the system cannot make one.
bool SetMessageFont(HWND window, uint32_t dpi, GdiObject& font);
