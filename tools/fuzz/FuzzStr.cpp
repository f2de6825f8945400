// libFuzzer target: Str's scanning and path operations on arbitrary bytes,
// run as a script (tests/support/StrScript.h). Around the operations that
// only look at the text, the bytes between the terminator and the capacity
// are poisoned, so a double-byte step that passes the terminator is reported
// by AddressSanitizer even though it stays inside the buffer.

#include "base/Str.h"
#include "tests/support/StrScript.h"

#include <sanitizer/asan_interface.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct PoisonBeyondText : StrSeal {
    void Seal(const Str& s) override {
        const int32_t end = s.Length() + 1;
        ASAN_POISON_MEMORY_REGION(s.data + end, size_t(s.capacity + 1 - end));
    }
    void Unseal(const Str& s) override { ASAN_UNPOISON_MEMORY_REGION(s.data, size_t(s.capacity) + 1); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PoisonBeyondText seal;
    const std::string problem = RunStrScript(data, size, &seal);
    if (!problem.empty()) {
        std::fprintf(stderr, "Str: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
