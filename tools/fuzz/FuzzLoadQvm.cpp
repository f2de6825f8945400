// libFuzzer target: LoadDocument on the bytes of a .qvm file.

#include "tools/fuzz/FuzzLoad.h"
#include "tools/fuzz/PictureCap.h"
#include "tools/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzzcap::QvmWithinCap(data, size))
        return -1; // not worth keeping in the corpus
    static ScratchFile file("qvm");
    FuzzLoad(file, data, size);
    return 0;
}
