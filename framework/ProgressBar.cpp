#include "framework/ProgressBar.h"

#include "base/Wide.h"

namespace {

// Width of the filled part. The product is taken in 64 bits; an empty range
// (never shown by the program) paints an empty bar instead of dividing by
// zero, and a position left outside a range set after it stays inside the bar.
int32_t FilledWidth(int32_t position, int32_t minimum, int32_t maximum, int32_t width) {
    if (maximum <= minimum || width <= 0)
        return 0;
    int64_t filled = (int64_t{position} - minimum) * width / (int64_t{maximum} - minimum);
    if (filled < 0)
        filled = 0;
    if (filled > width)
        filled = width;
    return static_cast<int32_t>(filled);
}

UINT TextFormat(uint16_t textAlign) {
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (textAlign == 1)
        format |= DT_CENTER;
    else if (textAlign == 2)
        format |= DT_RIGHT;
    return format;
}

// Draws text into r, clipped to clip, in colour.
void DrawClipped(HDC dc, const char* text, RECT r, const RECT& clip, UINT format, COLORREF colour) {
    HRGN region = CreateRectRgnIndirect(&clip);
    SelectClipRgn(dc, region);
    SetTextColor(dc, colour);
    DrawTextW(dc, Widen(text).c_str(), -1, &r, format);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
}

} // namespace

void ProgressBar::SetRange(int32_t newMinimum, int32_t newMaximum) {
    std::lock_guard<std::mutex> guard(lock);
    minimum = newMinimum;
    maximum = newMaximum;
}

void ProgressBar::SetPos(int32_t value) {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (value < minimum)
            value = minimum;
        if (value > maximum)
            value = maximum;
        position = value;
    }
    Invalidate();
}

int32_t ProgressBar::GetPos() {
    std::lock_guard<std::mutex> guard(lock);
    return position;
}

void ProgressBar::SetCaption(const char* text) {
    {
        std::lock_guard<std::mutex> guard(lock);
        caption.Assign(text);
    }
    Invalidate();
    // The caption is also the control's window text, which the bar never
    // paints, so that screen readers and other programs can read it.
    SetText(text);
}

void ProgressBar::Paint(HDC dc, const RECT& r) {
    Str text;
    int32_t filled;
    UINT format;
    {
        std::lock_guard<std::mutex> guard(lock);
        text.Assign(caption.Text());
        filled = FilledWidth(position, minimum, maximum, r.right - r.left);
        format = TextFormat(textAlign);
    }
    RECT done = {r.left, r.top, r.left + filled, r.bottom};
    RECT rest = {r.left + filled, r.top, r.right, r.bottom};
    FillRect(dc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
    if (text.IsEmpty())
        return;

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd), WM_GETFONT, 0, 0));
    HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = GetTextColor(dc);
    DrawClipped(dc, text.Text(), r, done, format, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawClipped(dc, text.Text(), r, rest, format, GetSysColor(COLOR_WINDOWTEXT));
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    if (previousFont != nullptr)
        SelectObject(dc, previousFont);
}

bool ProgressBar::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT r{};
    ::GetClientRect(hwnd, &r);
    Paint(dc, r);
    EndPaint(hwnd, &paint);
    // Handled, so the system control never paints over it.
    return true;
}
