#include "tests/e2e/HookMeasure.h"

#include <algorithm>
#include <string>

namespace {

// The per-monitor functions exist from Windows 10 1607 (and in Wine): looked
// up so the DLL loads anywhere.
template <typename Function> Function UserFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32"), name)));
}

UINT DpiOf(HWND hwnd) {
    static const auto dpiForWindow = UserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (dpiForWindow != nullptr)
        return dpiForWindow(hwnd);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return UINT(dpi);
}

// pixels at 96 DPI, at dpi.
int Scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, int(dpi), 96);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::wstring lower = name;
    for (wchar_t& c : lower)
        c = wchar_t(towlower(c));
    return lower;
}

// The size text takes in dc: wrapped at width when wrap, else on one line.
SIZE TextSize(HDC dc, const std::wstring& text, int width, bool wrap) {
    RECT r{0, 0, width, 0};
    const UINT format = DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), -1, &r, format);
    return {r.right - r.left, r.bottom - r.top};
}

// How many pixels the control falls short of showing its text (0 when it
// shows all of it); -1 for a control with nothing to measure. The room each
// kind of control leaves around its text is what the system's own drawing
// takes, for 96 DPI, scaled.
int Shortfall(HWND control, HDC dc, UINT dpi, const RECT& client) {
    const std::wstring kind = ClassOf(control);
    const LONG style = LONG(GetWindowLongPtrW(control, GWL_STYLE));
    const int width = int(client.right - client.left);
    const int height = int(client.bottom - client.top);
    int roomX = 0, roomY = 0; // taken from the client size before the text
    bool wrap = false;
    std::wstring text = TextOf(control);
    if (kind == L"static") {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
            return -1; // icons, frames, pictures
        wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    } else if (kind == L"button") {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            roomX = 2 * Scaled(4, dpi);
            roomY = 2 * Scaled(2, dpi);
        } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                   type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
            roomX = Scaled(16, dpi); // the box and the gap after it
        } else if (type == BS_GROUPBOX) {
            roomX = 2 * Scaled(8, dpi); // the frame's corner before the caption, and after it
        } else {
            return -1; // owner-drawn
        }
    } else if (kind == L"combobox") {
        // Every entry has to fit beside the drop-down button.
        const int count = int(SendMessageW(control, CB_GETCOUNT, 0, 0));
        int worst = count > 0 ? 0 : -1;
        for (int i = 0; i < count; ++i) {
            wchar_t entry[512] = {};
            if (SendMessageW(control, CB_GETLBTEXTLEN, WPARAM(i), 0) >= 512)
                continue;
            SendMessageW(control, CB_GETLBTEXT, WPARAM(i), LPARAM(entry));
            const SIZE size = TextSize(dc, entry, 0, false);
            worst = std::max(worst, int(size.cx) + Scaled(17, dpi) + 2 * Scaled(3, dpi) - width);
        }
        return worst;
    } else {
        return -1; // edits, progress bars: no text of their own
    }
    if (text.empty())
        return -1;
    const SIZE size = TextSize(dc, text, width - roomX, wrap);
    return std::max({0, int(size.cx) + roomX - width, int(size.cy) + roomY - height});
}

} // namespace

void MeasureDpiState(HWND hwnd, hookproto::Reply& answer) {
    answer.dpi = INT(DpiOf(hwnd));
    answer.awareness = -1;
    using Context = HANDLE;
    static const auto windowContext = UserFunction<Context(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
    static const auto awarenessOf = UserFunction<int(WINAPI*)(Context)>("GetAwarenessFromDpiAwarenessContext");
    static const auto same = UserFunction<BOOL(WINAPI*)(Context, Context)>("AreDpiAwarenessContextsEqual");
    if (windowContext != nullptr && awarenessOf != nullptr) {
        const Context context = windowContext(hwnd);
        answer.awareness = awarenessOf(context);
        // Per monitor, version 2: reported as 3.
        if (same != nullptr && same(context, Context(LONG_PTR(-4))))
            answer.awareness = 3;
    }
    answer.fontHeight = 0;
    if (HFONT font = HFONT(SendMessageW(hwnd, WM_GETFONT, 0, 0))) {
        LOGFONTW description{};
        if (GetObjectW(font, sizeof description, &description) != 0)
            answer.fontHeight = description.lfHeight;
    }
    answer.iconSize = 0;
    ICONINFO icon{};
    if (GetIconInfo(HICON(GetClassLongPtrW(hwnd, GCLP_HICON)), &icon)) {
        BITMAP bitmap{};
        if (GetObjectW(icon.hbmColor != nullptr ? icon.hbmColor : icon.hbmMask, sizeof bitmap, &bitmap) != 0)
            answer.iconSize = bitmap.bmWidth;
        DeleteObject(icon.hbmColor);
        DeleteObject(icon.hbmMask);
    }
}

void MeasureTextFit(HWND dialog, hookproto::Reply& answer) {
    RECT inside{};
    GetClientRect(dialog, &inside);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control))
            continue;
        RECT client{};
        GetClientRect(control, &client);
        HDC dc = GetDC(control);
        HGDIOBJ previous = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
        int shortBy = Shortfall(control, dc, DpiOf(control), client);
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
        // Whatever the control is, it must lie inside the dialog.
        RECT placed{};
        GetWindowRect(control, &placed);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
        const int outside = int(std::max({0L, inside.left - placed.left, inside.top - placed.top,
                                          placed.right - inside.right, placed.bottom - inside.bottom}));
        if (shortBy < 0 && outside == 0)
            continue;
        ++answer.controls;
        shortBy = std::max(shortBy, outside);
        if (shortBy > 0 && answer.cutOff++ == 0) {
            answer.firstCutOffId = GetDlgCtrlID(control);
            answer.shortBy = shortBy;
        }
    }
}

void SendDpiChanged(HWND hwnd, const hookproto::Reply& request) {
    RECT suggested = request.requestRect;
    const WPARAM dpi = WPARAM(request.requestDpi & 0xFFFF);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
}

void ChangeTextSize(HWND hwnd, const hookproto::Reply& request, hookproto::Reply& answer) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    // The sizes the program started with, kept for the percentages of every
    // later query.
    static const LONG message = metrics.lfMessageFont.lfHeight;
    static const LONG status = metrics.lfStatusFont.lfHeight;
    metrics.lfMessageFont.lfHeight = MulDiv(message, request.requestTextPercent, 100);
    metrics.lfStatusFont.lfHeight = MulDiv(status, request.requestTextPercent, 100);
    // Without SPIF_UPDATEINIFILE: the prefix's stored settings stay.
    if (!SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    SendMessageW(hwnd, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, LPARAM(L"WindowMetrics"));
    static const auto forDpi = UserFunction<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW now{};
    now.cbSize = sizeof now;
    if (forDpi == nullptr || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof now, &now, 0, DpiOf(hwnd)))
        return;
    answer.messageFontHeight = now.lfMessageFont.lfHeight;
    answer.statusFontHeight = now.lfStatusFont.lfHeight;
    answer.ok = 1;
}
