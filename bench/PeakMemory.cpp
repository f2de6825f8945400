#include "bench/PeakMemory.h"

#include <atomic>

#if defined(__GLIBC__)
#include <cstddef>
#include <malloc.h>

namespace {

std::atomic<int64_t> held{0};
std::atomic<int64_t> peak{0};

void Took(void* block) {
    if (block == nullptr)
        return;
    const int64_t now = held.fetch_add(int64_t(malloc_usable_size(block))) + int64_t(malloc_usable_size(block));
    int64_t high = peak.load();
    while (now > high && !peak.compare_exchange_weak(high, now)) {
    }
}

void Giving(void* block) {
    if (block != nullptr)
        held.fetch_sub(int64_t(malloc_usable_size(block)));
}

} // namespace

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) {
    void* block = __libc_malloc(size);
    Took(block);
    return block;
}
void* calloc(size_t count, size_t size) {
    void* block = __libc_calloc(count, size);
    Took(block);
    return block;
}
void* realloc(void* old, size_t size) {
    Giving(old);
    void* block = __libc_realloc(old, size);
    Took(block != nullptr ? block : (size != 0 ? old : nullptr));
    return block;
}
void* memalign(size_t alignment, size_t size) {
    void* block = __libc_memalign(alignment, size);
    Took(block);
    return block;
}
void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    void* block = memalign(alignment, size);
    if (block == nullptr)
        return 12; // ENOMEM
    *out = block;
    return 0;
}
void free(void* block) {
    Giving(block);
    __libc_free(block);
}
}

void PeakMemory::Start() {
    start = held.load();
    peak = start;
}

int64_t PeakMemory::Above() const {
    return start < 0 ? -1 : peak.load() - start;
}

#else

void PeakMemory::Start() {}

int64_t PeakMemory::Above() const {
    return -1;
}

#endif
