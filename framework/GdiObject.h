#pragma once
// GdiObject: an owned drawing object (a font in this program), deleted when
// replaced and when the holder goes.

#include <windows.h>

class GdiObject {
public:
    GdiObject() = default;
    ~GdiObject() { DeleteHandle(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void DeleteHandle();
    // Replaces the held object with a font of that height, weight, character
    // set and face, every other attribute the default. False (and empty) when
    // the platform refuses it. (With <windows.h> this is CreateFontA.)
    bool CreateFont(int height, int weight, BYTE charSet, const char* face);

    // Replaces the held object with the font font describes. False (and
    // empty) when the platform refuses it.
    bool CreateFromLogFont(const LOGFONTW& font);

    HFONT Font() const { return static_cast<HFONT>(handle); }

    HGDIOBJ handle = nullptr;
};
