#include "tests/support/HeapCount.h"

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define TESSAVEL_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSAVEL_COUNTS_ALLOCATIONS 1
#endif
#endif

namespace heapcount {

#if defined(TESSAVEL_COUNTS_ALLOCATIONS)
}

// The sanitizer runtime's own interface (its header comes with clang only).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* block);

namespace heapcount {
namespace {

std::atomic<int64_t> held{0};
std::atomic<int64_t> peak{0};

void Took(const volatile void*, size_t size) {
    const int64_t now = held.fetch_add(int64_t(size)) + int64_t(size);
    int64_t high = peak.load();
    while (now > high && !peak.compare_exchange_weak(high, now)) {
    }
}

void Giving(const volatile void* block) {
    held.fetch_sub(int64_t(__sanitizer_get_allocated_size(block)));
}

} // namespace

bool Start() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(Took, Giving) != 0;
    return installed;
}

int64_t Held() {
    return held.load();
}

void MarkPeak() {
    peak = held.load();
}

int64_t PeakAbove(int64_t start) {
    return peak.load() - start;
}
#else
bool Start() {
    return false;
}

int64_t Held() {
    return 0;
}

void MarkPeak() {}

int64_t PeakAbove(int64_t) {
    return -1;
}
#endif

} // namespace heapcount
