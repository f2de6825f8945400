// libFuzzer target: LoadDocument on the bytes of a .qvm file.

#include "tools/fuzz/FuzzLoad.h"
#include "tools/fuzz/PictureCap.h"
#include "tools/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile file("qvm");
    return FuzzLoad(file, fuzzcap::QvmWithinCap, data, size);
}
