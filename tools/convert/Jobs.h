#pragma once
// Runs the items of tessavel-convert on several threads.
//
// Items that may write the same files (OutputKey) form one group, and a
// group is worked through by one thread in list order, so the files written
// are the ones a single thread would write, whatever the number of jobs.
// Each thread has its own picture; the decoder keeps no shared state.
//
// Each of the J threads also owns a work pool of max(1, cores / J) threads,
// its own included, on which its documents are inflated and deflated: J
// documents at a time never run more threads than the processor has. With
// the default of one job per core the pools have no threads of their own; a
// single document (-j 1) gets every core.

#include "tools/convert/ItemWork.h"

#include <cstddef>
#include <functional>
#include <vector>

class ImageBuffer;
class WorkPool;

// Called once per item, in list order, as soon as that item and all before it
// are done; calls never overlap.
using ItemReporter = std::function<void(size_t index, const ItemReport& report)>;

void RunItems(const std::vector<Item>& items, const ConvertOptions& options, unsigned jobs,
              const ItemReporter& reporter);

// Does one item on the calling job's picture and pool.
using ItemWorker = std::function<ItemReport(size_t index, ImageBuffer& image, WorkPool& pool)>;

// RunItems for any work: groups (as GroupByOutput makes them) of count items
// in all, on min(jobs, groups) threads.
void RunGroups(const std::vector<std::vector<size_t>>& groups, size_t count, unsigned jobs, const ItemWorker& work,
               const ItemReporter& reporter);

// Indices of items grouped by output key: groups in the order of their first
// item, items of a group in list order.
std::vector<std::vector<size_t>> GroupByOutput(const std::vector<Item>& items, const ConvertOptions& options);
