#pragma once
// Registration helpers shared by the benchmark files. Every benchmark reports
// its work as pixels (items) and picture bytes, so Google Benchmark prints
// MP/s and MB/s. A benchmark measured against an anchor carries the anchor's
// name as its label; the report divides the two medians.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

struct PictureSize;

// Registered with real time (the converter and ImageMagick run in other
// processes, and threads do the converter's work) and a few repetitions'
// worth of minimum time per run.
benchmark::internal::Benchmark* Register(const std::string& name, std::function<void(benchmark::State&)> body);

// Marks the work of one iteration, names the anchor it is compared with and
// the threads that did it (the report's Threads column).
void Account(benchmark::State& state, size_t pixels, size_t bytes, const std::string& anchor = "",
             unsigned threads = 1);

// The thread counts a threaded benchmark runs at: 1, 2, 4, ... and the
// processor's count. Such benchmarks end in "/t" and the count; the report
// shows the speed-up of each over its "/t1" run.
std::vector<unsigned> ThreadCounts();

void RegisterCompositeBenchmarks();
void RegisterDecodeBenchmarks();
void RegisterExportBenchmarks();
void RegisterGridBenchmarks();
void RegisterHostileBenchmarks();
void RegisterListBenchmarks();
void RegisterThumbnailBenchmarks();
void RegisterViewBenchmarks();

} // namespace bench
