// The thumbnail's bitmap is handed out only when it was drawn: a drawing that
// fails or throws leaves no bitmap behind in the shell's process. A deleted
// DIB section gives its pixels back to the system, so the memory the
// drawing saw tells whether the bitmap still lives.

#include "shell/ThumbnailBitmap.h"

#include <gtest/gtest.h>

#include <new>

namespace {

bool StillMapped(const void* bits) {
    MEMORY_BASIC_INFORMATION info = {};
    return VirtualQuery(bits, &info, sizeof info) == sizeof info && info.State == MEM_COMMIT;
}

TEST(ThumbnailBitmap, OnlyADrawnBitmapOutlivesTheCall) {
    const ThumbnailSize size{64, 48};
    struct Case {
        const char* name;
        HRESULT drawn;
        bool throws;
    };
    const Case cases[] = {
        {"drawn", S_OK, false},
        {"refused", HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), false},
        {"broken", HRESULT_FROM_WIN32(ERROR_BAD_FORMAT), false},
        {"throws", S_OK, true},
    };
    for (const Case& c : cases) {
        void* seen = nullptr;
        ptrdiff_t seenStride = 0;
        HBITMAP bitmap = HBITMAP(1);
        HRESULT result = E_UNEXPECTED;
        bool thrown = false;
        try {
            result = MakeThumbnailBitmap(
                size,
                [&](uint8_t* bits, ptrdiff_t stride) {
                    seen = bits;
                    seenStride = stride;
                    bits[0] = 0x5A;
                    if (c.throws)
                        throw std::bad_alloc();
                    return c.drawn;
                },
                &bitmap);
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
        ASSERT_NE(seen, nullptr) << c.name;
        EXPECT_EQ(seenStride, 64 * 4) << c.name;
        EXPECT_EQ(thrown, c.throws) << c.name;
        if (c.drawn == S_OK && !c.throws) {
            EXPECT_EQ(result, S_OK);
            ASSERT_NE(bitmap, nullptr);
            DIBSECTION dib = {};
            ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), int(sizeof dib));
            EXPECT_EQ(dib.dsBm.bmWidth, 64);
            EXPECT_EQ(dib.dsBm.bmHeight, 48);
            EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
            EXPECT_EQ(static_cast<uint8_t*>(dib.dsBm.bmBits)[0], 0x5A) << "the drawing is the bitmap's";
            EXPECT_TRUE(StillMapped(seen));
            DeleteObject(bitmap);
        } else {
            if (!c.throws) {
                EXPECT_EQ(result, c.drawn) << c.name;
                EXPECT_EQ(bitmap, nullptr) << c.name;
            }
            EXPECT_FALSE(StillMapped(seen)) << c.name << ": the bitmap was left behind";
        }
    }
}

} // namespace
