#include "tools/convert/Jobs.h"

#include "export/BatchItem.h"
#include "export/BatchQueue.h"

namespace {

// Runs the queue, keeping each item's report until its turn in list order.
void RunReported(BatchQueue& queue, size_t count, const ItemWorker& work, const ItemReporter& reporter) {
    std::vector<ItemReport> reports(count);
    // Replaces what the work left (it did not return): this document failed.
    queue.thrown = [&](size_t index, bool outOfMemory) {
        reports[index] = {Outcome::Failed, outOfMemory ? "out of memory" : "internal error"};
    };
    queue.Run([&](size_t index, ImageBuffer& image, WorkPool& pool) { reports[index] = work(index, image, pool); },
              [&](size_t index) {
                  reporter(index, reports[index]);
                  reports[index] = ItemReport();
              });
}

} // namespace

void RunJobs(size_t count, unsigned jobs, const ItemWorker& work, const ItemReporter& reporter) {
    BatchQueue queue(count, jobs, 0);
    RunReported(queue, count, work, reporter);
}

void RunItems(const std::vector<Item>& items, const ConvertOptions& options, unsigned jobs,
              const ItemReporter& reporter) {
    BatchQueue queue(items.size(), jobs, DefaultMemoryBudget());
    queue.estimate = [&](size_t index, unsigned poolSize) {
        return ItemMemoryEstimate(items[index].path.c_str(), poolSize);
    };
    RunReported(
        queue, items.size(),
        [&](size_t index, ImageBuffer& image, WorkPool& pool) {
            return ConvertOne(items[index], options, image, &pool);
        },
        reporter);
}
