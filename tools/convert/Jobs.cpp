#include "tools/convert/Jobs.h"

#include "decode/ImageBuffer.h"
#include "decode/WorkPool.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace {

// Hands finished items to the reporter in list order.
class InOrderReports {
public:
    InOrderReports(size_t count, const ItemReporter& reporter) : reports(count), done(count, false), report(reporter) {}

    void Finish(size_t index, ItemReport result) {
        std::lock_guard<std::mutex> lock(mutex);
        reports[index] = std::move(result);
        done[index] = true;
        while (next < done.size() && done[next]) {
            report(next, reports[next]);
            reports[next] = ItemReport();
            ++next;
        }
    }

private:
    std::mutex mutex;
    std::vector<ItemReport> reports;
    std::vector<bool> done;
    size_t next = 0;
    const ItemReporter& report;
};

} // namespace

void RunJobs(size_t count, unsigned jobs, const ItemWorker& work, const ItemReporter& reporter) {
    InOrderReports reports(count, reporter);
    std::atomic<size_t> next{0};
    const unsigned threads = std::max(1u, std::min<unsigned>(jobs, unsigned(count)));
    const unsigned poolSize = WorkPool::PoolSizeFor(threads);
    auto run = [&]() {
        ImageBuffer image;
        WorkPool pool(poolSize);
        for (size_t index = next++; index < count; index = next++)
            reports.Finish(index, work(index, image, pool));
    };
    std::vector<std::thread> others;
    for (unsigned t = 1; t < threads; ++t)
        others.emplace_back(run);
    run();
    for (std::thread& thread : others)
        thread.join();
}

void RunItems(const std::vector<Item>& items, const ConvertOptions& options, unsigned jobs,
              const ItemReporter& reporter) {
    RunJobs(
        items.size(), jobs,
        [&](size_t index, ImageBuffer& image, WorkPool& pool) {
            return ConvertOne(items[index], options, image, &pool);
        },
        reporter);
}
