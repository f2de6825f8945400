// Work run off the window's thread and its result handed back: taken after
// the message, freed when nobody takes it, and never outliving the job. Each
// piece is held on an event the test sets, so the test chooses the order.

#include "framework/WindowJob.h"

#include "tests/support/MessageWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

constexpr UINT kDone = WM_APP + 11;

// Counts its lives, so a result left behind shows as one not destroyed.
struct Counted {
    static std::atomic<int> made;
    static std::atomic<int> gone;
    Counted() { ++made; }
    ~Counted() { ++gone; }
    int value = 0;
};
std::atomic<int> Counted::made{0};
std::atomic<int> Counted::gone{0};

class WindowJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        Counted::made = 0;
        Counted::gone = 0;
        ASSERT_NE(listener.window, nullptr);
        gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override {
        CloseHandle(gate);
        CloseHandle(entered);
    }
    // Work that says it has begun, waits for the gate and leaves value.
    WindowResult<Counted>::Work Held(int value) {
        return [this, value](Counted& result, const JobControl&) {
            SetEvent(entered);
            WaitForSingleObject(gate, INFINITE);
            result.value = value;
        };
    }

    MessageWindow listener{kDone};
    HANDLE gate = nullptr;
    HANDLE entered = nullptr;
};

TEST_F(WindowJobTest, ResultIsTakenAfterItsMessageAndTheNextPieceWaitsForThat) {
    WindowResult<Counted> job;
    ASSERT_TRUE(job.Start(listener.window, kDone, Held(42)));
    WaitForSingleObject(entered, INFINITE);
    EXPECT_TRUE(job.Busy());
    EXPECT_EQ(job.Finished(false), nullptr); // still held
    EXPECT_FALSE(job.Start(listener.window, kDone, Held(1)));
    SetEvent(gate);
    ASSERT_TRUE(listener.Told());
    // Done before the message was posted: taken without waiting.
    Counted* done = job.Finished(false);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->value, 42);
    EXPECT_FALSE(job.Busy());
    EXPECT_EQ(job.Finished(true), nullptr) << "a result is taken once";
    // The same thread takes the next piece; the result taken goes with it.
    ASSERT_TRUE(job.Start(listener.window, kDone, Held(43)));
    ASSERT_TRUE(listener.Told());
    done = job.Finished(false);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->value, 43);
    EXPECT_EQ(Counted::gone.load(), 1);
    job.Stop();
    EXPECT_EQ(Counted::gone.load(), Counted::made.load());
}

TEST_F(WindowJobTest, StopCancelsThePieceRunningWaitsForItAndFreesItsResult) {
    std::atomic<bool> sawCancel{false}, returned{false};
    WindowResult<Counted> job;
    ASSERT_TRUE(job.Start(listener.window, kDone, [&](Counted&, const JobControl& control) {
        SetEvent(entered);
        // Sleeps in the system until cancelled, as a folder watch does.
        WaitForSingleObject(control.CancelEvent(), INFINITE);
        sawCancel = control.Cancelled() && control.Flag()->load();
        returned = true;
    }));
    WaitForSingleObject(entered, INFINITE);
    job.Stop();
    EXPECT_TRUE(returned.load()) << "Stop returned before the piece ended";
    EXPECT_TRUE(sawCancel.load());
    EXPECT_FALSE(job.Busy());
    EXPECT_EQ(job.Finished(true), nullptr);
    EXPECT_EQ(Counted::made.load(), 1);
    EXPECT_EQ(Counted::gone.load(), 1);
    // The stopped piece still told the window as it ended, before Stop
    // joined its thread; that message is spent, not the next piece's.
    while (listener.Waiting()) {
    }
    // A stopped job starts again, with the flag down.
    ASSERT_TRUE(job.Start(listener.window, kDone, [&](Counted& result, const JobControl& control) {
        result.value = control.Cancelled() ? -1 : 7;
    }));
    ASSERT_TRUE(listener.Told());
    Counted* done = job.Finished(false);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->value, 7);
}

TEST_F(WindowJobTest, ResultForAWindowGoneIsFreedAtOnce) {
    WindowResult<Counted> job;
    ASSERT_TRUE(job.Start(listener.window, kDone, Held(5)));
    WaitForSingleObject(entered, INFINITE);
    DestroyWindow(listener.window);
    listener.window = nullptr;
    SetEvent(gate);
    // The message could not be posted: nothing is handed back, and the
    // result is gone before the job is.
    EXPECT_EQ(job.Finished(true), nullptr);
    EXPECT_EQ(Counted::made.load(), 1);
    EXPECT_EQ(Counted::gone.load(), 1);
}

TEST_F(WindowJobTest, ResultNeverTakenGoesWithTheJob) {
    {
        WindowResult<Counted> job;
        SetEvent(gate);
        ASSERT_TRUE(job.Start(listener.window, kDone, Held(5)));
        // The window has its message and is destroyed without asking.
        ASSERT_TRUE(listener.Told());
        EXPECT_EQ(Counted::gone.load(), 0);
    }
    EXPECT_EQ(Counted::made.load(), 1);
    EXPECT_EQ(Counted::gone.load(), 1);
}

TEST_F(WindowJobTest, WorkThatThrowsStillTellsTheWindowAndLeavesNoResult) {
    WindowResult<Counted> job;
    ASSERT_TRUE(job.Start(listener.window, kDone, [](Counted&, const JobControl&) { throw std::runtime_error("no memory"); }));
    ASSERT_TRUE(listener.Told());
    EXPECT_EQ(job.Finished(false), nullptr);
    EXPECT_FALSE(job.Busy());
    EXPECT_EQ(Counted::gone.load(), 1);
    // The thread goes on.
    ASSERT_TRUE(job.Start(listener.window, kDone, Held(9)));
    SetEvent(gate);
    ASSERT_TRUE(listener.Told());
    ASSERT_NE(job.Finished(false), nullptr);
}

TEST_F(WindowJobTest, WorkThatTellsTheWindowItselfPostsItsOwnMessages) {
    WindowJob job;
    // Not told at the end: the window hears only what the work posts.
    ASSERT_TRUE(job.Start(
        listener.window, kDone,
        [](const JobControl& control) {
            control.Post(3, 0);
            control.Post(4, 0);
        },
        nullptr, false));
    WPARAM first = 0, second = 0;
    ASSERT_TRUE(listener.Told(&first));
    ASSERT_TRUE(listener.Told(&second));
    EXPECT_EQ(first, 3u);
    EXPECT_EQ(second, 4u);
    EXPECT_TRUE(job.Finish(true));
    // Whatever reached the queue meanwhile was only the work's.
    EXPECT_FALSE(listener.Waiting());
}

} // namespace
