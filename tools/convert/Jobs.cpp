#include "tools/convert/Jobs.h"

#include "decode/ImageBuffer.h"
#include "decode/WorkPool.h"
#include "framework/Text.h"

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

std::vector<std::vector<size_t>> GroupByOutput(const std::vector<Item>& items, const ConvertOptions& options) {
    std::vector<std::string> keys;
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        keys.push_back(OutputKey(items[i], options));
        order[i] = i;
    }
    // Equal keys end up next to each other, each run in list order.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return text::CompareNoCase(keys[a].c_str(), keys[b].c_str()) < 0; });
    std::vector<std::vector<size_t>> runs;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k == 0 || text::CompareNoCase(keys[order[k - 1]].c_str(), keys[order[k]].c_str()) != 0)
            runs.emplace_back();
        runs.back().push_back(order[k]);
    }
    std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.front() < b.front(); });
    return runs;
}

void RunGroups(const std::vector<std::vector<size_t>>& groups, size_t count, unsigned jobs, const ItemWorker& work,
               const ItemReporter& reporter) {
    InOrderReports reports(count, reporter);
    std::atomic<size_t> nextGroup{0};
    const unsigned threads = std::max(1u, std::min<unsigned>(jobs, unsigned(groups.size())));
    const unsigned poolSize = WorkPool::PoolSizeFor(threads);
    auto run = [&]() {
        ImageBuffer image;
        WorkPool pool(poolSize);
        for (size_t g = nextGroup++; g < groups.size(); g = nextGroup++)
            for (size_t index : groups[g])
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
    RunGroups(
        GroupByOutput(items, options), items.size(), jobs,
        [&](size_t index, ImageBuffer& image, WorkPool& pool) {
            return ConvertOne(items[index], options, image, &pool);
        },
        reporter);
}
