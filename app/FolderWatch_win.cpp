#include "app/FolderWatch.h"

#include "base/Wide.h"

namespace {

// Names appearing, going or renamed. Writes inside a file are left out: a
// document being saved would list the folder again for every block written.
constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME;
constexpr DWORD kWatchedWrites = FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

HANDLE StartNotification(const char* folder, bool writes) {
    return FindFirstChangeNotificationW(WidePath(folder).c_str(), FALSE,
                                        writes ? kWatchedChanges | kWatchedWrites : kWatchedChanges);
}

} // namespace

bool FolderWatch::Watch(const char* folder, HWND notify, UINT message, bool writes) {
    Stop();
    HANDLE notification = StartNotification(folder, writes);
    if (notification == INVALID_HANDLE_VALUE)
        return false;
    change = notification;
    const WPARAM generation = ++current;
    pending.store(false);
    // The watch tells the window itself, once a burst; its end is no news.
    if (job.Start(
            notify, message, [this, generation](const JobControl& control) { Run(control, generation); }, nullptr,
            false))
        return true;
    FindCloseChangeNotification(change);
    change = nullptr;
    return false;
}

void FolderWatch::Stop() {
    job.Stop();
    if (change != nullptr) {
        FindCloseChangeNotification(change);
        change = nullptr;
    }
}

void FolderWatch::Run(const JobControl& control, WPARAM generation) {
    // Read once: Watch changes it only after this thread has been joined.
    const HANDLE handles[2] = {control.CancelEvent(), change};
    for (;;) {
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
        if (!pending.exchange(true))
            control.Post(generation, 0);
        // Re-armed before the window lists the folder, so a change made
        // while it does is noticed too.
        if (!FindNextChangeNotification(handles[1]))
            return;
    }
}
