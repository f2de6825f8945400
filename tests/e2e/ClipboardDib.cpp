#include "tests/e2e/ClipboardDib.h"
#include "tests/support/WaitUntil.h"

#include <cstring>

namespace e2e {

namespace {

// Another process may hold the clipboard open for a moment.
bool OpenClipboardPatiently() {
    return waits::WaitUntil([] { return OpenClipboard(nullptr) != FALSE; });
}

} // namespace

COLORREF ClipboardDib::ColourAt(int x, int y) const {
    uint8_t rgb[3];
    if (!dibread::RgbAt(bytes.data(), layout, x, y, rgb))
        return CLR_INVALID;
    return RGB(rgb[0], rgb[1], rgb[2]);
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
            if (dibread::Parse(read.bytes.data(), read.bytes.size(), read.layout)) {
                std::memcpy(&read.header, read.bytes.data(), sizeof read.header);
                read.bitsOffset = read.layout.bitsOffset;
                read.stride = read.layout.stride;
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
