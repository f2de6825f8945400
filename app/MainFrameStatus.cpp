// The status bar under the two panes, and the full-screen view that shows
// the picture alone.
#include "app/MainFrame.h"

#include "app/FileStamp.h"
#include "app/StatusText.h"
#include "app/UserLanguage.h"
#include "res/ResourceIds.h"

#include <string>

namespace {

// Part widths at 96 DPI: place in the list, picture and zoom (or the
// failure and its reason), format and layers; the file's size and date take
// the rest.
constexpr int32_t kStatusParts[] = {90, 240, 130, 200};
constexpr int kStatusPartCount = int(sizeof(kStatusParts) / sizeof(kStatusParts[0]));

// The file's write time in the user's own time zone.
LocalTime LocalWriteTime(uint64_t ticks) {
    FILETIME utc{DWORD(ticks), DWORD(ticks >> 32)};
    FILETIME local{};
    SYSTEMTIME parts{};
    LocalTime time;
    if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &parts))
        time = {parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute};
    return time;
}

} // namespace

bool MainFrame::CreateStatus() {
    if (!status.CreateBar(hwnd, IDC_STATUS_BAR))
        return false;
    status.SetDpi(dpi);
    status.SetParts(kStatusParts, kStatusPartCount, dpi);
    return true;
}

void MainFrame::UpdateStatus() {
    if (status.hwnd == nullptr)
        return;
    const int count = static_cast<int>(list.Send(LB_GETCOUNT, 0, 0));
    const int selection = static_cast<int>(list.Send(LB_GETCURSEL, 0, 0));
    status.SetParts(kStatusParts, kStatusPartCount, dpi);
    status.SetPartText(0, PositionText(selection, count).c_str());
    const char* path = list.PathAt(selection);
    std::string picture;
    std::string document;
    std::string file;
    if (!view.Failure().IsEmpty()) {
        picture = std::string(UserTexts(settings).loadFailed) + ": " + view.Failure().Text();
    } else if (!image.IsEmpty()) {
        picture = PictureText(image.width, image.height, view.ShownScale());
    }
    if (path != nullptr) {
        document = DocumentText(SummariseDocument(path));
        const FileStamp stamp = FileStamp::Of(path);
        if (stamp.exists)
            file = FileText(stamp.size, LocalWriteTime(stamp.writeTime));
    }
    status.SetPartText(1, picture.c_str());
    status.SetPartText(2, document.c_str());
    status.SetPartText(3, file.c_str());
}

void MainFrame::SetFullScreen(bool on) {
    if (on == fullScreen)
        return;
    int32_t listWidth = 0, listHeight = 0;
    list.GetWindowSize(listWidth, listHeight);
    if (on) {
        // The monitor the window is on, covered by the picture alone.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        windowedStyle = GetWindowLongPtrA(hwnd, GWL_STYLE);
        ::GetWindowRect(hwnd, &windowedRect);
        fullScreen = true;
        ShowWindow(list.hwnd, SW_HIDE);
        ShowWindow(status.hwnd, SW_HIDE);
        ShowWindow(layersPane.hwnd, SW_HIDE);
        windowedMenu = GetMenu(hwnd);
        SetMenu(hwnd, nullptr);
        SetWindowLongPtrA(hwnd, GWL_STYLE, (windowedStyle & ~LONG_PTR(WS_OVERLAPPEDWINDOW)) | WS_POPUP);
        const RECT& area = monitor.rcMonitor;
        SetWindowPos(hwnd, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    } else {
        fullScreen = false;
        SetWindowLongPtrA(hwnd, GWL_STYLE, windowedStyle);
        SetMenu(hwnd, windowedMenu);
        ShowWindow(list.hwnd, SW_SHOW);
        ShowWindow(status.hwnd, SW_SHOW);
        if (layersPane.Visible())
            ShowWindow(layersPane.hwnd, SW_SHOW);
        SetWindowPos(hwnd, nullptr, windowedRect.left, windowedRect.top, windowedRect.right - windowedRect.left,
                     windowedRect.bottom - windowedRect.top, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOOWNERZORDER);
    }
    LayOut(listWidth);
    view.UpdateScroll(false);
    UpdateStatus();
}
