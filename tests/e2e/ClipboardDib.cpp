#include "tests/e2e/ClipboardDib.h"

#include <cstring>

namespace e2e {

namespace {

// Another process may hold the clipboard open for a moment.
bool OpenClipboardPatiently() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace

COLORREF ClipboardDib::ColourAt(int x, int y) const {
    const int bytesPerPixel = header.biBitCount / 8;
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || x < 0 || y < 0 || x >= Width() || y >= Height())
        return CLR_INVALID;
    const size_t row = header.biHeight > 0 ? size_t(Height() - 1 - y) : size_t(y);
    const uint8_t* pixel = bytes.data() + bitsOffset + row * stride + size_t(x) * size_t(bytesPerPixel);
    return RGB(pixel[2], pixel[1], pixel[0]);
}

std::optional<ClipboardDib> ReadClipboardDib() {
    if (!OpenClipboardPatiently())
        return std::nullopt;
    std::optional<ClipboardDib> dib;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const SIZE_T size = GlobalSize(data);
        if (const void* block = GlobalLock(data)) {
            ClipboardDib read;
            read.bytes.assign(static_cast<const uint8_t*>(block), static_cast<const uint8_t*>(block) + size);
            GlobalUnlock(data);
            if (size >= sizeof(BITMAPINFOHEADER)) {
                std::memcpy(&read.header, read.bytes.data(), sizeof read.header);
                const BITMAPINFOHEADER& h = read.header;
                size_t colours = h.biBitCount <= 8 ? (h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount)) : h.biClrUsed;
                if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER))
                    colours = 3; // the three masks follow the header
                read.bitsOffset = h.biSize + colours * sizeof(RGBQUAD);
                read.stride = ((size_t(h.biWidth < 0 ? 0 : h.biWidth) * h.biBitCount + 31) / 32) * 4;
                if (read.bitsOffset + read.stride * size_t(read.Height()) <= size)
                    dib = std::move(read);
            }
        }
    }
    CloseClipboard();
    return dib;
}

bool ClearClipboard() {
    if (!OpenClipboardPatiently())
        return false;
    const bool emptied = EmptyClipboard();
    CloseClipboard();
    return emptied;
}

bool PutClipboardText(const std::string& text) {
    if (!OpenClipboardPatiently())
        return false;
    bool put = false;
    if (EmptyClipboard()) {
        if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            put = SetClipboardData(CF_TEXT, block) != nullptr;
            if (!put)
                GlobalFree(block);
        }
    }
    CloseClipboard();
    return put;
}

std::optional<std::string> ClipboardText() {
    if (!OpenClipboardPatiently())
        return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = std::string(chars, strnlen(chars, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace e2e
