#include "tools/fuzz/FuzzLoad.h"

#include "tests/support/DocProbe.h"
#include "tools/fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>

int FuzzLoad(ScratchFile& file, bool (*withinCap)(const uint8_t*, size_t), const uint8_t* data, size_t size) {
    if (!withinCap(data, size))
        return -1; // not worth keeping in the corpus
    file.Write(data, size);
    const DocProbe probe = ProbeDocument(file.Path());
    if (!probe.problem.empty()) {
        std::fprintf(stderr, "LoadDocument: %s\n", probe.problem.c_str());
        std::abort();
    }
    return 0;
}
