// libFuzzer target: LoadDocument on the bytes of a .qvr file, either version.

#include "tools/fuzz/FuzzLoad.h"
#include "tools/fuzz/PictureCap.h"
#include "tools/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzzcap::QvrWithinCap(data, size))
        return -1; // not worth keeping in the corpus
    static ScratchFile file("qvr");
    FuzzLoad(file, data, size);
    return 0;
}
