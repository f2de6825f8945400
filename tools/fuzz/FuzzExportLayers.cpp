// libFuzzer target: the layer export on the bytes of a .qvm file, from a
// fresh folder, beside the document or into a folder of its own (chosen by
// the input's length, so that an input always takes the same road). A file
// written anywhere but as a layer file in the expected folder aborts.

#include "tests/support/ExportProbe.h"
#include "tools/fuzz/PictureCap.h"
#include "tools/fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzzcap::QvmWithinExportCap(data, size))
        return -1;
    static ScratchFolder root("export");
    const ExportProbe probe = ProbeLayerExport(root.Path(), data, size, size % 2 == 1);
    if (!probe.problem.empty()) {
        std::fprintf(stderr, "ExportLayers: %s\n", probe.problem.c_str());
        std::abort();
    }
    return 0;
}
