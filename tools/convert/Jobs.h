#pragma once
// Runs the items of tessavel-convert on several threads.
//
// Items that may write the same files (OutputKey) form one group, and a
// group is worked through by one thread in list order, so the files written
// are the ones a single thread would write, whatever the number of jobs.
// Each thread has its own picture; the decoder keeps no shared state.

#include "tools/convert/ItemWork.h"

#include <cstddef>
#include <functional>
#include <vector>

// Called once per item, in list order, as soon as that item and all before it
// are done; calls never overlap.
using ItemReporter = std::function<void(size_t index, const ItemReport& report)>;

void RunItems(const std::vector<Item>& items, const ConvertOptions& options, unsigned jobs,
              const ItemReporter& reporter);

// Indices of items grouped by output key: groups in the order of their first
// item, items of a group in list order.
std::vector<std::vector<size_t>> GroupByOutput(const std::vector<Item>& items, const ConvertOptions& options);
