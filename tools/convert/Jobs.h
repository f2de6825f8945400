#pragma once
// Runs the items of tessavel-convert on several threads, through the batch
// queue the viewer's conversion dialog uses too (export/BatchQueue.h): items
// start in list order, at most a quarter of the physical memory in pictures
// at once, and are reported in list order.
//
// No two items write the same file (MarkCollisions fails the later ones
// before the run), so the files written are the same whatever the number of
// jobs. Each thread has its own picture; the decoder keeps no shared state.
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

// Does item index on the calling thread's picture and pool.
using ItemWorker = std::function<ItemReport(size_t index, ImageBuffer& image, WorkPool& pool)>;

// RunItems for any work on count items, without a memory bound.
void RunJobs(size_t count, unsigned jobs, const ItemWorker& work, const ItemReporter& reporter);
