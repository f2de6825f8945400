// libFuzzer target: the pixel passes of the blend modes and coverage layers
// against the same passes one byte at a time (tests/support/MixCheck.h).

#include "tests/support/MixCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = CheckMixRuns(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "MixRuns: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
