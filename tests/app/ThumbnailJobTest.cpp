// The layers pane's thumbnail thread driven directly: every piece is held
// at its start until the test lets it go on, so the test chooses which
// requests arrive while one runs.

#include "app/ThumbnailJob.h"

#include "tests/support/MessageWindow.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kMade = WM_APP + 9;

// Holds each piece until it is let go, then makes one thumbnail per layer of
// a pretend document: as many as its side, each filled with its side.
class HeldMaker {
public:
    struct Call {
        std::string path;
        int32_t side = 0;
        bool cancelled = false; // the flag as it stood when let go
    };

    ThumbnailJob::Maker Maker() {
        return [this](const char* path, int32_t side, const std::atomic<bool>& cancel, std::vector<Thumbnail>& out) {
            std::unique_lock<std::mutex> lock(mutex);
            calls.push_back({path, side, false});
            const size_t index = calls.size() - 1;
            changed.notify_all();
            changed.wait(lock, [&] { return released > index; });
            calls[index].cancelled = cancel.load();
            if (throws)
                throw std::bad_alloc();
            out.assign(size_t(side), Thumbnail(1, uint8_t(side)));
        };
    }
    // Returns once count pieces have started.
    void WaitStarted(size_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return calls.size() >= count; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex);
        ++released;
        changed.notify_all();
    }
    std::vector<Call> Calls() {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
    bool throws = false;

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Call> calls;
    size_t released = 0;
};

TEST(ThumbnailJob, RequestWhileOneRunsCancelsItAndTheNewestStartsOnceItEnds) {
    HeldMaker held;
    MessageWindow listener(kMade);
    ThumbnailJob job(held.Maker());
    ASSERT_TRUE(job.Request("first.qvm", 16, listener.window, kMade));
    held.WaitStarted(1);
    // Neither request waits for the piece held: they are noted and the
    // running one told to stop.
    ASSERT_TRUE(job.Request("second.qvm", 24, listener.window, kMade));
    ASSERT_TRUE(job.Request("third.qvm", 32, listener.window, kMade));
    held.Release();
    ASSERT_TRUE(listener.Told());
    EXPECT_EQ(job.Collect(), nullptr) << "the overtaken piece's thumbnails are handed over";
    held.WaitStarted(2);
    held.Release();
    ASSERT_TRUE(listener.Told());
    const ThumbnailJob::Made* made = job.Collect();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->path, "third.qvm");
    EXPECT_EQ(made->side, 32);
    ASSERT_EQ(made->thumbnails.size(), 32u);
    EXPECT_EQ(made->thumbnails[0], Thumbnail(1, 32));

    const std::vector<HeldMaker::Call> calls = held.Calls();
    ASSERT_EQ(calls.size(), 2u) << "a request overtaken while waiting ran anyway";
    EXPECT_EQ(calls[0].path, "first.qvm");
    EXPECT_TRUE(calls[0].cancelled);
    EXPECT_EQ(calls[1].path, "third.qvm");
    EXPECT_EQ(calls[1].side, 32);
    EXPECT_FALSE(calls[1].cancelled) << "the new piece starts with the flag down";
    EXPECT_FALSE(listener.Waiting());
}

TEST(ThumbnailJob, DroppedRequestHandsNothingOverAndStartsNoOther) {
    HeldMaker held;
    MessageWindow listener(kMade);
    ThumbnailJob job(held.Maker());
    ASSERT_TRUE(job.Request("first.qvm", 16, listener.window, kMade));
    held.WaitStarted(1);
    // Another document, then one without layers: the waiting request goes too.
    ASSERT_TRUE(job.Request("second.qvm", 16, listener.window, kMade));
    job.Drop();
    held.Release();
    ASSERT_TRUE(listener.Told());
    EXPECT_EQ(job.Collect(), nullptr);
    EXPECT_EQ(held.Calls().size(), 1u);
    EXPECT_TRUE(held.Calls()[0].cancelled);
    // A later request is made as ever.
    ASSERT_TRUE(job.Request("third.qvm", 8, listener.window, kMade));
    held.Release();
    ASSERT_TRUE(listener.Told());
    const ThumbnailJob::Made* made = job.Collect();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->path, "third.qvm");
    EXPECT_EQ(made->thumbnails.size(), 8u);
}

TEST(ThumbnailJob, StopWaitsForThePieceRunningAndForgetsTheOneWaiting) {
    HeldMaker held;
    MessageWindow listener(kMade);
    ThumbnailJob job(held.Maker());
    ASSERT_TRUE(job.Request("first.qvm", 16, listener.window, kMade));
    held.WaitStarted(1);
    ASSERT_TRUE(job.Request("second.qvm", 16, listener.window, kMade));
    // Stop cannot return before the piece it waits for is let go on.
    std::thread releaser([&] { held.Release(); });
    job.Stop();
    releaser.join();
    ASSERT_EQ(held.Calls().size(), 1u);
    EXPECT_TRUE(held.Calls()[0].cancelled);
    // The stopped piece's message still arrives; it hands nothing over and
    // starts nothing.
    while (listener.Waiting()) {
        EXPECT_EQ(job.Collect(), nullptr);
    }
    EXPECT_EQ(held.Calls().size(), 1u);
}

TEST(ThumbnailJob, MakerThatRunsOutOfMemoryLeavesThePaneWithoutThumbnails) {
    HeldMaker held;
    held.throws = true;
    MessageWindow listener(kMade);
    ThumbnailJob job(held.Maker());
    ASSERT_TRUE(job.Request("big.qvm", 16, listener.window, kMade));
    held.Release();
    ASSERT_TRUE(listener.Told());
    const ThumbnailJob::Made* made = job.Collect();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->path, "big.qvm");
    EXPECT_TRUE(made->thumbnails.empty());
    // The thread goes on.
    held.throws = false;
    ASSERT_TRUE(job.Request("next.qvm", 4, listener.window, kMade));
    held.Release();
    ASSERT_TRUE(listener.Told());
    made = job.Collect();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->thumbnails.size(), 4u);
}

} // namespace
