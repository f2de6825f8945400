// Pieces of work sharing one pool, each telling the window when it ends and
// keeping its result until the window takes it. Each piece is held on an
// event of its own, so the test chooses the order they end in.

#include "framework/WindowPoolJob.h"

#include "tests/support/MessageWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

constexpr UINT kDone = WM_APP + 12;

struct Made {
    int value = 0;
    bool sawCancel = false;
};
using Piece = WindowPoolResult<Made>;

class WindowPoolJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(listener.window, nullptr);
        for (HANDLE& gate : gates)
            gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        for (HANDLE& event : entered)
            event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override {
        for (HANDLE gate : gates)
            CloseHandle(gate);
        for (HANDLE event : entered)
            CloseHandle(event);
    }
    // Work that says it has begun, waits for gate i and leaves value.
    Piece::Work Held(int i, int value) {
        return [this, i, value](Made& made, const std::atomic<bool>& cancelled) {
            SetEvent(entered[i]);
            WaitForSingleObject(gates[i], INFINITE);
            made.value = value;
            made.sawCancel = cancelled.load();
        };
    }

    MessageWindow listener{kDone};
    HANDLE gates[2] = {};
    HANDLE entered[2] = {};
};

TEST_F(WindowPoolJobTest, EachPieceIsTakenAfterItsOwnMessageWhicheverEndsFirst) {
    WorkPool pool(3);
    Piece first(pool), second(pool);
    ASSERT_TRUE(first.Start(listener.window, kDone, Held(0, 10)));
    ASSERT_TRUE(second.Start(listener.window, kDone, Held(1, 20)));
    WaitForSingleObject(entered[0], INFINITE);
    WaitForSingleObject(entered[1], INFINITE);
    EXPECT_EQ(first.Finished(false), nullptr);
    EXPECT_TRUE(first.Busy()) << "a piece still running was collected";
    EXPECT_FALSE(first.Start(listener.window, kDone, Held(0, 11)));
    SetEvent(gates[1]);
    ASSERT_TRUE(listener.Told());
    EXPECT_EQ(first.Finished(false), nullptr);
    Made* made = second.Finished(false);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 20);
    EXPECT_FALSE(second.Busy());
    EXPECT_EQ(second.Finished(true), nullptr) << "a result is taken once";
    SetEvent(gates[0]);
    ASSERT_TRUE(listener.Told());
    made = first.Finished(false);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 10);
    EXPECT_FALSE(made->sawCancel);
    // The next piece starts with a result made anew.
    ASSERT_TRUE(first.Start(listener.window, kDone, [](Made& result, const std::atomic<bool>&) { result.value += 1; }));
    ASSERT_TRUE(listener.Told());
    made = first.Finished(true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 1);
}

TEST_F(WindowPoolJobTest, PoolWithoutThreadsRunsThePieceAtStartAndStillTellsTheWindow) {
    WorkPool pool(1);
    Piece piece(pool);
    ASSERT_TRUE(piece.Start(listener.window, kDone, [](Made& made, const std::atomic<bool>&) { made.value = 5; }));
    EXPECT_TRUE(listener.Waiting()) << "the piece had not run when Start returned";
    Made* made = piece.Finished(false);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 5);
}

TEST_F(WindowPoolJobTest, CancelledPoolDropsThePieceQueuedAndTellsTheOneRunning) {
    WorkPool pool(2); // one thread: the second piece waits in the queue
    Piece running(pool), queued(pool);
    ASSERT_TRUE(running.Start(listener.window, kDone, Held(0, 1)));
    WaitForSingleObject(entered[0], INFINITE);
    ASSERT_TRUE(queued.Start(listener.window, kDone, Held(1, 2)));
    pool.Cancel();
    SetEvent(gates[0]);
    ASSERT_TRUE(listener.Told());
    Made* made = running.Finished(false);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->sawCancel);
    // Dropped unstarted: collected at once, with nothing to hand over.
    EXPECT_EQ(queued.Finished(true), nullptr);
    EXPECT_FALSE(queued.Busy());
    EXPECT_EQ(WaitForSingleObject(entered[1], 0), DWORD(WAIT_TIMEOUT)) << "the dropped piece ran";
    EXPECT_FALSE(listener.Waiting()) << "a dropped piece told the window";
    EXPECT_FALSE(queued.Start(listener.window, kDone, Held(1, 3)));
    EXPECT_FALSE(queued.Busy());
}

TEST_F(WindowPoolJobTest, WorkThatThrowsStillTellsTheWindowAndHandsNothingOver) {
    WorkPool pool(2);
    Piece piece(pool);
    ASSERT_TRUE(
        piece.Start(listener.window, kDone, [](Made&, const std::atomic<bool>&) { throw std::runtime_error("no memory"); }));
    ASSERT_TRUE(listener.Told());
    EXPECT_EQ(piece.Finished(false), nullptr);
    EXPECT_FALSE(piece.Busy());
    // The pool goes on.
    ASSERT_TRUE(piece.Start(listener.window, kDone, Held(0, 9)));
    SetEvent(gates[0]);
    ASSERT_TRUE(listener.Told());
    Made* made = piece.Finished(false);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 9);
}

TEST_F(WindowPoolJobTest, PieceGoneWaitsForItsWorkRunning) {
    WorkPool pool(2);
    std::atomic<bool> returned{false};
    std::thread releaser;
    {
        Piece piece(pool);
        ASSERT_TRUE(piece.Start(listener.window, kDone, [&](Made& made, const std::atomic<bool>&) {
            SetEvent(entered[0]);
            WaitForSingleObject(gates[0], INFINITE);
            made.value = 1; // into the piece's own result, which must still be there
            returned = true;
        }));
        WaitForSingleObject(entered[0], INFINITE);
        // The piece cannot go before its work is let go on.
        releaser = std::thread([this] { SetEvent(gates[0]); });
    }
    releaser.join();
    EXPECT_TRUE(returned.load()) << "the piece went while its work ran";
}

} // namespace
