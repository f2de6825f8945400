#include "app/DecodeWorker.h"

#include <process.h>

bool DecodeWorker::StartThread() {
    started = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (started != nullptr && done != nullptr) {
        const uintptr_t handle = _beginthreadex(nullptr, 0, Run, this, 0, nullptr);
        thread = reinterpret_cast<HANDLE>(handle);
    }
    if (thread != nullptr)
        return true;
    // Without the thread every file is read when it is shown, as always.
    if (started != nullptr)
        CloseHandle(started);
    if (done != nullptr)
        CloseHandle(done);
    started = done = nullptr;
    return false;
}

bool DecodeWorker::Begin(const char* path, HWND notifyWindow, UINT notifyMessage) {
    if (busy || stopping.load())
        return false;
    if (thread == nullptr && !StartThread())
        return false;
    notify = notifyWindow;
    message = notifyMessage;
    job.Clear();
    job.path.Assign(path);
    busy = true;
    // The event orders everything written above before the thread reads it.
    SetEvent(started);
    return true;
}

DecodedFile* DecodeWorker::Finished(bool wait) {
    if (!busy || WaitForSingleObject(done, wait ? INFINITE : 0) != WAIT_OBJECT_0)
        return nullptr;
    busy = false;
    return &job;
}

void DecodeWorker::Stop() {
    if (thread == nullptr)
        return;
    stopping.store(true);
    SetEvent(started);
    // At most the one decode running now is waited for.
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(started);
    CloseHandle(done);
    thread = started = done = nullptr;
    busy = false;
    job.Clear();
}

unsigned __stdcall DecodeWorker::Run(void* self) {
    DecodeWorker& worker = *static_cast<DecodeWorker*>(self);
    for (;;) {
        WaitForSingleObject(worker.started, INFINITE);
        if (worker.stopping.load())
            return 0;
        Str path;
        path.Assign(worker.job.path.Text());
        DecodeFile(path.Text(), worker.job);
        const HWND notify = worker.notify;
        const UINT message = worker.message;
        SetEvent(worker.done);
        // From here the job is the interface thread's. A window already gone
        // just does not get the message.
        PostMessageW(notify, message, 0, 0);
    }
}
