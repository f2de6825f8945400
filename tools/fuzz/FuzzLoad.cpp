#include "tools/fuzz/FuzzLoad.h"

#include "tests/support/DocProbe.h"
#include "tools/fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>

void FuzzLoad(ScratchFile& file, const uint8_t* data, size_t size) {
    file.Write(data, size);
    const DocProbe probe = ProbeDocument(file.Path());
    if (!probe.problem.empty()) {
        std::fprintf(stderr, "LoadDocument: %s\n", probe.problem.c_str());
        std::abort();
    }
}
