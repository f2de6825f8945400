#include "framework/GdiObject.h"

#include "base/Wide.h"

void GdiObject::DeleteHandle() {
    if (handle == nullptr)
        return;
    DeleteObject(handle);
    handle = nullptr;
}

bool GdiObject::CreateFont(int height, int weight, BYTE charSet, const char* face) {
    DeleteHandle();
    handle = ::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charSet, 0, 0, 0, 0, Widen(face).c_str());
    return handle != nullptr;
}

bool GdiObject::CreateFromLogFont(const LOGFONTW& font) {
    DeleteHandle();
    handle = ::CreateFontIndirectW(&font);
    return handle != nullptr;
}
