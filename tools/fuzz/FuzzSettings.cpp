// libFuzzer target: the settings file read at start-up, on arbitrary file
// contents. Every text must end inside its room, the view's arithmetic must
// stay usable, and what the program writes back must read back as written.

#include "tests/support/SettingsProbe.h"
#include "tools/fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile file("ini");
    static ScratchFolder folder("settings");
    file.Write(data, size);
    const std::string problem = ProbeSettingsFile(file.Path(), folder.Path());
    if (!problem.empty()) {
        std::fprintf(stderr, "settings: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
