#include "framework/MessageFont.h"

#include "framework/Dpi.h"
#include "framework/GdiObject.h"

#include <utility>

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

// One of the fonts of the non-client metrics, sized for dpi.
bool NonClientFontAt(uint32_t dpi, LOGFONTW NONCLIENTMETRICSW::*which, LOGFONTW& font) {
    if (dpi == 0)
        dpi = kBaseDpi;
    static const ParametersForDpiFunction parametersForDpi = LookUpParametersForDpi();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (parametersForDpi != nullptr &&
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) != FALSE) {
        font = metrics.*which;
        return true;
    }
    // Older systems give the font at the system DPI only.
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) == FALSE)
        return false;
    font = metrics.*which;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
    return true;
}

} // namespace

bool MessageFontAt(uint32_t dpi, LOGFONTW& font) {
    return NonClientFontAt(dpi, &NONCLIENTMETRICSW::lfMessageFont, font);
}

bool StatusFontAt(uint32_t dpi, LOGFONTW& font) {
    return NonClientFontAt(dpi, &NONCLIENTMETRICSW::lfStatusFont, font);
}

bool SetMessageFont(HWND window, uint32_t dpi, GdiObject& font) {
    LOGFONTW described{};
    if (!MessageFontAt(dpi, described))
        return false;
    described.lfCharSet = DEFAULT_CHARSET;
    GdiObject scaled;
    if (!scaled.CreateFromLogFont(described))
        return false;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(scaled.Font()), TRUE);
    std::swap(font.handle, scaled.handle);
    return true;
}
