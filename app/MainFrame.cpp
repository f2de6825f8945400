// Creation of the main frame, the layout of its two panes, the splitter drag
// and the end of the window's life.
#include "app/MainFrame.h"

#include "app/FileListFont.h"
#include "app/FrameMessages.h"
#include "framework/Dpi.h"
#include "framework/MouseInput.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"

namespace {

const char kMainClass[] = "Main";
const char kMainTitle[] = "Tessavel";
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN; // 0x02CF0000
// Pixel sizes at 96 DPI, scaled to the frame's DPI where used.
// The gap is the splitter's grab area: wide enough to hit without aiming,
// as the system's sizing borders are, and scaled with them.
constexpr int32_t kSplitterGap = 6;
// A drag never makes the list narrower than this...
constexpr int32_t kMinListWidth = 2;
// ...nor leaves less than this much client width beside it.
constexpr int32_t kMinRestWidth = 10;

} // namespace

bool MainFrame::CreateFrame(const char* commandTail) {
    dragging = 0;
    startupEndedMessage = RegisterWindowMessageA(kStartupEndedMessageName);
    // The resize cursor shows only over the splitter gap: the children cover
    // the rest of the client area.
    HBRUSH background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_ACTIVEBORDER + 1));
    // The icons at the sizes of the system's scale (32 and 16 at 100%); the
    // icon file holds 16, 32 and 48.
    if (RegisterClass(kMainClass, LoadIconImage(IDI_TESSAVEL, GetSystemMetrics(SM_CXICON)),
                      LoadIconImage(IDI_TESSAVEL, GetSystemMetrics(SM_CXSMICON)), LoadCursorA(nullptr, IDC_SIZEWE),
                      background, IDR_MAIN_MENU, 0) == 0)
        return false;
    if (!Create(WS_EX_ACCEPTFILES, kMainClass, kMainTitle, kMainStyle, 0, 0, 400, 400, nullptr, nullptr))
        return false;
    dpi = WindowDpi(hwnd);
    UpdateIcons();
    if (!CreateFileList(list, hwnd))
        return false;
    list.SetWheelSink(this);
    if (!view.CreateView(hwnd, settings, image, *this) || !CreateStatus())
        return false;
    // Without the grid the viewer works as before.
    grid.CreateGrid(hwnd, settings, documents, *this);
    // Without the pane the viewer works as before.
    layersPane.Create(hwnd, IDC_LAYERS_PANE);
    const int showCommand = LoadSettings();
    // The saved placement may have put the hidden window on a monitor of
    // another scale; the saved list width belongs to that monitor already.
    if (WindowDpi(hwnd) != dpi)
        ApplyDpi(WindowDpi(hwnd), false);
    RebuildRecentMenu();
    // The list is filled and the file named while the window is hidden; the
    // file itself is read once the window is on screen.
    OpenCommandLinePath(commandTail);
    Show(showCommand);
    if (showCommand == SW_SHOWMAXIMIZED) {
        // Only now is the client area the maximised one the width was saved in.
        FitListWidth(savedListWidth);
        view.UpdateScroll(false);
    }
    // The arrow keys work at once, without a click in the list first.
    SetFocus(list.hwnd);
    if (settings.Thumbnails)
        EnterGrid();
    UpdateWindow(hwnd);
    // Posted messages come before input, so the file is read before any
    // click or key is seen; meanwhile the window is drawn, naming it.
    if (startFilePending)
        PostMessageW(hwnd, kShowStartFile, 0, 0);
    else
        startupEnded = true;
    startFilePending = false;
    return true;
}

void MainFrame::LayOut(int32_t listWidth) {
    int32_t width = 0, height = 0;
    GetClientSize(width, height);
    if (fullScreen) {
        SetWindowPos(view.hwnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(grid.hwnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (status.hwnd != nullptr)
        height -= status.Fit();
    int32_t listHeight = height;
    if (layersPane.Visible()) {
        // The pane takes the lower third of the list's column.
        const int32_t paneHeight = height / 3;
        listHeight = height - paneHeight;
        SetWindowPos(layersPane.hwnd, nullptr, 0, listHeight, listWidth, paneHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    list.Resize(listWidth, listHeight);
    const int32_t gap = Scaled(kSplitterGap);
    SetWindowPos(view.hwnd, nullptr, listWidth + gap, 0, width - listWidth - gap, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(grid.hwnd, nullptr, listWidth + gap, 0, width - listWidth - gap, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainFrame::OnSize(WPARAM, uint32_t, uint32_t) {
    // Sizes arrive while the window is being created, before its children.
    if (list.hwnd == nullptr || view.hwnd == nullptr)
        return false;
    int32_t listWidth = 0, listHeight = 0;
    list.GetWindowSize(listWidth, listHeight);
    LayOut(listWidth);
    view.UpdateScroll(false);
    UpdateStatus(); // a fitted picture changes its zoom
    return true;
}

bool MainFrame::OnLButtonDown(WPARAM, uint32_t, uint32_t) {
    if (dragging == 0) {
        SetCapture(hwnd);
        GetCursorPos(&lastCursor);
        dragging = 1;
    }
    return true;
}

bool MainFrame::OnMouseMove(WPARAM, uint32_t, uint32_t) {
    if (dragging == 0)
        return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    int32_t listWidth = 0, listHeight = 0;
    list.GetWindowSize(listWidth, listHeight);
    int32_t next = listWidth + (cursor.x - lastCursor.x);
    if (next < Scaled(kMinListWidth))
        next = Scaled(kMinListWidth);
    if (clientWidth - next < Scaled(kMinRestWidth))
        next = listWidth;
    LayOut(next);
    view.UpdateScroll(false);
    // Kept also when the step changed nothing, so the list follows the
    // pointer again from where it is once it comes back.
    lastCursor = cursor;
    return true;
}

bool MainFrame::OnLButtonUp(WPARAM, uint32_t, uint32_t) {
    if (dragging == 1) {
        ReleaseCapture();
        dragging = 0;
    }
    return true;
}

bool MainFrame::OnCaptureChanged(LPARAM) {
    // The capture taken away (a window of the system, another program) ends
    // the drag: without the button-up it would go on with no button held.
    dragging = 0;
    return true;
}

bool MainFrame::OnMouseWheel(uint32_t, uint32_t delta, uint32_t x, uint32_t y) {
    // The message's point is on the screen.
    WheelAt(WheelDeltaOf(delta), PointOf(x, y));
    return true;
}

void MainFrame::OnWheelDelta(int delta) {
    POINT cursor{};
    GetCursorPos(&cursor);
    WheelAt(delta, cursor);
}

void MainFrame::WheelAt(int delta, POINT cursor) {
    // Ctrl with the pointer over the picture zooms about the pointer instead
    // of running the wheel bindings.
    RECT viewArea{};
    const bool zoom = GetKeyState(VK_CONTROL) < 0 && ScreenToClient(view.hwnd, &cursor) &&
                      ::GetClientRect(view.hwnd, &viewArea) && PtInRect(&viewArea, cursor);
    for (int32_t notches = wheel.Add(delta); notches != 0; notches += notches > 0 ? -1 : 1) {
        if (zoom)
            view.ZoomStepAt(notches > 0, cursor.x, cursor.y);
        else
            RunMouseAction(notches > 0 ? kMouseUp : kMouseDown);
    }
    UpdateStatus();
}

bool MainFrame::OnActivate(uint32_t state, LPARAM, uint32_t minimised) {
    if (state == WA_INACTIVE) {
        // Still on the child that had it: the focus moves only after this.
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus))
            focusChild = focus;
        return false;
    }
    if (minimised != 0)
        return false;
    if (fullScreen) {
        // The list is hidden; the frame steps in its place.
        SetFocus(hwnd);
        return true;
    }
    if (focusChild == nullptr || !IsChild(hwnd, focusChild))
        focusChild = list.hwnd;
    // Handled: the default would give the focus to the frame itself, where
    // the arrow keys do nothing.
    SetFocus(focusChild);
    return true;
}

bool MainFrame::OnClose() {
    // The placement saved is the window's own, not the screen's.
    SetFullScreen(false);
    SaveSettings();
    Destroy();
    return true;
}

bool MainFrame::OnDestroy() {
    // The decode thread and the grid's pool end before the window and the
    // pictures go.
    StopSlideshow();
    grid.Close();
    StopDecodingAhead();
    folderWatch.Stop();
    shownWatch.Stop();
    KillTimer(hwnd, kSettleTimer);
    // The layer being written is finished; no other starts.
    exportJob.Stop();
    PostQuitMessage(0);
    return true;
}
