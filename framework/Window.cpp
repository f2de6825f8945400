// The one window procedure and the plain window operations.
#include "framework/Window.h"

#include "framework/AppShell.h"
#include "base/Wide.h"

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object = nullptr;
    if (message == WM_NCCREATE || message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object = create != nullptr ? static_cast<Window*>(create->lpCreateParams) : nullptr;
        if (object != nullptr) {
            // The whole pointer: the 32-bit slot calls would cut it on 64-bit Windows.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
            object->hwnd = hwnd;
        }
    }
    if (object == nullptr)
        object = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Messages sent before WM_NCCREATE (WM_GETMINMAXINFO) find no object yet.
    if (object == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // An exception must not unwind through the system's frames between here
    // and the message loop (their state is then undefined, and a throw out
    // of a callback can end the process): it fails this message alone, with
    // the result 0 that most messages take as "not done".
    try {
        return object->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

ATOM Window::RegisterClass(const char* className, HICON largeIcon, HICON smallIcon, HCURSOR cursor, HBRUSH background,
                           uint32_t menuId, UINT classStyle) {
    const std::wstring wideName = Widen(className);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = FrameworkWindowProc;
    windowClass.hInstance = AppShell::ModuleHandle();
    windowClass.hIcon = largeIcon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszMenuName = menuId != 0 ? MAKEINTRESOURCEW(menuId & 0xFFFF) : nullptr;
    windowClass.lpszClassName = wideName.c_str();
    return RegisterClassExW(&windowClass);
}

bool Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrChildId) {
    // The window procedure binds hwnd already at WM_NCCREATE; store it again
    // for classes whose procedure is not the framework's.
    hwnd = CreateWindowExW(exStyle, Widen(className).c_str(), Widen(title).c_str(), style, x, y, width, height, parent,
                           menuOrChildId, AppShell::ModuleHandle(), this);
    return hwnd != nullptr;
}

BOOL Window::Destroy() {
    return DestroyWindow(hwnd);
}

BOOL Window::Invalidate() {
    return InvalidateRect(hwnd, nullptr, FALSE);
}

BOOL Window::Show(int command) {
    return ShowWindow(hwnd, command);
}

LRESULT Window::SetFont(HFONT font, bool redraw) {
    return Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw ? 1 : 0, 0));
}

HFONT Window::GetFont() {
    return reinterpret_cast<HFONT>(Send(WM_GETFONT, 0, 0));
}

BOOL Window::SetText(const char* text) {
    return SetWindowTextW(hwnd, Widen(text).c_str());
}

BOOL Window::GetWindowRect(RECT& out) {
    return ::GetWindowRect(hwnd, &out);
}

BOOL Window::GetClientRect(RECT& out) {
    return ::GetClientRect(hwnd, &out);
}

void Window::GetWindowSize(int32_t& width, int32_t& height) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
}

void Window::GetClientSize(int32_t& width, int32_t& height) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
}

LONG_PTR Window::GetLong(int index) {
    return GetWindowLongPtrW(hwnd, index);
}

LONG_PTR Window::SetLong(int index, LONG_PTR value) {
    return SetWindowLongPtrW(hwnd, index, value);
}

BOOL Window::Move(int x, int y) {
    return SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL Window::Resize(int width, int height) {
    return SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(hwnd, message, wParam, lParam);
}
