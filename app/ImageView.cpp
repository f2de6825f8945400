#include "app/ImageView.h"

#include "app/MouseActionSink.h"
#include "app/Settings.h"
#include "app/ViewGeometry.h"
#include "app/ViewPlacement.h"
#include "base/WorkPool.h"
#include "framework/Dpi.h"
#include "framework/MouseInput.h"
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
