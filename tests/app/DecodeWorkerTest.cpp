// The viewer's decode thread driven directly, each decode held at its start
// until the test lets it go on, so the test chooses when the job is running
// and when it ends.

#include "app/DecodeWorker.h"
#include "tests/support/DocWriter.h"
#include "tests/support/MessageWindow.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr UINT kDecoded = WM_APP + 7;

// Holds every decode until Open, then reads the file as the viewer does.
class HeldDecode {
public:
    DecodeWorker::Decoder Decoder() {
        return [this](const char* path, DecodedFile& decoded) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                entered = true;
                changed.notify_all();
                changed.wait(lock, [this] { return open; });
            }
            DecodeFile(path, decoded);
        };
    }
    // Returns once a decode has started: it then waits for Open.
    void WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return entered; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
};

docwriter::Bytes RedDocument() {
    docwriter::QvmDocument doc;
    doc.width = 2;
    doc.height = 2;
    doc.layers.push_back(docwriter::MakeQvmLayer("red", docwriter::SolidPixels(2, 2, 0, 0, 255, 255)));
    return docwriter::WriteQvm(doc);
}

TEST(DecodeWorker, JobIsRefusedWhileOneRunsAndCollectedOnceDone) {
    TempDir dir;
    const std::string file = dir.File("red.qvm");
    ASSERT_TRUE(docwriter::WriteFile(file, RedDocument()));
    HeldDecode held;
    MessageWindow listener(kDecoded);
    DecodeWorker worker(held.Decoder());
    ASSERT_TRUE(worker.Begin(file.c_str(), listener.window, kDecoded));
    held.WaitEntered();
    EXPECT_TRUE(worker.Busy());
    EXPECT_EQ(worker.Finished(false), nullptr); // held in its read
    EXPECT_FALSE(worker.Begin(file.c_str(), listener.window, kDecoded));
    held.Open();
    ASSERT_TRUE(listener.Told());
    DecodedFile* done = worker.Finished(true);
    ASSERT_NE(done, nullptr);
    EXPECT_STREQ(done->path.Text(), file.c_str());
    EXPECT_TRUE(done->loaded);
    EXPECT_FALSE(worker.Busy());
    // The next job is taken once the last was collected.
    ASSERT_TRUE(worker.Begin(file.c_str(), listener.window, kDecoded));
    ASSERT_TRUE(listener.Told());
    done = worker.Finished(true);
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->loaded);
    ASSERT_EQ(done->picture.width, 2);
    EXPECT_EQ(done->picture.bits[2], 255); // red
}

TEST(DecodeWorker, StopDuringADecodeWaitsForItAndTakesNoMoreJobs) {
    TempDir dir;
    const std::string file = dir.File("red.qvm");
    ASSERT_TRUE(docwriter::WriteFile(file, RedDocument()));
    HeldDecode held;
    MessageWindow listener(kDecoded);
    DecodeWorker worker(held.Decoder());
    ASSERT_TRUE(worker.Begin(file.c_str(), listener.window, kDecoded));
    held.WaitEntered();
    // Stop cannot return before the decode it waits for is let go on.
    std::thread opener([&] { held.Open(); });
    worker.Stop();
    opener.join();
    EXPECT_FALSE(worker.Busy());
    EXPECT_EQ(worker.Finished(true), nullptr);
    EXPECT_FALSE(worker.Begin(file.c_str(), listener.window, kDecoded));
}

} // namespace
