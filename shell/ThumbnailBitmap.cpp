#include "shell/ThumbnailBitmap.h"

namespace {

struct OwnedBitmap {
    explicit OwnedBitmap(HBITMAP made) : handle(made) {}
    ~OwnedBitmap() {
        if (handle != nullptr)
            DeleteObject(handle);
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    HBITMAP Give() {
        const HBITMAP given = handle;
        handle = nullptr;
        return given;
    }
    HBITMAP handle;
};

} // namespace

BITMAPINFO TopDownBitmapInfo(int32_t width, int32_t height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HRESULT MakeThumbnailBitmap(const ThumbnailSize& size, const ThumbnailDrawing& draw, HBITMAP* bitmap) {
    *bitmap = nullptr;
    const BITMAPINFO info = TopDownBitmapInfo(size.width, size.height);
    void* bits = nullptr;
    OwnedBitmap made(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (made.handle == nullptr || bits == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT drawn = draw(static_cast<uint8_t*>(bits), ptrdiff_t(size.width) * 4);
    if (drawn != S_OK)
        return FAILED(drawn) ? drawn : E_FAIL;
    *bitmap = made.Give();
    return S_OK;
}
