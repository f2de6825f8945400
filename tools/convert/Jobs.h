#pragma once
// Runs the items of tessavel-convert on several threads.
//
// No two items write the same file (MarkCollisions fails the later ones
// before the run), so items are taken in list order by whichever thread is
// free, and the files written are the same whatever the number of jobs.
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
