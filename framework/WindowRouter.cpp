// The router: splits the message number into a few ranges and calls the one
// handler of the message with its parameters unpacked. Messages of a range
// without a handler here (WM_DEADCHAR, WM_NCXBUTTONDOWN, registered messages
// and so on) count as not handled.
#include "framework/Window.h"

namespace {

// The 16-bit halves of a parameter, zero-extended. Only the low 32 bits of a
// 64-bit parameter carry them.
uint32_t Lo(uintptr_t value) {
    return static_cast<uint32_t>(value & 0xFFFF);
}
uint32_t Hi(uintptr_t value) {
    return static_cast<uint32_t>((value >> 16) & 0xFFFF);
}
uint32_t Lo(LPARAM value) {
    return Lo(static_cast<uintptr_t>(value));
}
uint32_t Hi(LPARAM value) {
    return Hi(static_cast<uintptr_t>(value));
}

} // namespace

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (PreFilter(message, wParam, lParam, &result))
        return result;

    bool handled;
    if (message == WM_NOTIFY)
        handled = OnNotify(wParam, lParam, &result);
    else if (message >= 0x0001 && message <= 0x002C)
        handled = RouteBasic(message, wParam, lParam, &result);
    else if (message >= 0x0081 && message <= 0x00A9)
        handled = RouteNonClient(message, wParam, lParam, &result);
    else if (message >= 0x0100 && message <= 0x0108)
        handled = RouteKeys(message, wParam, lParam);
    else if (message >= 0x0110 && message <= 0x0121)
        handled = RouteMenuAndCommand(message, wParam, lParam, &result);
    else if (message >= 0x0200 && message <= 0x020A)
        handled = RouteMouse(message, wParam, lParam);
    else if (message >= WM_USER && message <= 0x7FFF)
        handled = OnUserMessage(message, wParam, lParam); // result stays 0
    else
        handled = RouteOther(message, wParam, lParam);
    return DefaultProc(!handled, result, message, wParam, lParam);
}

LRESULT Window::DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM wParam, LPARAM lParam) {
    return notHandled ? DefWindowProcW(hwnd, message, wParam, lParam) : result;
}

bool Window::RouteBasic(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(lParam);
    case WM_DESTROY:
        return OnDestroy();
    case WM_MOVE:
        return OnMove(Lo(lParam), Hi(lParam));
    case WM_SIZE:
        return OnSize(wParam, Lo(lParam), Hi(lParam));
    case WM_ACTIVATE:
        return OnActivate(Lo(wParam), lParam, Hi(wParam));
    case WM_SETFOCUS:
        return OnSetFocus(wParam);
    case WM_KILLFOCUS:
        return OnKillFocus(wParam);
    case WM_PAINT:
        return OnPaint();
    case WM_CLOSE:
        return OnClose();
    case WM_ERASEBKGND:
        return OnEraseBkgnd(wParam, result);
    case WM_ENDSESSION:
        return OnEndSession(wParam);
    case WM_SHOWWINDOW:
        return OnShowWindow(wParam, lParam);
    case WM_ACTIVATEAPP:
        return OnActivateApp(wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(wParam, Lo(lParam), Hi(lParam));
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(wParam, Lo(lParam), Hi(lParam), result);
    case WM_CHILDACTIVATE:
        return OnChildActivate();
    case WM_DRAWITEM:
        return OnDrawItem(lParam);
    case WM_MEASUREITEM:
        return OnMeasureItem(lParam);
    default:
        return false;
    }
}

bool Window::RouteNonClient(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const uint32_t x = Lo(lParam);
    const uint32_t y = Hi(lParam);
    switch (message) {
    case WM_NCCREATE:
        return OnNcCreate(lParam);
    case WM_NCDESTROY:
        return OnNcDestroy();
    case WM_NCHITTEST:
        return OnNcHitTest(x, y, result);
    case WM_NCPAINT:
        return OnNcPaint();
    case WM_NCACTIVATE:
        return OnNcActivate(wParam, lParam);
    case WM_GETDLGCODE:
        return OnGetDlgCode(lParam, result);
    case WM_NCMOUSEMOVE:
        return OnNcMouseMove(wParam, x, y);
    case WM_NCLBUTTONDOWN:
        return OnNcLButtonDown(wParam, x, y);
    case WM_NCLBUTTONUP:
        return OnNcLButtonUp(wParam, x, y);
    case WM_NCLBUTTONDBLCLK:
        return OnNcLButtonDblClk(wParam, x, y);
    case WM_NCRBUTTONDOWN:
        return OnNcRButtonDown(wParam, x, y);
    case WM_NCRBUTTONUP:
        return OnNcRButtonUp(wParam, x, y);
    case WM_NCRBUTTONDBLCLK:
        return OnNcRButtonDblClk(wParam, x, y);
    case WM_NCMBUTTONDOWN:
        return OnNcMButtonDown(wParam, x, y);
    case WM_NCMBUTTONUP:
        return OnNcMButtonUp(wParam, x, y);
    case WM_NCMBUTTONDBLCLK:
        return OnNcMButtonDblClk(wParam, x, y);
    default:
        return false;
    }
}

bool Window::RouteKeys(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam);
    case WM_KEYUP:
        return OnKeyUp(wParam, lParam);
    case WM_CHAR:
        return OnChar(wParam, lParam);
    case WM_SYSKEYDOWN:
        return OnSysKeyDown(wParam, lParam);
    case WM_SYSKEYUP:
        return OnSysKeyUp(wParam, lParam);
    case WM_SYSCHAR:
        return OnSysChar(wParam, lParam);
    default:
        return false;
    }
}

bool Window::RouteMenuAndCommand(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(result);
    case WM_COMMAND:
        return OnCommand(Lo(wParam), Hi(wParam), lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, Lo(lParam), Hi(lParam));
    case WM_TIMER:
        return OnTimer(wParam);
    case WM_HSCROLL:
        return OnHScroll(Lo(wParam), Hi(wParam), lParam);
    case WM_VSCROLL:
        return OnVScroll(Lo(wParam), Hi(wParam), lParam);
    case WM_INITMENU:
        return OnInitMenu(wParam);
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(wParam, Lo(lParam), Hi(lParam));
    case WM_MENUSELECT:
        return OnMenuSelect(Lo(wParam), Hi(wParam), lParam);
    case WM_ENTERIDLE:
        return OnEnterIdle(wParam, lParam);
    default:
        return false;
    }
}

bool Window::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const uint32_t x = Lo(lParam);
    const uint32_t y = Hi(lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, x, y);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, x, y);
    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, x, y);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(wParam, x, y);
    case WM_RBUTTONDOWN:
        return OnRButtonDown(wParam, x, y);
    case WM_RBUTTONUP:
        return OnRButtonUp(wParam, x, y);
    case WM_RBUTTONDBLCLK:
        return OnRButtonDblClk(wParam, x, y);
    case WM_MBUTTONDOWN:
        return OnMButtonDown(wParam, x, y);
    case WM_MBUTTONUP:
        return OnMButtonUp(wParam, x, y);
    case WM_MBUTTONDBLCLK:
        return OnMButtonDblClk(wParam, x, y);
    case WM_MOUSEWHEEL:
        return OnMouseWheel(Lo(wParam), Hi(wParam), x, y);
    default:
        return false;
    }
}

bool Window::RouteOther(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        return OnWindowPosChanging(lParam);
    case WM_WINDOWPOSCHANGED:
        return OnWindowPosChanged(lParam);
    case WM_CONTEXTMENU:
        return OnContextMenu(wParam, Lo(lParam), Hi(lParam));
    case WM_PARENTNOTIFY:
        return OnParentNotify(Lo(wParam), Hi(wParam), lParam);
    case WM_SIZING:
        return OnSizing(wParam, lParam);
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(lParam);
    case WM_MOVING:
        return OnMoving(wParam, lParam);
    case WM_DROPFILES:
        return OnDropFiles(wParam);
    case WM_MOUSEHOVER:
        return OnMouseHover();
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_HOTKEY:
        return OnHotKey(wParam, Lo(lParam), Hi(lParam));
    default:
        return false;
    }
}
