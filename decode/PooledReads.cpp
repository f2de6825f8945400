#include "decode/PooledReads.h"

#include "base/WorkPool.h"

bool ReadsOnPool(const WorkPool* pool, uint64_t pixels, bool anySize) {
    return pool != nullptr && pool->Size() > 1 && (anySize || pixels >= kPooledPixels);
}
