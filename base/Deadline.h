#pragma once
// Deadline: when long work gives up. A moment on the steady clock, a flag
// its owner turns to cancel the work, both, or neither (the work runs to its
// end). The loops of a bounded read ask Passed() as they go, so a document
// that costs far more than its bytes promise cannot hold its reader beyond
// the moment, and an owner that no longer wants the result (a preview pane
// unloaded) gets its thread back soon.

#include <atomic>
#include <chrono>

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    Deadline() = default;
    static Deadline At(Clock::time_point moment) {
        Deadline deadline;
        deadline.moment = moment;
        deadline.timed = true;
        return deadline;
    }
    static Deadline In(Clock::duration span) { return At(Clock::now() + span); }

    // The same moment, and also passed as soon as cancelled turns true. The
    // flag is borrowed: its owner keeps it for as long as the work runs.
    Deadline OrWhen(const std::atomic<bool>& cancelled) const {
        Deadline deadline = *this;
        deadline.cancel = &cancelled;
        return deadline;
    }

    bool Passed() const {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return true;
        return timed && Clock::now() >= moment;
    }

private:
    Clock::time_point moment{};
    bool timed = false;
    const std::atomic<bool>* cancel = nullptr;
};
