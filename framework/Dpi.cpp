#include "framework/Dpi.h"

namespace {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);

// GetDpiForWindow exists from Windows 10 1607 on: looked up at run time so
// the program still starts on Windows 7 and 8.
DpiForWindowFunction LookUpDpiForWindow() {
    HMODULE user = GetModuleHandleA("USER32");
    if (user == nullptr)
        return nullptr;
    // Through void*: a FARPROC has no parameters.
    return reinterpret_cast<DpiForWindowFunction>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
}

uint32_t ScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return kBaseDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<uint32_t>(dpi) : kBaseDpi;
}

} // namespace

uint32_t WindowDpi(HWND window) {
    static const DpiForWindowFunction dpiForWindow = LookUpDpiForWindow();
    if (dpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = dpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    return ScreenDpi();
}

int32_t ScaleForDpi(int32_t pixels, uint32_t dpi) {
    if (dpi == 0)
        dpi = kBaseDpi;
    // In 64 bits, halves rounded away from zero as MulDiv does.
    const int64_t product = int64_t{pixels} * dpi;
    const int64_t half = kBaseDpi / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / kBaseDpi : (product - half) / kBaseDpi);
}
