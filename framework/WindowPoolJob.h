#pragma once
// WindowPoolResult: one piece of work run on a thread of a pool its owner
// shares among several such pieces, the window told by a message when it
// ends and the result kept here until the window takes it. What WindowResult
// (WindowJob.h) is for work on a thread of its own, this is for work made in
// parallel: each piece in flight is one of these, all posting to one pool.
//
// The piece is posted in a group of its own, so that waiting for it never
// makes the window's thread run another's; the group ends with it, so the
// destructor drops a piece still queued and waits for one running, and no
// piece outlives its owner. The pool's owner cancels them all at once
// (WorkPool::Cancel): a piece dropped before it started posts nothing.

#include "base/WorkPool.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <utility>

template <class Result> class WindowPoolResult {
public:
    // Handed the pool's flag, which turns when the pool is cancelled.
    using Work = std::function<void(Result& result, const std::atomic<bool>& cancelled)>;

    explicit WindowPoolResult(WorkPool& pool) : pool(pool), group(pool) {}
    WindowPoolResult(const WindowPoolResult&) = delete;
    WindowPoolResult& operator=(const WindowPoolResult&) = delete;

    // Queues work, into a Result made anew; when it ends, message (wParam
    // and lParam 0) goes to notify. A pool without threads of its own runs
    // it here, before this returns, its message then waiting in the queue.
    // False while a piece is running or not collected, or when the pool
    // refuses it (cancelled).
    bool Start(HWND notify, UINT message, Work work) {
        if (busy)
            return false;
        piece.result = Result{};
        piece.work = std::move(work);
        piece.notify = notify;
        piece.message = message;
        piece.threw = false;
        piece.done.store(false);
        if (!group.Post(piece)) {
            piece.work = nullptr;
            return false;
        }
        busy = true;
        if (pool.Size() == 1)
            group.Wait(piece);
        return true;
    }
    // A piece was started and not collected by Finished yet.
    bool Busy() const { return busy; }
    // Once the piece started has ended (wait: blocks until it has), it is
    // collected: its result, the caller's until the next Start, or null when
    // its work threw or the pool dropped it unstarted. Null, and nothing
    // collected, while it runs; null when none was started.
    Result* Finished(bool wait) {
        if (!busy || (!wait && !piece.done.load()))
            return nullptr;
        // Ended: the wait only sees the piece off its thread.
        group.Wait(piece);
        busy = false;
        piece.work = nullptr;
        return piece.Ran() && !piece.threw ? &piece.result : nullptr;
    }

private:
    class Piece : public WorkJob {
    public:
        void Run(const std::atomic<bool>& cancelled) override {
            // A throw ends the piece without its result; the window still
            // hears that it ended.
            try {
                work(result, cancelled);
            } catch (...) {
                threw = true;
            }
            // Set before the message, so that the window finds it ended.
            done.store(true);
            PostMessageW(notify, message, 0, 0);
        }
        Work work;
        Result result{};
        HWND notify = nullptr;
        UINT message = 0;
        bool threw = false; // read after the group's wait
        std::atomic<bool> done{false};
    };

    WorkPool& pool;
    Piece piece;
    WorkGroup group; // after the piece it ends
    bool busy = false;
};
