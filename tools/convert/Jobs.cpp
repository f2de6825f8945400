#include "tools/convert/Jobs.h"

#include "decode/ImageBuffer.h"

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

void RunItems(const std::vector<Item>& items, const ConvertOptions& options, unsigned jobs,
              const ItemReporter& reporter) {
    InOrderReports reports(items.size(), reporter);
    std::atomic<size_t> next{0};
    auto work = [&]() {
        ImageBuffer image;
        for (size_t index = next++; index < items.size(); index = next++)
            reports.Finish(index, ConvertOne(items[index], options, image));
    };
    const unsigned threads = std::max(1u, std::min<unsigned>(jobs, unsigned(items.size())));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& thread : pool)
        thread.join();
}
