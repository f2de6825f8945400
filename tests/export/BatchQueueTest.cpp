// The batch queue's scheduling, each item held at a gate of its own so the
// test decides when it ends: which items are in flight and which one waits
// for room, at each step, by the memory budget, by items writing one file,
// and after a stop.
#include "export/BatchItem.h"
#include "export/BatchQueue.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <set>
#include <thread>
#include <vector>

namespace {

class HeldItems {
public:
    void Run(size_t index) {
        std::unique_lock<std::mutex> lock(mutex);
        running.insert(index);
        started.insert(index);
        changed.wait(lock, [&] { return open.count(index) != 0; });
        running.erase(index);
    }
    void Release(const std::vector<size_t>& items) {
        std::lock_guard<std::mutex> lock(mutex);
        open.insert(items.begin(), items.end());
        changed.notify_all();
    }
    void ReleaseAll(size_t count) {
        std::vector<size_t> all;
        for (size_t i = 0; i < count; ++i)
            all.push_back(i);
        Release(all);
    }
    std::set<size_t> Running() {
        std::lock_guard<std::mutex> lock(mutex);
        return running;
    }
    std::set<size_t> Started() {
        std::lock_guard<std::mutex> lock(mutex);
        return started;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::set<size_t> running, started, open;
};

struct Step {
    std::set<size_t> running; // the items in flight
    int64_t heldBack;         // the item whose turn it is but which waits, or -1
    bool stop;                // then stop the queue, else release
    std::vector<size_t> release;
};

struct Scenario {
    const char* name;
    std::vector<uint64_t> bytes; // each item's estimate
    uint64_t budget;
    std::set<std::pair<size_t, size_t>> conflicts;
    std::vector<Step> steps;
    size_t ran;
};

const Scenario kScenarios[] = {
    {"BudgetHoldsTheNextItemUntilThereIsRoom",
     {60, 60, 30},
     100,
     {},
     {{{0}, 1, false, {0}}, {{1, 2}, -1, false, {1, 2}}},
     3},
    {"ItemLargerThanTheBudgetRunsAlone",
     {10, 500, 10},
     100,
     {},
     {{{0}, 1, false, {0}}, {{1}, 2, false, {1}}, {{2}, -1, false, {2}}},
     3},
    {"ItemsWritingOneFileNeverRunTogetherNorAreOvertaken",
     {0, 0, 0},
     0,
     {{0, 1}},
     {{{0}, 1, false, {0}}, {{1, 2}, -1, false, {1, 2}}},
     3},
    {"StopLetsTheItemsInFlightFinishAndStartsNoMore",
     {0, 0, 0, 0, 0},
     0,
     {},
     {{{0, 1, 2}, -1, true, {}}, {{0, 1, 2}, -1, false, {1, 0, 2}}},
     3},
    {"StopWhileAnItemWaitsForRoom", {60, 60, 30}, 100, {}, {{{0}, 1, true, {}}, {{0}, -1, false, {0}}}, 1},
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class BatchQueueScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(BatchQueueScenario, ItemsInFlightAtEachStep) {
    const Scenario& s = GetParam();
    const size_t count = s.bytes.size();
    BatchQueue queue(count, 3, s.budget);
    queue.estimate = [&](size_t index, unsigned) { return s.bytes[index]; };
    queue.conflict = [&](size_t earlier, size_t later) { return s.conflicts.count({earlier, later}) != 0; };
    HeldItems items;
    std::vector<size_t> reported; // by the reporter alone, whose calls never overlap
    size_t ran = 0;
    std::thread run([&] {
        ran = queue.Run([&](size_t index, ImageBuffer&, WorkPool&) { items.Run(index); },
                        [&](size_t index) { reported.push_back(index); });
    });
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const Step& step = s.steps[i];
        const bool reached =
            waits::WaitUntil([&] { return items.Running() == step.running && queue.HeldBack() == step.heldBack; });
        EXPECT_TRUE(reached) << "step " << i << ": " << items.Running().size() << " in flight, held back "
                             << queue.HeldBack();
        if (!reached) {
            queue.Stop();
            items.ReleaseAll(count);
            break;
        }
        if (step.stop)
            queue.Stop();
        else
            items.Release(step.release);
    }
    run.join();
    std::vector<size_t> first;
    for (size_t i = 0; i < s.ran; ++i)
        first.push_back(i);
    EXPECT_EQ(ran, s.ran);
    EXPECT_EQ(reported, first);
    EXPECT_EQ(items.Started(), std::set<size_t>(first.begin(), first.end()));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BatchQueueScenario, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// What the queue budgets for a document, told from its header alone: the
// picture and the larger of what reading and writing hold beside it, the
// same whatever the threads, so that items which fit the budget together
// also fit in memory on any machine.
TEST(BatchQueueEstimate, ComesFromTheHeaderAndNotFromTheThreads) {
    TempDir dir;
    auto write = [&](const char* name, uint16_t width, uint16_t height) {
        docwriter::QvmDocument doc;
        doc.width = width;
        doc.height = height;
        const std::string path = dir.File(name);
        EXPECT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
        return path;
    };
    constexpr uint64_t kMegabyte = 1024 * 1024;
    struct Case {
        const char* name;
        uint16_t width, height;
        uint64_t leastBeside, mostBeside; // beside the picture
    };
    const Case cases[] = {
        // One layer buffer beside the picture below a megapixel.
        {"small.qvm", 7, 3, 7 * 3 * 4, kMegabyte},
        {"below.qvm", 1024, 1023, 1024 * 1023 * 4, 1024 * 1023 * 4 + kMegabyte},
        // From a megapixel only bands, and the PNG's bands in flight.
        {"mega.qvm", 1024, 1024, 256 * 1024, 16 * kMegabyte},
        {"large.qvm", 4096, 4096, 256 * 1024, 16 * kMegabyte},
    };
    for (const Case& c : cases) {
        const std::string path = write(c.name, c.width, c.height);
        const uint64_t picture = uint64_t(c.width) * c.height * 4;
        const uint64_t one = ItemMemoryEstimate(path.c_str(), 1);
        EXPECT_GE(one, picture + c.leastBeside) << c.name;
        EXPECT_LE(one, picture + c.mostBeside) << c.name;
        EXPECT_EQ(ItemMemoryEstimate(path.c_str(), 2), one) << c.name;
        EXPECT_EQ(ItemMemoryEstimate(path.c_str(), 16), one) << c.name;
    }
    // Nothing to budget for what fails before it allocates: a file the
    // loader does not take by its name, a picture of no pixels.
    EXPECT_EQ(ItemMemoryEstimate(write("small.txt", 7, 3).c_str(), 1), 0u);
    EXPECT_EQ(ItemMemoryEstimate(write("empty.qvm", 0, 3).c_str(), 1), 0u);
}

} // namespace
