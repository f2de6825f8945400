// The frame on monitors of different scales: its pixel sizes follow the DPI
// of the monitor it is on.
#include "app/FrameMessages.h"
#include "app/MainFrame.h"

#include "framework/Dpi.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"

int32_t MainFrame::Scaled(int32_t pixels) const {
    return ScaleForDpi(pixels, dpi);
}

void MainFrame::UpdateIcons() {
    // 32 and 16 pixels at 100%; the icon file holds 16, 32 and 48, and the
    // system scales the nearest. The class was registered with the system
    // scale's; its one window decides the size, and the old icons go.
    HICON big = LoadIconImage(IDI_TESSAVEL, Scaled(32));
    HICON small = LoadIconImage(IDI_TESSAVEL, Scaled(16));
    if (big != nullptr) {
        if (HICON old = reinterpret_cast<HICON>(SetClassLongPtrW(hwnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(big))))
            DestroyIcon(old);
    }
    if (small != nullptr) {
        if (HICON old =
                reinterpret_cast<HICON>(SetClassLongPtrW(hwnd, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(small))))
            DestroyIcon(old);
    }
}

void MainFrame::ApplyDpi(uint32_t newDpi, bool scaleListWidth) {
    int32_t listWidth = 0, listHeight = 0;
    list.GetWindowSize(listWidth, listHeight);
    if (scaleListWidth && dpi != 0)
        listWidth = static_cast<int32_t>(int64_t{listWidth} * newDpi / dpi);
    dpi = newDpi;
    UpdateIcons();
    list.SetDpi(newDpi);
    status.SetDpi(newDpi);
    layersPane.SetDpi(newDpi);
    // The thumbnails made again at the new scale's size.
    const char* shown = documents.CurrentPath();
    if (layersPane.Visible() && !shownLayers.layers.empty() && shown != nullptr &&
        layersPane.ShownThumbnailSide() != layersPane.ThumbnailSide()) {
        layersPane.ResetThumbnails(int(shownLayers.layers.size()));
        thumbnails.Request(shown, layersPane.ThumbnailSide(), hwnd, kThumbnailsMade);
    }
    LayOut(listWidth);
    view.UpdateScroll(false);
    UpdateStatus(); // its parts are sized for the DPI
}

bool MainFrame::OnDpiChanged(uint32_t newDpi, const RECT& suggested) {
    if (newDpi == 0)
        return false;
    // The system scales the frame and the menu; the client area is laid out
    // here, once the window has its new size (sizing it keeps the list's
    // width as it was).
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // While the window is being created, before its children, there is
    // nothing else to scale yet: they are made at the new DPI.
    if (list.hwnd == nullptr || view.hwnd == nullptr) {
        dpi = newDpi;
        UpdateIcons();
    } else {
        ApplyDpi(newDpi, true);
    }
    return true;
}

void MainFrame::OnSettingChange(WPARAM setting) {
    // The text size the user sets changes the non-client metrics, whose
    // message and status fonts the children show; a font of the old size
    // would stay until the next DPI change.
    if (setting == SPI_SETNONCLIENTMETRICS && list.hwnd != nullptr && view.hwnd != nullptr)
        ApplyDpi(dpi, false);
}
