#pragma once
// Reading the picture another process put on the clipboard as CF_DIB, and
// text put there to see whether a program left it alone.

#include "tests/support/DibRead.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct ClipboardDib {
    std::vector<uint8_t> bytes; // the whole CF_DIB block: header, then the pixel rows
    BITMAPINFOHEADER header{};
    dibread::Layout layout;
    size_t bitsOffset = 0; // where the rows start in bytes
    size_t stride = 0;     // bytes per row, a multiple of 4

    int Width() const { return layout.width; }
    int Height() const { return layout.height; }
    // Pixel (x, y), y from the top, as a colour 0x00BBGGRR; 24 and 32 bits only.
    COLORREF ColourAt(int x, int y) const;
};

// The clipboard's CF_DIB (Wine converts other bitmap formats on request).
// Nothing when the clipboard holds no picture, or it stays busy for a second,
// or the block is shorter than its header says.
std::optional<ClipboardDib> ReadClipboardDib();

// Empties the clipboard, so that a later read sees only what comes after.
bool ClearClipboard();

// Replaces the clipboard's contents with text (CF_TEXT).
bool PutClipboardText(const std::string& text);
// The clipboard's CF_TEXT; nothing when it holds none.
std::optional<std::string> ClipboardText();

} // namespace e2e
