#include "framework/Dpi.h"

namespace {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);
// shcore's GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y).
using DpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

// GetDpiForWindow exists from Windows 10 1607 on: looked up at run time so
// the program still starts on Windows 7 and 8.
DpiForWindowFunction LookUpDpiForWindow() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (user == nullptr)
        return nullptr;
    // Through void*: a FARPROC has no parameters.
    return reinterpret_cast<DpiForWindowFunction>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
}

// Windows 8.1 and 10 before 1607 know each monitor's DPI only through
// shcore, which Windows 7 lacks: loaded at run time, once, and kept.
DpiForMonitorFunction LookUpDpiForMonitor() {
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (shcore == nullptr)
        shcore = LoadLibraryW(L"shcore.dll"); // systems without the search flags (Windows 7 unpatched)
    if (shcore == nullptr)
        return nullptr;
    return reinterpret_cast<DpiForMonitorFunction>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
}

} // namespace

uint32_t ScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return kBaseDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<uint32_t>(dpi) : kBaseDpi;
}

uint32_t MonitorDpi(HWND window) {
    static const DpiForMonitorFunction dpiForMonitor = LookUpDpiForMonitor();
    if (dpiForMonitor == nullptr || window == nullptr)
        return 0;
    UINT x = 0, y = 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor == nullptr || FAILED(dpiForMonitor(monitor, kEffectiveDpi, &x, &y)))
        return 0;
    return y;
}

uint32_t WindowDpi(HWND window) {
    static const DpiForWindowFunction dpiForWindow = LookUpDpiForWindow();
    if (dpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = dpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    // Without GetDpiForWindow a per-monitor aware window is still drawn at
    // its monitor's DPI, not the system's.
    if (dpiForWindow == nullptr) {
        const uint32_t dpi = MonitorDpi(window);
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
