// Benchmarks of compositing, decoding and saving, each beside the anchor that
// bounds it: memcpy of the same bytes, zlib inflating the same streams,
// libpng and ImageMagick writing the same pixels. Run through `make bench`,
// which also writes the report; see scripts/bench-report.
#include "bench/Register.h"

#include "base/WorkPool.h"

#include <functional>

namespace bench {

benchmark::internal::Benchmark* Register(const std::string& name, std::function<void(benchmark::State&)> body) {
    return benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void Account(benchmark::State& state, size_t pixels, size_t bytes, const std::string& anchor, unsigned threads) {
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(pixels));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["threads"] = double(threads);
    if (!anchor.empty())
        state.SetLabel("vs " + anchor);
}

std::vector<unsigned> ThreadCounts() {
    const unsigned cores = WorkPool::ProcessorCount();
    std::vector<unsigned> counts;
    for (unsigned n = 1; n < cores; n *= 2)
        counts.push_back(n);
    counts.push_back(cores);
    return counts;
}

} // namespace bench

int main(int argc, char** argv) {
    bench::RegisterCompositeBenchmarks();
    bench::RegisterDecodeBenchmarks();
    bench::RegisterExportBenchmarks();
    bench::RegisterGridBenchmarks();
    bench::RegisterHostileBenchmarks();
    bench::RegisterListBenchmarks();
    bench::RegisterThumbnailBenchmarks();
    bench::RegisterViewBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
