// Placement operations of Window: the placement record, centring and keeping
// the restored rectangle on the monitors present. The arithmetic is in
// PlacementMath.cpp.
#include "base/PlacementMath.h"
#include "framework/Window.h"

namespace {

placement::Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

BOOL Window::GetPlacement(WINDOWPLACEMENT& record) {
    record.length = sizeof(record);
    return GetWindowPlacement(hwnd, &record);
}

BOOL Window::SetPlacement(WINDOWPLACEMENT& record) {
    record.length = sizeof(record);
    return SetWindowPlacement(hwnd, &record);
}

bool Window::GetNormalTopLeft(POINT& out) {
    WINDOWPLACEMENT record{};
    if (!GetPlacement(record))
        return false;
    out.x = record.rcNormalPosition.left;
    out.y = record.rcNormalPosition.top;
    return true;
}

void Window::MoveNormalTopLeft(int32_t x, int32_t y) {
    WINDOWPLACEMENT record{};
    GetPlacement(record);
    placement::Rect normal = ToRect(record.rcNormalPosition);
    placement::MoveTopLeft(normal, x, y);
    record.rcNormalPosition = {normal.left, normal.top, normal.right, normal.bottom};
    // Applying the record must not show a window that is still hidden.
    if (!IsWindowVisible(hwnd))
        record.showCmd = SW_HIDE;
    SetPlacement(record);
}

void Window::CenterWindow(HWND reference) {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    int32_t width = 0, height = 0;
    GetWindowSize(width, height);
    RECT area = workArea;
    if (reference != nullptr)
        ::GetWindowRect(reference, &area);
    RECT screen{};
    GetVirtualScreenRect(screen);
    const placement::Point p = placement::CenteredTopLeft(ToRect(area), width, height, ToRect(screen));
    Move(p.x, p.y);
}

void Window::KeepInVirtualScreen() {
    if (IsZoomed(hwnd) || IsIconic(hwnd))
        return;
    RECT screen{};
    GetVirtualScreenRect(screen);
    int32_t width = 0, height = 0;
    GetWindowSize(width, height);
    // The platform does not fail to read the placement of a live window.
    POINT topLeft{};
    GetNormalTopLeft(topLeft);
    const placement::Point p = placement::KeptTopLeft({topLeft.x, topLeft.y}, width, height, ToRect(screen));
    MoveNormalTopLeft(p.x, p.y);
}
