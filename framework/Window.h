#pragma once
// Window: the base of every window object of the program. The platform calls
// one window procedure (FrameworkWindowProc) for all of them; it finds the
// object of the window and calls its router, WindowProc, which unpacks the
// message and calls one of the virtual handlers below. A handler returns true
// when it handled the message and may write the message result through
// `result`; everything not handled goes to DefaultProc.
//
// Parameter halves (lo/hi) arrive zero-extended: x = -1 arrives as 65535 and
// a wheel delta of -120 as 65416. A handler that wants signed coordinates or
// a signed delta reinterprets the 16 bits itself (int16_t).
//
// The virtual operations are declared in their fixed slot order; add none.
// Window classes have no virtual destructor: objects are static or live in
// the function that runs them, and are never deleted through a base pointer.

#include <windows.h>

#include <cstdint>

// The window procedure of every framework window and of every control taken
// over. It binds the object carried by the creation parameter at WM_NCCREATE
// (and WM_CREATE) and routes every later message to that object.
LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // 1-3: routing
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool PreFilter(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

    // 4-77: handlers, in slot order
    virtual bool OnInitDialog(LRESULT*) { return false; }
    virtual bool OnNcCreate(LPARAM /*createStruct*/) { return false; }
    virtual bool OnCreate(LPARAM /*createStruct*/) { return false; }
    virtual bool OnClose() { return false; }
    virtual bool OnNcDestroy() { return false; }
    virtual bool OnDestroy() { return true; } // handled, result 0: never passed on
    virtual bool OnEndSession(WPARAM) { return false; }
    virtual bool OnInitMenu(WPARAM /*menu*/) { return false; }
    virtual bool OnInitMenuPopup(WPARAM /*menu*/, uint32_t /*position*/, uint32_t /*systemMenu*/) { return false; }
    virtual bool OnMenuSelect(uint32_t /*item*/, uint32_t /*flags*/, LPARAM /*menu*/) { return false; }
    virtual bool OnContextMenu(WPARAM /*window*/, uint32_t /*x*/, uint32_t /*y*/) { return false; }
    virtual bool OnSysChar(WPARAM, LPARAM) { return false; }
    virtual bool OnSysKeyUp(WPARAM, LPARAM) { return false; }
    virtual bool OnSysKeyDown(WPARAM, LPARAM) { return false; }
    virtual bool OnSysCommand(WPARAM /*command*/, uint32_t /*lo*/, uint32_t /*hi*/) { return false; }
    virtual bool OnWindowPosChanging(LPARAM /*windowPos*/) { return false; }
    virtual bool OnWindowPosChanged(LPARAM /*windowPos*/) { return false; }
    virtual bool OnDropFiles(WPARAM /*drop*/) { return false; }
    virtual bool OnTimer(WPARAM /*timerId*/) { return false; }
    virtual bool OnCommand(uint32_t /*id*/, uint32_t /*code*/, LPARAM /*control*/) { return false; }
    virtual bool OnNcActivate(WPARAM, LPARAM) { return false; }
    virtual bool OnActivate(uint32_t /*state*/, LPARAM /*otherWindow*/, uint32_t /*minimised*/) { return false; }
    virtual bool OnActivateApp(WPARAM, LPARAM) { return false; }
    virtual bool OnChildActivate() { return false; }
    virtual bool OnEnterIdle(WPARAM, LPARAM) { return false; }
    virtual bool OnKillFocus(WPARAM /*gainingFocus*/) { return false; }
    virtual bool OnSetFocus(WPARAM /*losingFocus*/) { return false; }
    virtual bool OnShowWindow(WPARAM, LPARAM) { return false; }
    virtual bool OnMouseActivate(WPARAM /*topLevel*/, uint32_t /*hitTest*/, uint32_t /*mouseMessage*/, LRESULT*) {
        return false;
    }
    virtual bool OnNcMouseMove(WPARAM /*hitTest*/, uint32_t /*x*/, uint32_t /*y*/) { return false; }
    virtual bool OnNcMButtonDblClk(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcMButtonUp(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcMButtonDown(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcLButtonDblClk(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcLButtonUp(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcLButtonDown(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcRButtonDblClk(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcRButtonUp(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnNcRButtonDown(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnMouseMove(WPARAM /*keys*/, uint32_t /*x*/, uint32_t /*y*/) { return false; }
    virtual bool OnMButtonDblClk(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnMButtonUp(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnMButtonDown(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnLButtonDblClk(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnLButtonUp(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnLButtonDown(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnRButtonDblClk(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnRButtonUp(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnRButtonDown(WPARAM, uint32_t, uint32_t) { return false; }
    virtual bool OnSetCursor(WPARAM /*window*/, uint32_t /*hitTest*/, uint32_t /*mouseMessage*/) { return false; }
    virtual bool OnMouseWheel(uint32_t /*keys*/, uint32_t /*delta*/, uint32_t /*x*/, uint32_t /*y*/) { return false; }
    virtual bool OnCaptureChanged(LPARAM /*gainingCapture*/) { return false; }
    virtual bool OnMouseLeave() { return false; }
    virtual bool OnMouseHover() { return false; }
    virtual bool OnNcHitTest(uint32_t /*x*/, uint32_t /*y*/, LRESULT*) { return false; }
    virtual bool OnKeyUp(WPARAM /*virtualKey*/, LPARAM /*keyData*/) { return false; }
    virtual bool OnKeyDown(WPARAM /*virtualKey*/, LPARAM /*keyData*/) { return false; }
    virtual bool OnChar(WPARAM /*character*/, LPARAM /*keyData*/) { return false; }
    virtual bool OnHotKey(WPARAM /*id*/, uint32_t /*modifiers*/, uint32_t /*virtualKey*/) { return false; }
    virtual bool OnNcPaint() { return false; }
    virtual bool OnPaint() { return false; }
    virtual bool OnEraseBkgnd(WPARAM /*dc*/, LRESULT*) { return false; }
    virtual bool OnMeasureItem(LPARAM /*measureItem*/) { return false; }
    virtual bool OnDrawItem(LPARAM /*drawItem*/) { return false; }
    virtual bool OnVScroll(uint32_t /*code*/, uint32_t /*thumb*/, LPARAM /*scrollBar*/) { return false; }
    virtual bool OnHScroll(uint32_t /*code*/, uint32_t /*thumb*/, LPARAM /*scrollBar*/) { return false; }
    virtual bool OnSize(WPARAM /*sizeType*/, uint32_t /*width*/, uint32_t /*height*/) { return false; }
    virtual bool OnSizing(WPARAM /*edge*/, LPARAM /*rect*/) { return false; }
    virtual bool OnMove(uint32_t /*x*/, uint32_t /*y*/) { return false; }
    virtual bool OnMoving(WPARAM /*edge*/, LPARAM /*rect*/) { return false; }
    virtual bool OnNotify(WPARAM /*controlId*/, LPARAM /*header*/, LRESULT*) { return false; }
    virtual bool OnParentNotify(uint32_t /*event*/, uint32_t /*childId*/, LPARAM) { return false; }
    virtual bool OnUserMessage(UINT, WPARAM, LPARAM) { return false; } // WM_USER..0x7FFF, result always 0
    virtual bool OnGetDlgCode(LPARAM /*message*/, LRESULT*) { return false; }

    // Plain operations on hwnd
    ATOM RegisterClass(const char* className, HICON largeIcon, HICON smallIcon, HCURSOR cursor, HBRUSH background,
                       uint32_t menuId, UINT classStyle);
    bool Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menuOrChildId);
    BOOL Destroy();
    BOOL Invalidate();
    BOOL Show(int command);
    LRESULT SetFont(HFONT font, bool redraw);
    HFONT GetFont();
    BOOL SetText(const char* text);
    BOOL GetWindowRect(RECT& out);
    BOOL GetClientRect(RECT& out);
    void GetWindowSize(int32_t& width, int32_t& height);
    void GetClientSize(int32_t& width, int32_t& height);
    // Pointer-sized, so GWLP_ indices keep whole handles on 64-bit Windows.
    LONG_PTR GetLong(int index);
    LONG_PTR SetLong(int index, LONG_PTR value);
    BOOL Move(int x, int y);
    BOOL Resize(int width, int height);
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);

    // Placement (WindowPlacement.cpp)
    BOOL GetPlacement(WINDOWPLACEMENT& placement);
    BOOL SetPlacement(WINDOWPLACEMENT& placement);
    bool GetNormalTopLeft(POINT& out);
    void MoveNormalTopLeft(int32_t x, int32_t y);
    // Centres the window on reference (or on the primary work area when none),
    // kept inside the virtual screen.
    void CenterWindow(HWND reference);
    // Pulls the restored position back onto the monitors present; a maximised
    // or minimised window is left alone.
    void KeepInVirtualScreen();

    HWND hwnd = nullptr;

private:
    bool RouteBasic(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool RouteNonClient(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool RouteKeys(UINT message, WPARAM wParam, LPARAM lParam);
    bool RouteMenuAndCommand(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
    bool RouteOther(UINT message, WPARAM wParam, LPARAM lParam);
};

// Virtual-screen rectangle (all monitors), right and bottom exclusive.
void GetVirtualScreenRect(RECT& out);
// System metric, with the virtual-screen metrics answered from the primary
// screen on systems without multi-monitor support.
int32_t GetMetric(int32_t index);
