#include "app/ImageView.h"

#include "app/Settings.h"
#include "app/ViewGeometry.h"
#include "decode/ImageBuffer.h"
#include "app/MouseActionSink.h"

namespace {

const char kViewClass[] = "View";
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL; // 0x50300000

} // namespace

bool ImageView::CreateView(HWND parent, Settings& viewSettings, const ImageBuffer& picture, MouseActionSink& target) {
    settings = &viewSettings;
    image = &picture;
    sink = &target;
    lastMouseX = -1;
    // CS_DBLCLKS: without it the left-double-click binding never arrives. No
    // background brush: painting covers the whole client area.
    if (RegisterClass(kViewClass, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr, 0, CS_DBLCLKS) == 0)
        return false;
    if (!Create(WS_EX_CLIENTEDGE, kViewClass, "", kViewStyle, 0, 0, 200, 200, parent, nullptr))
        return false;
    horzBar.Init(hwnd, SB_HORZ);
    vertBar.Init(hwnd, SB_VERT);
    // Kept visible: a picture that fits shows both bars disabled rather than
    // making the client area jump.
    horzBar.SetRange(0, 0, 0, true, true);
    vertBar.SetRange(0, 0, 0, true, true);
    return true;
}

int32_t ImageView::Scale() const {
    return UsableScale(settings->Scale);
}

void ImageView::UpdateScroll(bool reset) {
    const int32_t shownWidth = DisplayedSize(image->width, Scale());
    const int32_t shownHeight = DisplayedSize(image->height, Scale());
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    if (reset) {
        horzBar.SetPos(0, false);
        vertBar.SetPos(0, false);
    }
    horzBar.SetRange(0, shownWidth - 1, static_cast<uint32_t>(clientWidth), true, true);
    vertBar.SetRange(0, shownHeight - 1, static_cast<uint32_t>(clientHeight), true, true);
    Invalidate();
}

void ImageView::SetScale(int32_t percent) {
    settings->Scale = percent;
    UpdateScroll(false);
}

void ImageView::ZoomStep(bool up) {
    const int32_t next = ZoomStepScale(Scale(), up);
    if (next == Scale())
        return; // the end of the sequence: not even a repaint
    SetScale(next);
}

bool ImageView::OnPaint() {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    const PaintPlan plan = PlanPaint(image->width, image->height, Scale(), horzBar.GetPos(), vertBar.GetPos());

    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    HBRUSH background = CreateSolidBrush(static_cast<COLORREF>(settings->ColBk));
    if (plan.shownWidth < clientWidth) {
        const RECT right{plan.shownWidth, 0, clientWidth, clientHeight};
        FillRect(dc, &right, background);
    }
    if (plan.shownHeight < clientHeight) {
        const RECT below{0, plan.shownHeight, clientWidth, clientHeight};
        FillRect(dc, &below, background);
    }
    DeleteObject(background);
    SetStretchBltMode(dc, COLORONCOLOR);
    // A negative extent would mirror the picture; with the positions inside
    // their ranges there is always something left to show.
    if (plan.shownWidth > 0 && plan.shownHeight > 0)
        image->Draw(dc, 0, 0, plan.shownWidth, plan.shownHeight, plan.sourceX, plan.sourceY,
                    image->width - plan.sourceX, image->height - plan.sourceY);
    EndPaint(hwnd, &paint);
    return true;
}

bool ImageView::OnHScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) {
    horzBar.HandleScroll(code, thumb, reinterpret_cast<HWND>(scrollBar));
    Invalidate();
    return true;
}

bool ImageView::OnVScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) {
    vertBar.HandleScroll(code, thumb, reinterpret_cast<HWND>(scrollBar));
    Invalidate();
    return true;
}

bool ImageView::OnMouseMove(WPARAM keys, uint32_t x, uint32_t y) {
    const int32_t mouseX = static_cast<int32_t>(x);
    const int32_t mouseY = static_cast<int32_t>(y);
    if ((keys & MK_LBUTTON) != 0) {
        // The first move ever seen starts the drag where the pointer is, so
        // the picture does not jump.
        if (lastMouseX == -1) {
            lastMouseX = mouseX;
            lastMouseY = mouseY;
        }
        const int32_t horizontal = DragScrollPosition(horzBar.GetPos(), lastMouseX, mouseX, Scale());
        const int32_t vertical = DragScrollPosition(vertBar.GetPos(), lastMouseY, mouseY, Scale());
        horzBar.SetPos(horizontal, true);
        vertBar.SetPos(vertical, true);
        Invalidate();
    }
    lastMouseX = mouseX;
    lastMouseY = mouseY;
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
