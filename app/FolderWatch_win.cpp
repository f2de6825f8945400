#include "app/FolderWatch.h"

#include "base/Wide.h"
#include "base/WorkPool.h"

#include <vector>

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
    stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop == nullptr) {
        FindCloseChangeNotification(notification);
        return false;
    }
    change = notification;
    window = notify;
    notifyMessage = message;
    ++current;
    pending.store(false);
    if (WorkPool::StartThread(thread, [this] { Run(); }))
        return true;
    FindCloseChangeNotification(change);
    CloseHandle(stop);
    change = stop = nullptr;
    return false;
}

void FolderWatch::Stop() {
    if (!thread.joinable())
        return;
    SetEvent(stop);
    thread.join();
    FindCloseChangeNotification(change);
    CloseHandle(stop);
    change = stop = nullptr;
}

void FolderWatch::Run() {
    // Read once: Watch changes these only after this thread has been joined.
    const HANDLE handles[2] = {stop, change};
    const HWND notify = window;
    const UINT message = notifyMessage;
    const WPARAM generation = current;
    for (;;) {
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
        if (!pending.exchange(true))
            PostMessageW(notify, message, generation, 0);
        // Re-armed before the window lists the folder, so a change made
        // while it does is noticed too.
        if (!FindNextChangeNotification(handles[1]))
            return;
    }
}
