// Decoding ahead: the files beside the one shown are decoded on the decode
// thread, so that stepping to them shows a picture already decoded. Which
// file is decoded and whether a picture may still be shown is PicturesAhead's
// affair; this file connects it with the list, the thread and the window.
#include "app/FrameMessages.h"
#include "app/MainFrame.h"

bool MainFrame::LoadShownFile(int index, const char* path, LoadResult& failure) {
    ahead.Want(path, documents.PathAt(index + 1), documents.PathAt(index - 1));
    // The file being decoded ahead is waited for: that is sooner than
    // reading it once more.
    if (ahead.InFlight(path))
        CollectDecoded(true);
    return ahead.Show(path, image, &failure);
}

void MainFrame::DecodeAhead() {
    CollectDecoded(false);
    if (worker.Busy())
        return;
    const char* path = ahead.NextJob();
    if (path != nullptr && worker.Begin(path, hwnd, kFileDecodedAhead))
        ahead.Started(path);
}

void MainFrame::CollectDecoded(bool wait) {
    if (DecodedFile* decoded = worker.Finished(wait))
        ahead.Accept(*decoded);
}

void MainFrame::StopDecodingAhead() {
    worker.Stop();
    ahead.Clear();
}

bool MainFrame::OnUserMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == kShowStartFile) {
        ShowFile(documents.Current());
        startupEnded = true;
        return true;
    }
    if (message == kLayersExported) {
        OnLayersExported();
        return true;
    }
    if (message == kThumbnailsMade) {
        OnThumbnailsMade();
        return true;
    }
    if (message == kSavedAs) {
        OnSavedAs();
        return true;
    }
    if (message == kFolderChanged) {
        OnFolderChanged(wParam);
        return true;
    }
    if (message == kShownFolderChanged) {
        OnShownFolderChanged(wParam);
        return true;
    }
    if (message != kFileDecodedAhead)
        return false;
    DecodeAhead();
    return true;
}

bool MainFrame::PreFilter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The router has no slots for these.
    if (message == WM_DPICHANGED)
        return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    if (message == WM_SETTINGCHANGE) {
        OnSettingChange(wParam);
        return false; // the system's own handling goes on
    }
    if (message == startupEndedMessage && message != 0) {
        *result = startupEnded ? 1 : 0;
        return true;
    }
    if (message == kSlideshowQuery) {
        *result = slideshow ? 1 : 0;
        return true;
    }
    if (message != kDecodedAheadQuery)
        return false;
    DecodeAhead();
    *result = ahead.Busy() || ahead.NextJob() != nullptr ? -1 : ahead.Held();
    return true;
}
