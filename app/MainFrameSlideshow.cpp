// The slideshow: the documents one after another in full screen, each for
// SlideshowSeconds once it is shown, to the last one. Any key or click ends
// it, and full screen stays, with the document it reached.
#include "app/MainFrame.h"

#include "app/FrameMessages.h"

void MainFrame::StartSlideshow() {
    if (documents.Count() == 0)
        return;
    LeaveGrid();
    SetFullScreen(true);
    if (!fullScreen)
        return;
    if (documents.Current() < 0)
        ShowFile(0);
    slideshow = true;
    SetTimer(hwnd, kSlideshowTimer, UINT(settings.SlideshowSeconds) * 1000, nullptr);
}

void MainFrame::StopSlideshow() {
    if (!slideshow)
        return;
    slideshow = false;
    KillTimer(hwnd, kSlideshowTimer);
}

void MainFrame::SlideshowStep() {
    // The interval counts from the moment the next document is up: a large
    // one read for seconds still gets its whole time on the screen.
    KillTimer(hwnd, kSlideshowTimer);
    if (!slideshow)
        return;
    if (!documents.Step(true)) {
        StopSlideshow(); // the last one stays on the screen
        return;
    }
    ShowFile(documents.Current());
    if (slideshow)
        SetTimer(hwnd, kSlideshowTimer, UINT(settings.SlideshowSeconds) * 1000, nullptr);
}

bool MainFrame::OnParentNotify(uint32_t event, uint32_t, LPARAM) {
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN || event == WM_XBUTTONDOWN)
        StopSlideshow();
    return false;
}
