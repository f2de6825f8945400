// A picture drawn into a memory context and put on the clipboard, and the
// bitmap sections the Windows programs keep their pictures in.
#include "Canvas.h"

#include "framework/PictureDib.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DibRead.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Each pixel its own colour, row y (from the top) and column x in it, with an
// alpha that neither output may carry.
void Paint(ImageBuffer& picture) {
    for (int32_t y = 0; y < picture.height; ++y) {
        uint8_t* p = picture.TopRow(y);
        for (int32_t x = 0; x < picture.width; ++x, p += 4) {
            p[0] = uint8_t(0x10 + x); // blue
            p[1] = uint8_t(0x40 + y); // green
            p[2] = 0xC0;              // red
            p[3] = 0x7F;
        }
    }
}

COLORREF Painted(int x, int y) {
    return RGB(0xC0, 0x40 + y, 0x10 + x);
}

HBITMAP SectionOf(const ImageBuffer& picture) {
    return static_cast<HBITMAP>(const_cast<void*>(picture.MemoryOwner()));
}

TEST(PictureMemory, IsABottomUpBitmapSectionOverThePixels) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(5, 3));
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(SectionOf(picture), sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBm.bmBits, picture.bits) << "drawn from the section's own memory, not a copy";
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBm.bmWidth, 5);
    EXPECT_EQ(section.dsBm.bmHeight, 3);
    EXPECT_EQ(section.dsBmih.biHeight, 3) << "positive: the rows bottom-up, as the picture stores them";

    // Swapping hands the section over with the pixels; freeing deletes it.
    ImageBuffer other;
    other.Swap(picture);
    EXPECT_EQ(picture.MemoryOwner(), nullptr);
    const HBITMAP handle = SectionOf(other);
    ASSERT_EQ(GetObjectW(handle, sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBm.bmBits, other.bits);
    EXPECT_TRUE(other.Free());
    EXPECT_EQ(GetObjectType(handle), 0u) << "the section outlived its picture";
}

TEST(DrawPicture, SourceRectangleCountsRowsFromTheTop) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(4, 5));
    Paint(picture);
    Canvas canvas(4, 4);
    // Rows 1 and 2 and columns 1 to 3 of the picture, 1:1 at the canvas's
    // top-left corner.
    DrawPicture(canvas.dc, picture, 0, 0, 3, 2, 1, 1, 3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(canvas.At(x, y), Painted(x + 1, y + 1)) << x << ", " << y;
    EXPECT_EQ(canvas.At(3, 0), RGB(Canvas::kUntouched, Canvas::kUntouched, Canvas::kUntouched));
    EXPECT_EQ(canvas.At(0, 2), RGB(Canvas::kUntouched, Canvas::kUntouched, Canvas::kUntouched));
}

TEST(DrawPicture, EmptyPictureDrawsNothing) {
    const ImageBuffer empty;
    Canvas canvas(4, 4);
    DrawPicture(canvas.dc, empty, 0, 0, 4, 4, 0, 0, 4, 4);
    EXPECT_TRUE(canvas.Untouched());
}

// The clipboard's CF_DIB block, copied out.
std::vector<uint8_t> ClipboardDib() {
    std::vector<uint8_t> block;
    if (!OpenClipboard(nullptr))
        return block;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        if (const void* bytes = GlobalLock(data)) {
            const uint8_t* first = static_cast<const uint8_t*>(bytes);
            block.assign(first, first + GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return block;
}

TEST(CopyPictureToClipboard, PacksRowsOfThreeBytesWithZeroedPadding) {
    ImageBuffer picture;
    // Five pixels a row: 15 bytes, padded to 16.
    ASSERT_TRUE(picture.Create(5, 3));
    Paint(picture);
    // Leave a freed block of the same size full of ones, for the copy to be
    // handed again.
    const size_t blockBytes = sizeof(BITMAPINFOHEADER) + 16 * 3;
    if (HGLOBAL dirty = GlobalAlloc(GMEM_MOVEABLE, blockBytes)) {
        if (void* bytes = GlobalLock(dirty)) {
            std::memset(bytes, 0xFF, blockBytes);
            GlobalUnlock(dirty);
        }
        GlobalFree(dirty);
    }
    ASSERT_TRUE(CopyPictureToClipboard(picture));
    const std::vector<uint8_t> block = ClipboardDib();
    dibread::Layout layout;
    ASSERT_TRUE(dibread::Parse(block.data(), block.size(), layout));
    EXPECT_EQ(layout.bitCount, 24);
    EXPECT_EQ(layout.width, 5);
    EXPECT_EQ(layout.height, 3);
    EXPECT_FALSE(layout.topDown);
    ASSERT_EQ(layout.stride, 16u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            uint8_t rgb[3] = {};
            ASSERT_TRUE(dibread::RgbAt(block.data(), layout, x, y, rgb));
            EXPECT_EQ(RGB(rgb[0], rgb[1], rgb[2]), Painted(x, y)) << x << ", " << y;
        }
        EXPECT_EQ(block[layout.bitsOffset + size_t(y) * layout.stride + 15], 0) << "padding of row " << y;
    }
}

} // namespace
