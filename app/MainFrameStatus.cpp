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
// failure and its reason), format and layers, the file's size and date, the
// view's mirror and turn (as wide as its text: none without a turn); the
// colour under the pointer takes the rest.
constexpr int32_t kStatusParts[] = {90, 240, 130, 200, 0, 180};
constexpr int kStatusPartCount = int(sizeof(kStatusParts) / sizeof(kStatusParts[0]));
constexpr int kColourPart = 5;

std::string PointerColourText(ImageView& view) {
    uint8_t rgb[3];
    return view.ColourUnderPointer(rgb) ? ColourText(rgb[0], rgb[1], rgb[2]) : std::string();
}

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
    const int count = documents.Count();
    const int selection = documents.Current();
    const std::string place = PositionText(selection, count);
    const char* path = documents.PathAt(selection);
    std::string picture;
    std::string document;
    std::string file;
    if (!dropNote.empty()) {
        picture = dropNote;
    } else if (!view.Failure().IsEmpty()) {
        picture = std::string(UserTexts(settings).loadFailed) + ": " + view.Failure().Text();
    } else if (!image.IsEmpty()) {
        picture = PictureText(image.width, image.height, view.ShownScale());
        // One layer shown alone is said, or the picture would pass for the file's.
        const std::vector<std::string> names = solo.Layer() >= 0 ? ShownLayerNames() : std::vector<std::string>();
        if (size_t(solo.Layer()) < names.size())
            picture += ", solo: " + names[size_t(solo.Layer())];
    }
    if (path != nullptr) {
        document = DocumentText(SummariseDocument(path));
        const FileStamp stamp = FileStamp::Of(path);
        if (stamp.exists)
            file = FileText(stamp.size, LocalWriteTime(stamp.writeTime));
    }
    const Texts& said = UserTexts(settings);
    const std::string turn = TurnText(view.Turn(), said.viewMirrored, said.viewTurned, said.viewTurnSeparator);
    const std::string colour = PointerColourText(view);
    const char* const texts[kStatusPartCount] = {place.c_str(), picture.c_str(), document.c_str(),
                                                 file.c_str(),  turn.c_str(),    colour.c_str()};
    status.SetPartsAndTexts(kStatusParts, texts, kStatusPartCount, dpi);
}

void MainFrame::PointerMoved() {
    // The colour alone: the other parts read the file, too slow for every
    // move of the mouse.
    if (status.hwnd != nullptr)
        status.SetPartText(kColourPart, PointerColourText(view).c_str());
}

bool MainFrame::OnKeyDown(WPARAM key, LPARAM) {
    if (!fullScreen)
        return false;
    if (slideshow) {
        // The key ends the slideshow and does nothing else.
        StopSlideshow();
        return true;
    }
    const int count = documents.Count();
    int index = -1;
    switch (key) {
    // The keys that move the list's selection, and Space and Backspace,
    // which a viewer of pictures alone is expected to step with. With no
    // list to see, a page is one step.
    case VK_DOWN:
    case VK_RIGHT:
    case VK_NEXT:
    case VK_SPACE:
        StepFile(true);
        break;
    case VK_UP:
    case VK_LEFT:
    case VK_PRIOR:
    case VK_BACK:
        StepFile(false);
        break;
    case VK_HOME:
        index = 0;
        break;
    case VK_END:
        index = count - 1;
        break;
    default:
        return false;
    }
    if (index >= 0 && index < count && index != documents.Current())
        ShowFile(index);
    UpdateStatus();
    return true;
}

void MainFrame::SetFullScreen(bool on) {
    if (on)
        LeaveGrid(); // the picture alone
    else
        StopSlideshow();
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
        // The hidden list can have no keys: the frame takes them.
        SetFocus(hwnd);
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
        SetFocus(list.hwnd);
    }
    LayOut(listWidth);
    view.SetFullScreen(fullScreen);
    view.UpdateScroll(false);
    UpdateStatus();
}
