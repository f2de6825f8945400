#pragma once
// The one way the tests wait for another thread or process to reach a state:
// ask again every kPollMilliseconds until the state holds or the time runs
// out. Every wait is bounded, so a broken program fails its test instead of
// hanging the run, and none measures anything (tests never assert a time).
// kPatienceMilliseconds is the bound for anything a working program does at
// once; waits for real work (a whole conversion) pass a longer one.

#include <chrono>
#include <cstdint>
#include <thread>

namespace waits {

constexpr uint32_t kPollMilliseconds = 20;
constexpr uint32_t kPatienceMilliseconds = 15000;

// True as soon as holds() returns true; false when it still does not after
// timeoutMs.
template <typename Condition> bool WaitUntil(Condition holds, uint32_t timeoutMs = kPatienceMilliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (holds())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
    }
}

} // namespace waits
