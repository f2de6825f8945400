#include "framework/WindowJob.h"

#include "base/WorkPool.h"

bool WindowJob::Start(HWND notify, UINT message, Work newWork, Discard newDiscard, bool tell) {
    if (busy)
        return false;
    if (control.cancelEvent == nullptr) {
        control.cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (control.cancelEvent == nullptr)
            return false;
    }
    if (!thread.joinable()) {
        ending = false;
        if (!WorkPool::StartThread(thread, [this] { Run(); }))
            return false;
    }
    control.cancel.store(false);
    ResetEvent(control.cancelEvent);
    control.window = notify;
    control.message = message;
    work = std::move(newWork);
    discard = std::move(newDiscard);
    told = tell;
    busy = true;
    {
        // The lock orders everything written above before the thread reads it.
        std::lock_guard<std::mutex> lock(mutex);
        state = State::Begun;
    }
    changed.notify_all();
    return true;
}

bool WindowJob::Finish(bool wait) {
    if (!busy)
        return false;
    std::unique_lock<std::mutex> lock(mutex);
    if (wait)
        changed.wait(lock, [this] { return state == State::Done; });
    else if (state != State::Done)
        return false;
    state = State::None;
    busy = false;
    return true;
}

void WindowJob::Cancel() {
    control.cancel.store(true);
    if (control.cancelEvent != nullptr)
        SetEvent(control.cancelEvent);
}

void WindowJob::Stop() {
    if (thread.joinable()) {
        Cancel();
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending = true;
        }
        changed.notify_all();
        // At most the piece running now is waited for.
        thread.join();
    }
    state = State::None;
    busy = false;
    work = nullptr;
    discard = nullptr;
    if (control.cancelEvent != nullptr) {
        CloseHandle(control.cancelEvent);
        control.cancelEvent = nullptr;
    }
}

void WindowJob::Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return ending || state == State::Begun; });
        if (ending)
            return;
        lock.unlock();
        // A throw ends the piece without its results; the window still
        // hears that it ended, and the thread goes on.
        bool failed = false;
        try {
            work(control);
        } catch (...) {
            failed = true;
        }
        lock.lock();
        // Posted under the lock, so the window's Finish sees Done with the
        // message, and results nobody will take go before it can look.
        // PostMessage never waits for the window's thread.
        if (told && !control.Post(0, 0))
            failed = true;
        if (failed && discard)
            discard();
        state = State::Done;
        changed.notify_all();
    }
}
