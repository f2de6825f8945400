#include "app/ImageView.h"

#include "base/Wide.h"

#include "app/MouseActionSink.h"
#include "app/Settings.h"
#include "app/UserLanguage.h"
#include "app/ViewGeometry.h"
#include "app/ViewPlacement.h"
#include "base/WorkPool.h"
#include "framework/Dpi.h"
#include "framework/MouseInput.h"
#include "framework/PictureDib.h"
#include "pixels/ImageBuffer.h"

namespace {

const char kViewClass[] = "View";
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL; // 0x50300000

int32_t Clip(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : value > high ? high : value;
}

} // namespace

ImageView::ImageView() = default;
ImageView::~ImageView() = default;

bool ImageView::CreateView(HWND parent, Settings& viewSettings, const ImageBuffer& picture, MouseActionSink& target) {
    settings = &viewSettings;
    image = &picture;
    sink = &target;
    lastMouseX = -1;
    pool = std::make_unique<WorkPool>();
    reduced = std::make_unique<ReducedPictures>(pool.get());
    // CS_DBLCLKS: without it the left-double-click binding never arrives. No
    // background brush: painting covers the whole client area.
    if (RegisterClass(kViewClass, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr, 0, CS_DBLCLKS) == 0)
        return false;
    if (!Create(WS_EX_CLIENTEDGE, kViewClass, "", kViewStyle, 0, 0, 200, 200, parent, nullptr))
        return false;
    horzBar.Init(hwnd, SB_HORZ);
    vertBar.Init(hwnd, SB_VERT);
    horzBar.SetRange(0, 0, 0, false, true);
    vertBar.SetRange(0, 0, 0, false, true);
    return true;
}

int32_t ImageView::PictureWidth() const {
    return TurnedWidth(turn, image->width, image->height);
}

int32_t ImageView::PictureHeight() const {
    return TurnedHeight(turn, image->width, image->height);
}

int32_t ImageView::ShownScale() {
    if (!settings->FitToWindow)
        return UsableScale(settings->Scale);
    int32_t fullWidth = 0, fullHeight = 0;
    FullClientSize(fullWidth, fullHeight);
    const bool enlarge = fullScreen ? settings->FitEnlargeFullScreen : settings->FitEnlarge;
    return FitScale(PictureWidth(), PictureHeight(), fullWidth, fullHeight, enlarge);
}

void ImageView::BarThickness(int32_t& width, int32_t& height) {
    // The system draws the bars at the window's DPI, while the metrics are
    // given at the DPI the system started with.
    HDC screen = GetDC(nullptr);
    const int systemDpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : int(kBaseDpi);
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    const int dpi = int(WindowDpi(hwnd));
    width = MulDiv(GetSystemMetrics(SM_CXVSCROLL), dpi, systemDpi > 0 ? systemDpi : int(kBaseDpi));
    height = MulDiv(GetSystemMetrics(SM_CYHSCROLL), dpi, systemDpi > 0 ? systemDpi : int(kBaseDpi));
}

void ImageView::FullClientSize(int32_t& width, int32_t& height) {
    GetClientSize(width, height);
    int32_t barWidth = 0, barHeight = 0;
    BarThickness(barWidth, barHeight);
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    if ((style & WS_VSCROLL) != 0)
        width += barWidth;
    if ((style & WS_HSCROLL) != 0)
        height += barHeight;
}

void ImageView::UpdateScroll(bool reset) {
    if (reset && reduced != nullptr)
        reduced->Clear();
    const int32_t scale = ShownScale();
    const int32_t shownWidth = DisplayedSize(PictureWidth(), scale);
    const int32_t shownHeight = DisplayedSize(PictureHeight(), scale);
    int32_t fullWidth = 0, fullHeight = 0, barWidth = 0, barHeight = 0;
    FullClientSize(fullWidth, fullHeight);
    BarThickness(barWidth, barHeight);
    const ViewPlacement place = PlaceInView(shownWidth, shownHeight, fullWidth, fullHeight, barWidth, barHeight);
    if (reset) {
        horzBar.SetPos(0, false);
        vertBar.SetPos(0, false);
    }
    // Not kept visible: a bar whose page covers its whole range hides, and
    // the pages are the client sizes the bars placed leave.
    horzBar.SetRange(0, shownWidth - 1, static_cast<uint32_t>(place.clientWidth), false, true);
    vertBar.SetRange(0, shownHeight - 1, static_cast<uint32_t>(place.clientHeight), false, true);
    Invalidate();
}

void ImageView::PictureReplaced() {
    if (reduced != nullptr)
        reduced->Clear();
    UpdateScroll(false);
}

void ImageView::ZoomTo(int32_t percent, bool fit, int32_t x, int32_t y) {
    const int32_t oldScale = ShownScale();
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    const int32_t oldWidth = DisplayedSize(PictureWidth(), oldScale);
    const int32_t oldHeight = DisplayedSize(PictureHeight(), oldScale);
    const int32_t oldX = oldWidth > clientWidth ? horzBar.GetPos() : 0;
    const int32_t oldY = oldHeight > clientHeight ? vertBar.GetPos() : 0;
    const int32_t offsetX = oldWidth < clientWidth ? (clientWidth - oldWidth) / 2 : 0;
    const int32_t offsetY = oldHeight < clientHeight ? (clientHeight - oldHeight) / 2 : 0;

    settings->FitToWindow = fit;
    if (!fit)
        settings->Scale = percent;
    const int32_t newScale = ShownScale();
    UpdateScroll(false);
    GetClientSize(clientWidth, clientHeight);
    horzBar.SetPos(ZoomAnchoredPosition(oldX, offsetX, x, oldScale, newScale, DisplayedSize(PictureWidth(), newScale),
                                        clientWidth),
                   true);
    vertBar.SetPos(ZoomAnchoredPosition(oldY, offsetY, y, oldScale, newScale, DisplayedSize(PictureHeight(), newScale),
                                        clientHeight),
                   true);
    Invalidate();
}

void ImageView::SetScale(int32_t percent) {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    ZoomTo(percent, false, clientWidth / 2, clientHeight / 2);
}

void ImageView::FitToWindow() {
    ZoomTo(settings->Scale, true, 0, 0);
}

void ImageView::ZoomStep(bool up) {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    ZoomStepAt(up, clientWidth / 2, clientHeight / 2);
}

void ImageView::ZoomStepAt(bool up, int32_t x, int32_t y) {
    const int32_t scale = ShownScale();
    const int32_t next = ZoomStepScale(scale, up);
    if (next == scale)
        return; // the end of the sequence: not even a repaint
    ZoomTo(next, false, x, y);
}

void ImageView::SetTurn(ViewTurn next) {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    PicturePoint centre;
    int32_t left = 0, top = 0;
    int32_t scale = ShownScale();
    PictureOrigin(scale, left, top);
    const bool hadCentre =
        PictureUnderPoint(turn, image->width, image->height, DisplayedSize(PictureWidth(), scale),
                          DisplayedSize(PictureHeight(), scale), left, top, clientWidth / 2, clientHeight / 2, centre);
    turn = next;
    UpdateScroll(false);
    if (hadCentre) {
        // The same picture pixel, where it is now shown, back at the centre.
        scale = ShownScale();
        GetClientSize(clientWidth, clientHeight);
        const PicturePoint moved = TurnedPoint(turn, image->width, image->height, centre.x, centre.y);
        const int32_t half = scale / 200;
        const int32_t lastX = DisplayedSize(PictureWidth(), scale) - clientWidth;
        const int32_t lastY = DisplayedSize(PictureHeight(), scale) - clientHeight;
        horzBar.SetPos(Clip(DisplayedSize(moved.x, scale) + half - clientWidth / 2, 0, lastX > 0 ? lastX : 0), true);
        vertBar.SetPos(Clip(DisplayedSize(moved.y, scale) + half - clientHeight / 2, 0, lastY > 0 ? lastY : 0), true);
        Invalidate();
    }
    if (sink != nullptr)
        sink->PointerMoved();
}

void ImageView::SetFullScreen(bool on) {
    fullScreen = on;
}

bool ImageView::ColourUnderPointer(uint8_t (&rgb)[3]) {
    if (!pointerOver || image->IsEmpty() || !failure.IsEmpty())
        return false;
    const int32_t scale = ShownScale();
    int32_t left = 0, top = 0;
    PictureOrigin(scale, left, top);
    PicturePoint point;
    if (!PictureUnderPoint(turn, image->width, image->height, DisplayedSize(PictureWidth(), scale),
                           DisplayedSize(PictureHeight(), scale), left, top, pointerX, pointerY, point))
        return false;
    const uint8_t* pixel = image->TopRow(point.y) + size_t(point.x) * 4;
    rgb[0] = pixel[2];
    rgb[1] = pixel[1];
    rgb[2] = pixel[0];
    return true;
}

void ImageView::ShowFailure(const char* reason) {
    failure.Assign(reason != nullptr ? reason : "");
    Invalidate();
}

bool ImageView::OnPaint() {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    if (failure.IsEmpty())
        PaintPicture(dc, clientWidth, clientHeight);
    else
        PaintFailure(dc, clientWidth, clientHeight);
    EndPaint(hwnd, &paint);
    return true;
}

void ImageView::PictureOrigin(int32_t scale, int32_t& left, int32_t& top) {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    const int32_t shownWidth = DisplayedSize(PictureWidth(), scale);
    const int32_t shownHeight = DisplayedSize(PictureHeight(), scale);
    left = shownWidth < clientWidth ? (clientWidth - shownWidth) / 2 : -horzBar.GetPos();
    top = shownHeight < clientHeight ? (clientHeight - shownHeight) / 2 : -vertBar.GetPos();
}

void ImageView::PaintPicture(HDC dc, int32_t clientWidth, int32_t clientHeight) {
    const int32_t scale = ShownScale();
    const int32_t shownWidth = DisplayedSize(PictureWidth(), scale);
    const int32_t shownHeight = DisplayedSize(PictureHeight(), scale);
    // The picture's displayed rectangle in client coordinates: centred where
    // it is smaller than the view, else moved by the scroll position.
    int32_t left = 0, top = 0;
    PictureOrigin(scale, left, top);
    const RECT shown{Clip(left, 0, clientWidth), Clip(top, 0, clientHeight), Clip(left + shownWidth, 0, clientWidth),
                     Clip(top + shownHeight, 0, clientHeight)};

    HBRUSH background = CreateSolidBrush(static_cast<COLORREF>(settings->ColBk));
    const RECT bands[4] = {{0, 0, clientWidth, shown.top},
                           {0, shown.bottom, clientWidth, clientHeight},
                           {0, shown.top, shown.left, shown.bottom},
                           {shown.right, shown.top, clientWidth, shown.bottom}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top)
            FillRect(dc, &band, background);
    DeleteObject(background);
    const int32_t width = shown.right - shown.left;
    const int32_t height = shown.bottom - shown.top;
    if (image->IsEmpty() || width <= 0 || height <= 0)
        return;
    if (!turn.IsIdentity()) {
        PaintTurned(dc, scale, left, top, shown);
        return;
    }

    if (scale < 100) {
        // Drawn 1:1 from the picture reduced once for this size.
        if (const ImageBuffer* small = reduced->Get(*image, shownWidth, shownHeight)) {
            DrawPicture(dc, *small, shown.left, shown.top, width, height, shown.left - left, shown.top - top, width,
                        height);
            return;
        }
        // Without memory for it the system averages, more slowly.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        // At 100% and above each picture pixel stays a sharp square.
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    // From the first picture column and row that show; the system clips the
    // rest at the client area's edges.
    const int32_t sourceX = int32_t(int64_t(shown.left - left) * 100 / scale);
    const int32_t sourceY = int32_t(int64_t(shown.top - top) * 100 / scale);
    const int32_t x = left + int32_t(int64_t(sourceX) * scale / 100);
    const int32_t y = top + int32_t(int64_t(sourceY) * scale / 100);
    DrawPicture(dc, *image, x, y, DisplayedSize(image->width - sourceX, scale),
                DisplayedSize(image->height - sourceY, scale), sourceX, sourceY, image->width - sourceX,
                image->height - sourceY);
}

bool ImageView::ScratchFor(int32_t width, int32_t height) {
    if (!scratch.IsEmpty() && scratch.width >= width && scratch.height >= height)
        return true;
    // Grown to the larger of each side: a view resized one way and then the
    // other does not make it again on every paint.
    const int32_t newWidth = scratch.width > width ? scratch.width : width;
    const int32_t newHeight = scratch.height > height ? scratch.height : height;
    return scratch.Create(newWidth, newHeight);
}

void ImageView::PaintTurned(HDC dc, int32_t scale, int32_t left, int32_t top, const RECT& shown) {
    const int32_t width = shown.right - shown.left;
    const int32_t height = shown.bottom - shown.top;
    if (scale < 100) {
        // The area filter gives the same pixels to a turned picture as to
        // the picture turned after reducing (its weights are the same each
        // way), so the reduced picture is made as without a turn and only
        // its part that shows is turned.
        const ImageBuffer* small =
            reduced->Get(*image, DisplayedSize(image->width, scale), DisplayedSize(image->height, scale));
        if (small != nullptr && ScratchFor(width, height)) {
            CopyTurned(*small, turn, shown.left - left, shown.top - top, width, height, scratch);
            DrawPicture(dc, scratch, shown.left, shown.top, width, height, 0, 0, width, height);
            return;
        }
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    // The picture columns and rows that show, whole: each picture pixel t
    // covers the displayed pixels from t x scale / 100 on.
    const int64_t s = scale;
    const int32_t firstX = int32_t((int64_t(shown.left) - left) * 100 / s);
    const int32_t firstY = int32_t((int64_t(shown.top) - top) * 100 / s);
    int32_t endX = int32_t(((int64_t(shown.right) - left) * 100 + s - 1) / s);
    int32_t endY = int32_t(((int64_t(shown.bottom) - top) * 100 + s - 1) / s);
    if (endX > PictureWidth())
        endX = PictureWidth();
    if (endY > PictureHeight())
        endY = PictureHeight();
    const int32_t columns = endX - firstX;
    const int32_t rows = endY - firstY;
    if (columns <= 0 || rows <= 0)
        return;
    // Reduced pictures that could not be made take a copy of their own: the
    // part of the picture that shows below 100% is larger than the view.
    ImageBuffer own;
    ImageBuffer* part = &scratch;
    if (scale < 100) {
        if (!own.Create(columns, rows))
            return;
        part = &own;
    } else if (!ScratchFor(columns, rows)) {
        return;
    }
    CopyTurned(*image, turn, firstX, firstY, columns, rows, *part);
    const int32_t x = left + int32_t(firstX * s / 100);
    const int32_t y = top + int32_t(firstY * s / 100);
    DrawPicture(dc, *part, x, y, left + int32_t(endX * s / 100) - x, top + int32_t(endY * s / 100) - y, 0, 0, columns,
                rows);
}

void ImageView::PaintFailure(HDC dc, int32_t clientWidth, int32_t clientHeight) {
    const RECT all{0, 0, clientWidth, clientHeight};
    HBRUSH background = CreateSolidBrush(static_cast<COLORREF>(settings->ColBk));
    FillRect(dc, &all, background);
    DeleteObject(background);
    Str text;
    text.Assign(UserTexts(*settings).loadFailed);
    text.Append("\n");
    text.Append(failure.Text());
    // Black on a light background, white on a dark one.
    const uint32_t colour = uint32_t(settings->ColBk);
    const uint32_t light = (colour & 0xFF) * 3 + ((colour >> 8) & 0xFF) * 6 + ((colour >> 16) & 0xFF);
    SetTextColor(dc, light >= 128 * 10 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ kept = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT measured = all;
    // The text names the file, which may hold any character.
    const std::wstring wide = Widen(text.Text());
    DrawTextW(dc, wide.c_str(), -1, &measured, DT_CALCRECT | DT_NOPREFIX | DT_CENTER);
    const int32_t textHeight = measured.bottom - measured.top;
    RECT place{0, (clientHeight - textHeight) / 2, clientWidth, (clientHeight + textHeight) / 2};
    DrawTextW(dc, wide.c_str(), -1, &place, DT_NOPREFIX | DT_CENTER);
    SelectObject(dc, kept);
}

bool ImageView::OnHScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) {
    horzBar.HandleScroll(code, thumb, reinterpret_cast<HWND>(scrollBar));
    Invalidate();
    if (sink != nullptr)
        sink->PointerMoved();
    return true;
}

bool ImageView::OnVScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) {
    vertBar.HandleScroll(code, thumb, reinterpret_cast<HWND>(scrollBar));
    Invalidate();
    if (sink != nullptr)
        sink->PointerMoved();
    return true;
}

bool ImageView::OnMouseMove(WPARAM keys, uint32_t x, uint32_t y) {
    const POINT mouse = PointOf(x, y);
    const int32_t mouseX = mouse.x;
    const int32_t mouseY = mouse.y;
    if ((keys & MK_LBUTTON) != 0) {
        // The first move ever seen starts the drag where the pointer is, so
        // the picture does not jump.
        if (lastMouseX == -1) {
            lastMouseX = mouseX;
            lastMouseY = mouseY;
        }
        // The picture follows the pointer 1:1 at every zoom: the positions
        // count displayed pixels.
        horzBar.SetPos(DragScrollPosition(horzBar.GetPos(), lastMouseX, mouseX, 100), true);
        vertBar.SetPos(DragScrollPosition(vertBar.GetPos(), lastMouseY, mouseY, 100), true);
        Invalidate();
    }
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    if (!pointerOver) {
        // Told once when the pointer leaves, so the colour under it goes.
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        TrackMouseEvent(&track);
        pointerOver = true;
    }
    pointerX = mouseX;
    pointerY = mouseY;
    if (sink != nullptr)
        sink->PointerMoved();
    return true;
}

bool ImageView::OnMouseLeave() {
    pointerOver = false;
    if (sink != nullptr)
        sink->PointerMoved();
    return true;
}

void ImageView::RunBinding(int event) {
    if (sink != nullptr)
        sink->RunMouseAction(event);
}

bool ImageView::OnRButtonDown(WPARAM, uint32_t, uint32_t) {
    RunBinding(kMouseRight);
    return true;
}

bool ImageView::OnMButtonDown(WPARAM, uint32_t, uint32_t) {
    RunBinding(kMouseMid);
    return true;
}

bool ImageView::OnLButtonDblClk(WPARAM, uint32_t, uint32_t) {
    RunBinding(kMouseLDbl);
    return true;
}
