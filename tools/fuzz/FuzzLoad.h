#pragma once
// The body shared by the two loader targets: writes the input to the scratch
// file and probes it (tests/support/DocProbe.h); a disagreement between the
// two loads aborts, so libFuzzer keeps the input as a finding.

#include <cstddef>
#include <cstdint>

class ScratchFile;

void FuzzLoad(ScratchFile& file, const uint8_t* data, size_t size);
