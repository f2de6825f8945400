#include "app/FolderWatch.h"

#include <process.h>

#include <vector>

namespace {

// Names appearing, going or renamed. Writes inside a file are left out: a
// document being saved would list the folder again for every block written.
constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME;

HANDLE StartNotification(const char* folder) {
    const int length = MultiByteToWideChar(CP_ACP, 0, folder, -1, nullptr, 0);
    if (length <= 0)
        return INVALID_HANDLE_VALUE;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    if (MultiByteToWideChar(CP_ACP, 0, folder, -1, wide.data(), length) != length)
        return INVALID_HANDLE_VALUE;
    return FindFirstChangeNotificationW(wide.data(), FALSE, kWatchedChanges);
}

} // namespace

bool FolderWatch::Watch(const char* folder, HWND notify, UINT message) {
    Stop();
    HANDLE notification = StartNotification(folder);
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
    thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Run, this, 0, nullptr));
    if (thread != nullptr)
        return true;
    FindCloseChangeNotification(change);
    CloseHandle(stop);
    change = stop = nullptr;
    return false;
}

void FolderWatch::Stop() {
    if (thread == nullptr)
        return;
    SetEvent(stop);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    FindCloseChangeNotification(change);
    CloseHandle(stop);
    thread = change = stop = nullptr;
}

unsigned __stdcall FolderWatch::Run(void* self) {
    FolderWatch& watch = *static_cast<FolderWatch*>(self);
    // Read once: Watch changes these only after this thread has been joined.
    const HANDLE handles[2] = {watch.stop, watch.change};
    const HWND window = watch.window;
    const UINT message = watch.notifyMessage;
    const WPARAM generation = watch.current;
    for (;;) {
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return 0;
        if (!watch.pending.exchange(true))
            PostMessageW(window, message, generation, 0);
        // Re-armed before the window lists the folder, so a change made
        // while it does is noticed too.
        if (!FindNextChangeNotification(watch.change))
            return 0;
    }
}
