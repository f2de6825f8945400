#include "framework/Clipboard.h"

#include "base/Wide.h"

#include <cstring>
#include <string>

bool CopyTextToClipboard(HWND owner, const char* text) {
    const std::wstring wide = Widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block == nullptr)
        return false;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(block);
    return PlaceOnClipboard(owner, CF_UNICODETEXT, block);
}

bool PlaceOnClipboard(HWND owner, UINT format, HGLOBAL block) {
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    // Once set, the block belongs to the clipboard.
    const bool set = SetClipboardData(format, block) != nullptr;
    CloseClipboard();
    if (!set)
        GlobalFree(block);
    return set;
}
