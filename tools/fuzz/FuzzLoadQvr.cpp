// libFuzzer target: LoadDocument on the bytes of a .qvr file, either version.

#include "tools/fuzz/FuzzLoad.h"
#include "tools/fuzz/PictureCap.h"
#include "tools/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile file("qvr");
    return FuzzLoad(file, fuzzcap::QvrWithinCap, data, size);
}
