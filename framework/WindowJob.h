#pragma once
// WindowJob: work run off a window's thread, one piece at a time, on a thread
// the job owns, and the window told by a message when each piece is done.
//
// The thread starts with the first piece and is kept for the next until Stop
// (and the destructor), which raises the cancel flag, waits for the piece
// running and joins the thread: no thread outlives its owner. The message
// carries no result: what the work made stays with its owner (WindowResult
// below), which hands it to the window when it asks after the message and
// frees it when the window never does, so a window closed meanwhile leaks
// nothing.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

// What a piece of work is handed: the flag every loop of it checks, the same
// as an event for work that sleeps in the system, and its window for work
// that tells the window along the way.
class JobControl {
public:
    bool Cancelled() const { return cancel.load(); }
    const std::atomic<bool>* Flag() const { return &cancel; }
    // Set together with the flag (manual reset), for WaitForMultipleObjects.
    HANDLE CancelEvent() const { return cancelEvent; }
    // Posts the job's message to its window now; false when the window is gone.
    bool Post(WPARAM wParam, LPARAM lParam) const { return PostMessageW(window, message, wParam, lParam) != FALSE; }

private:
    friend class WindowJob;
    std::atomic<bool> cancel{false};
    HANDLE cancelEvent = nullptr;
    HWND window = nullptr;
    UINT message = 0;
};

class WindowJob {
public:
    using Work = std::function<void(const JobControl& control)>;
    // Called on the job's thread when what a piece made is of no use: its
    // work threw, or its message could not be posted (the window is gone).
    // Its results go at once.
    using Discard = std::function<void()>;

    WindowJob() = default;
    ~WindowJob() { Stop(); }
    WindowJob(const WindowJob&) = delete;
    WindowJob& operator=(const WindowJob&) = delete;

    // Runs work on the job's thread; when it returns, message (wParam and
    // lParam 0) goes to notify, unless told is false: work that tells the
    // window itself along the way (JobControl::Post). False while a piece
    // is running or not collected yet, or when no thread can be started.
    bool Start(HWND notify, UINT message, Work work, Discard discard = nullptr, bool told = true);
    // A piece was started and not collected by Finish yet.
    bool Busy() const { return busy; }
    // True once the piece started has ended (wait: blocks until it has); its
    // results are the caller's from here until the next Start. False while
    // it runs, or when none was started.
    bool Finish(bool wait);
    // Raises the flag and sets the event; returns at once.
    void Cancel();
    // Cancels, waits for the piece running and ends the thread; a later
    // Start starts another.
    void Stop();

private:
    // Where the piece is; changed under mutex, told by `changed`.
    enum class State { None, Begun, Done };

    void Run();

    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    State state = State::None;
    bool ending = false; // the thread returns at its next look
    bool busy = false;   // started and not collected; the owner's thread alone
    JobControl control;
    Work work;
    Discard discard;
    bool told = true;
};

// A WindowJob whose work fills one Result, made anew for each piece. The
// result is held here, never in the message: the window takes it with
// Finished after the message, and one it never takes is freed at the next
// Start or at Stop; one whose message cannot be posted is freed at once.
template <class Result> class WindowResult {
public:
    using Work = std::function<void(Result& result, const JobControl& control)>;

    bool Start(HWND notify, UINT message, Work work) {
        if (job.Busy())
            return false;
        result = std::make_unique<Result>();
        Result* target = result.get();
        // Runs on the job's thread under the job's lock, before the window may
        // take the result.
        auto drop = [this] { result.reset(); };
        if (job.Start(
                notify, message, [target, work = std::move(work)](const JobControl& c) { work(*target, c); }, drop))
            return true;
        result.reset();
        return false;
    }
    bool Busy() const { return job.Busy(); }
    // The result of the piece ended, or null while it runs, when none was
    // started or its window was gone (wait: blocks until it has ended). The
    // caller's until the next Start.
    Result* Finished(bool wait) { return job.Finish(wait) ? result.get() : nullptr; }
    void Cancel() { job.Cancel(); }
    // As WindowJob::Stop; the result not taken is freed.
    void Stop() {
        job.Stop();
        result.reset();
    }

private:
    // Declared after the result, so that the thread is joined before the
    // result it writes goes.
    std::unique_ptr<Result> result;
    WindowJob job;
};
