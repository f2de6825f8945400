#include "framework/MessageFont.h"

#include "framework/Dpi.h"

namespace {

using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// SystemParametersInfoForDpi exists from Windows 10 1607 on: looked up at
// run time so the program still starts on older systems.
ParametersForDpiFunction LookUpParametersForDpi() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (user == nullptr)
        return nullptr;
    // Through void*: a FARPROC has no parameters.
    return reinterpret_cast<ParametersForDpiFunction>(
        reinterpret_cast<void*>(GetProcAddress(user, "SystemParametersInfoForDpi")));
}

} // namespace

bool MessageFontAt(uint32_t dpi, LOGFONTW& font) {
    if (dpi == 0)
        dpi = kBaseDpi;
    static const ParametersForDpiFunction parametersForDpi = LookUpParametersForDpi();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (parametersForDpi != nullptr &&
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) != FALSE) {
        font = metrics.lfMessageFont;
        return true;
    }
    // Older systems give the font at the system DPI only.
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) == FALSE)
        return false;
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
    return true;
}
