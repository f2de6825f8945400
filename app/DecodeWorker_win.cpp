#include "app/DecodeWorker.h"

#include "base/WorkPool.h"

bool DecodeWorker::Begin(const char* path, HWND notifyWindow, UINT notifyMessage) {
    if (busy || stopping.load())
        return false;
    // Without the thread every file is read when it is shown, as always.
    if (!thread.joinable() && !WorkPool::StartThread(thread, [this] { Run(); }))
        return false;
    notify = notifyWindow;
    message = notifyMessage;
    job.Clear();
    job.path.Assign(path);
    busy = true;
    {
        // The lock orders everything written above before the thread reads it.
        std::lock_guard<std::mutex> lock(mutex);
        state = JobState::Begun;
    }
    changed.notify_all();
    return true;
}

DecodedFile* DecodeWorker::Finished(bool wait) {
    if (!busy)
        return nullptr;
    std::unique_lock<std::mutex> lock(mutex);
    if (wait)
        changed.wait(lock, [this] { return state == JobState::Done; });
    else if (state != JobState::Done)
        return nullptr;
    state = JobState::None;
    busy = false;
    return &job;
}

void DecodeWorker::Stop() {
    if (!thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping.store(true);
    }
    changed.notify_all();
    // At most the one decode running now is waited for.
    thread.join();
    busy = false;
    job.Clear();
}

void DecodeWorker::Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return stopping.load() || state == JobState::Begun; });
        if (stopping.load())
            return;
        lock.unlock();
        Str path;
        path.Assign(job.path.Text());
        // A throw (memory ran out) makes this file one not decoded ahead: it
        // is read again when shown, and the thread goes on.
        try {
            decode(path.Text(), job);
        } catch (...) {
            job.loaded = false;
            job.picture.Free();
            job.stamp = FileStamp{};
        }
        // Read before the job is handed back: the next Begin may change them.
        const HWND window = notify;
        const UINT done = message;
        lock.lock();
        state = JobState::Done;
        changed.notify_all();
        // From here the job is the interface thread's. A window already gone
        // just does not get the message.
        lock.unlock();
        PostMessageW(window, done, 0, 0);
        lock.lock();
    }
}
