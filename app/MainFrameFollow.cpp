// The shown document follows its file. Painters keep the viewer open beside
// the paint program while they save, whether the save replaces the file
// whole (a new file renamed over it) or rewrites it in place. The folder of
// the shown file is watched for writes; a change that moved the file's stamp
// is waited out until the size and stamp hold still and no program has the
// file open for writing, and the document is then read again with the zoom,
// the position and the layers shown kept. A load that failed on a file half
// saved is retried the same way.
#include "app/FrameMessages.h"
#include "app/MainFrame.h"

void MainFrame::FollowShownFile(const char* path) {
    Str folder;
    folder.Assign(path);
    folder.RemoveFileName();
    KillTimer(hwnd, kSettleTimer);
    if (shownFolder == folder.Text())
        return; // watched already: the change it saw was this file's or a neighbour's
    shownFolder = folder.Text();
    // A folder that cannot be watched still shows its files; F5 reads the
    // shown one again.
    shownWatch.Watch(folder.Text(), hwnd, kShownFolderChanged, true);
}

void MainFrame::OnShownFolderChanged(WPARAM generation) {
    if (!shownWatch.IsCurrent(generation))
        return;
    shownWatch.Acknowledge();
    CheckShownFile();
}

void MainFrame::CheckShownFile() {
    const char* path = documents.CurrentPath();
    if (path == nullptr)
        return;
    const FileStamp now = FileStamp::Of(path);
    // Gone (a save by rename between its two steps): the new file's arrival
    // is a change of its own.
    if (!now.exists || now.SameFile(shownStamp))
        return;
    settling = now;
    SetTimer(hwnd, kSettleTimer, kSettleMilliseconds, nullptr);
}

bool MainFrame::OnTimer(WPARAM timerId) {
    if (timerId == kSlideshowTimer) {
        SlideshowStep();
        return true;
    }
    if (timerId != kSettleTimer)
        return false;
    const char* path = documents.CurrentPath();
    const FileStamp now = path != nullptr ? FileStamp::Of(path) : FileStamp{};
    if (!now.exists) {
        KillTimer(hwnd, kSettleTimer);
        return true;
    }
    // Still being written: wait one more interval.
    if (!now.SameFile(settling) || FileStamp::HeldForWriting(path)) {
        settling = now;
        return true;
    }
    KillTimer(hwnd, kSettleTimer);
    if (!now.SameFile(shownStamp))
        ReloadShown();
    return true;
}

void MainFrame::ReloadShown() {
    const int index = documents.Current();
    if (index < 0)
        return;
    // A picture that stood for its file keeps its place; after a failure
    // there is none to keep.
    ShowFile(index, view.Failure().IsEmpty() && !image.IsEmpty());
}
