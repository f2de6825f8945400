// The pictures' pixel memory as device-independent bitmap sections, for the
// programs that draw them (pixels/PictureMemory.h): the viewer draws straight
// from the section's bits, with no copy.

#include "pixels/PictureMemory.h"

#include <windows.h>

#include <cstdlib>

namespace {

// Bitmap-information header followed by the three colour masks of a
// BI_BITFIELDS section: 40 + 12 bytes.
struct BitfieldsHeader {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};
static_assert(sizeof(BitfieldsHeader) == 52, "header and three masks");

} // namespace

void* AllocatePictureMemory(int32_t width, int32_t height, uint8_t** pixels) {
    BitfieldsHeader* info = static_cast<BitfieldsHeader*>(std::calloc(1, sizeof(BitfieldsHeader)));
    if (info == nullptr)
        return nullptr;
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = width;
    info->header.biHeight = height; // positive: bottom-up
    info->header.biPlanes = 1;
    info->header.biBitCount = 32;
    info->header.biCompression = BI_BITFIELDS;
    info->masks[0] = 0x00FF0000; // red
    info->masks[1] = 0x0000FF00; // green
    info->masks[2] = 0x000000FF; // blue
    void* memory = nullptr;
    HBITMAP section =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS, &memory, nullptr, 0);
    std::free(info);
    *pixels = static_cast<uint8_t*>(memory);
    return section;
}

bool FreePictureMemory(void* owner) {
    return DeleteObject(static_cast<HBITMAP>(owner)) != FALSE;
}
