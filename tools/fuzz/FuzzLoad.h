#pragma once
// The body shared by the two loader targets: skips inputs above the picture
// cap, writes the others to the scratch file and probes it
// (tests/support/DocProbe.h); a disagreement between the two loads aborts, so
// libFuzzer keeps the input as a finding. Returns what the target returns.

#include <cstddef>
#include <cstdint>

class ScratchFile;

int FuzzLoad(ScratchFile& file, bool (*withinCap)(const uint8_t*, size_t), const uint8_t* data, size_t size);
